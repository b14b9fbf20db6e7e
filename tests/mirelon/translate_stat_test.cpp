#include "mirelon/translate_stat.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "prediction/stat_table.h"

namespace mirelon {
namespace {

TEST(ShiftListTest, LineLayoutWidensButNeverCuts) {
  struct Case {
    ShiftEntry entry;
    std::string line;
  } const cases[] = {
      {{1, "7.9", "0.3", "H8", "5", 's'}, "   1    7.9000   0.3000  H8     5   s\n"},
      {{2, "152.35", "0.15", "HO2'", "104", 'o'}, "   2  152.3500   0.1500  HO2' 104   o\n"},
      {{3, "-4", "0", "P", "7", 'o'}, "   3   -4.0000   0.0000  P      7   o\n"},
      {{10000, "123.45678", "123.457", "C1'", "12345", 's'},
       "10000  123.4568 123.4570  C1' 12345   s\n"},
      {{4, "abc", "1e+06", "H5\"", "9", 's'}, "   4    0.00001000000.0000  H5\"    9   s\n"},
      {{5, "0", "-0", "N1", "1", 's'}, "   5    0.0000  -0.0000  N1     1   s\n"},
      {{6, "1e-5", "5e-05", "N1", "1", 's'}, "   6    0.0000   0.0001  N1     1   s\n"},
      // Beyond the short texts of the line buffer: written whole all the same.
      {{7, "1e20", "inf", "N1", "1", 's'},
       "   7100000000000000000000.0000      inf  N1     1   s\n"},
      {{8, "7.9", "0.3", "H8", std::string(40, '9'), 'o'},
       "   8    7.9000   0.3000  H8  " + std::string(40, '9') + "   o\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(format_shift_line(c.entry), c.line) << c.line;
  EXPECT_EQ(cases[0].line.size(), 38u);  // 37 characters and the line feed
  EXPECT_EQ(format_shift_list({}), "");
  EXPECT_EQ(format_shift_list({cases[0].entry, cases[1].entry}), cases[0].line + cases[1].line);
}

// The warnings about table values: one line per kind, each table line
// named once, only records that gave an entry, every multiplier row.
TEST(TableValueWarningsTest, OneLinePerKindNamingTheLinesOfRecordsUsed) {
  std::string content = "H6 C 0oGwCwAo 12 nan inf a b c d e f g\n";  // line 1: used
  content += "H8 C 0oGwCwAo 12 abc -1 a b c d e f g\n";              // line 2: not used
  content += ":\n";
  for (int i = 0; i < 12; ++i) content += "C H5 1 2 3 4 x -0.5\n";  // lines 4 to 15
  content += ":\nn=2 1 2 3 4 5 6 7 8 9 10 1e999\n:\n";              // line 17
  StatTable table;
  std::string error;
  ASSERT_TRUE(parse_stat_table(content, "t.tab", &table, &error)) << error;
  std::vector<ShiftEntry> entries(13);
  entries[0].origin = kOriginContext;
  entries[0].record = 0;
  for (size_t i = 1; i < entries.size(); ++i) {
    entries[i].origin = kOriginBase;
    entries[i].record = i - 1;
  }
  const std::vector<std::string> warnings = table_value_warnings("t.tab", table, entries);
  ASSERT_EQ(warnings.size(), 3u);
  EXPECT_EQ(warnings[0],
            "Warning: t.tab: means, spreads or multipliers that are not finite numbers (nan, inf "
            "or beyond the range of a double) reach kesta.prot as nan or inf where they are used: "
            "lines 1, 17\n");
  EXPECT_EQ(warnings[1],
            "Warning: t.tab: negative spreads or multipliers give negative tolerances in "
            "kesta.prot where they are used: lines 4, 5, 6, 7, 8, 9, 10, 11, 12, 13 and 2 more\n");
  EXPECT_EQ(warnings[2],
            "Warning: t.tab: means without a number are read as 0 and written as 0.0000 to "
            "kesta.prot: lines 4, 5, 6, 7, 8, 9, 10, 11, 12, 13 and 2 more\n");
  // Without entries only the rows are looked at; one line is "line".
  const std::vector<std::string> rows_only = table_value_warnings("t.tab", table, {});
  ASSERT_EQ(rows_only.size(), 1u);
  EXPECT_NE(rows_only[0].find("are used: line 17\n"), std::string::npos) << rows_only[0];
}

}  // namespace
}  // namespace mirelon
