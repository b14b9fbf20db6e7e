#include "mirelon/translate_stat.h"

#include <gtest/gtest.h>

#include <string>

namespace mirelon {
namespace {

TEST(ShiftListTest, LineLayoutWidensButNeverCuts) {
  struct Case {
    ShiftEntry entry;
    const char* line;
  } const cases[] = {
      {{1, "7.9", "0.3", "H8", "5", 's'}, "   1    7.9000   0.3000  H8     5   s\n"},
      {{2, "152.35", "0.15", "HO2'", "104", 'o'}, "   2  152.3500   0.1500  HO2' 104   o\n"},
      {{3, "-4", "0", "P", "7", 'o'}, "   3   -4.0000   0.0000  P      7   o\n"},
      {{10000, "123.45678", "123.457", "C1'", "12345", 's'},
       "10000  123.4568 123.4570  C1' 12345   s\n"},
      {{4, "abc", "1e+06", "H5\"", "9", 's'}, "   4    0.00001000000.0000  H5\"    9   s\n"},
      {{5, "0", "-0", "N1", "1", 's'}, "   5    0.0000  -0.0000  N1     1   s\n"},
      {{6, "1e-5", "5e-05", "N1", "1", 's'}, "   6    0.0000   0.0001  N1     1   s\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(format_shift_line(c.entry), c.line) << c.line;
  EXPECT_EQ(std::string(cases[0].line).size(), 38u);  // 37 characters and the line feed
  EXPECT_EQ(format_shift_list({}), "");
  EXPECT_EQ(format_shift_list({cases[0].entry, cases[1].entry}),
            std::string(cases[0].line) + cases[1].line);
}

}  // namespace
}  // namespace mirelon
