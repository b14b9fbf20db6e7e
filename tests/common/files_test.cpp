#include "common/files.h"

#include <gtest/gtest.h>

#include <string>

#include "program_run.h"

namespace mirelon {
namespace {

// A byte-order mark at the very start of a file is left out, once; the
// same bytes anywhere else, or a part of them, stay.
TEST(ReadInputFileTest, LeavesOutAByteOrderMarkAtTheStart) {
  const std::pair<std::string, std::string> cases[] = {
      {"\xEF\xBB\xBF"
       "1 G 0 2 0 1\n",
       "1 G 0 2 0 1\n"},
      {"\xEF\xBB\xBF", ""},
      {"\xEF\xBB\xBF\xEF\xBB\xBFx", "\xEF\xBB\xBFx"},
      {"\xEF\xBBx", "\xEF\xBBx"},
      {"x\xEF\xBB\xBF", "x\xEF\xBB\xBF"},
      {" \xEF\xBB\xBF", " \xEF\xBB\xBF"},
      {"", ""},
  };
  const ProgramRun folder;
  ASSERT_TRUE(folder.ok());
  const std::string name = (folder.path() / "in.txt").string();
  for (const auto& [content, read] : cases) {
    folder.write("in.txt", content);
    std::string got = "old content";
    ASSERT_TRUE(read_input_file(name.c_str(), &got)) << content;
    EXPECT_EQ(got, read) << content;
  }
}

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
