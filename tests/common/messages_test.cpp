#include "common/messages.h"

#include <gtest/gtest.h>

#include <string>

namespace mirelon {
namespace {

TEST(MessagesTest, TextsAreWholeHoweverLong) {
  const std::string path(5000, 'x');
  EXPECT_EQ(format_message("<text>%s</text>", path.c_str()), "<text>" + path + "</text>");
  std::string out = "<svg>";
  append_message(&out, "<text y=\"%.1f\">%s</text>", 20.0, path.c_str());
  append_message(&out, "%s", "");
  EXPECT_EQ(out, "<svg><text y=\"20.0\">" + path + "</text>");
  EXPECT_EQ(capacity_message(20001, 20000),
            "Error: String array size 20001 larger than maximum 20000.\n");
}

}  // namespace
}  // namespace mirelon
