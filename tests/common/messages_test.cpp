#include "common/messages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

TEST(MessagesTest, WarningsNameAtMostTenPositionsThenHowManyMore) {
  EXPECT_EQ(format_warning("a.ct", "nothing"), "Warning: a.ct: nothing\n");
  EXPECT_EQ(format_warning("a.ct", "odd", {}), "Warning: a.ct: odd\n");
  EXPECT_EQ(format_warning("a.ct", "odd", {"3"}), "Warning: a.ct: odd: 3\n");
  std::vector<std::string> ten;
  for (int i = 1; i <= 10; ++i) ten.push_back(std::to_string(i));
  EXPECT_EQ(format_warning("a.ct", "odd", ten),
            "Warning: a.ct: odd: 1, 2, 3, 4, 5, 6, 7, 8, 9, 10\n");
  ten.emplace_back("11");
  ten.emplace_back("12");
  EXPECT_EQ(format_warning("a.ct", "odd", ten),
            "Warning: a.ct: odd: 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 and 2 more\n");
}

}  // namespace
}  // namespace mirelon
