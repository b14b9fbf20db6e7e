#include "common/files.h"

#include <gtest/gtest.h>

#include <string>

namespace mirelon {
namespace {

TEST(FilesTest, AFileThatCannotBeReadIsToldWithTheSystemsReason) {
  const struct {
    const char* name;
    const char* reason;
  } cases[] = {
      {"/nonexistent-folder/file.ct", "No such file or directory"},
      {"/", "Is a directory"},
  };
  for (const auto& c : cases) {
    std::string content = "old";
    std::string reason;
    EXPECT_FALSE(read_input_file(c.name, &content, &reason)) << c.name;
    EXPECT_EQ(reason, c.reason) << c.name;
    // Without a place for the reason the read fails all the same.
    EXPECT_FALSE(read_input_file(c.name, &content)) << c.name;
  }
  std::string content;
  std::string reason = "untouched";
  EXPECT_TRUE(read_input_file(MIRELON_TABLE, &content, &reason));
  EXPECT_EQ(reason, "untouched");
  EXPECT_FALSE(content.empty());
}

}  // namespace
}  // namespace mirelon
