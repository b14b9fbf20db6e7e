#include "mirelon/translate_aco.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "program_run.h"

namespace mirelon {
namespace {

// A residue-ID record with the given number, base and the marks of its
// predecessor, itself and its successor; the other fields do not matter here.
ResidueIdRecord row(const std::string& number, const std::string& base, const std::string& before,
                    const std::string& own, const std::string& after) {
  return {number, number, "0", "o", "A", before, base, own, "A", after};
}

TEST(StemPositionTest, ClassesFollowTheThreeMarksExactly) {
  struct Case {
    const char* before;
    const char* own;
    const char* after;
    StemPosition position;
  } const cases[] = {
      {"o", "w", "w", StemPosition::kStart}, {"w", "w", "w", StemPosition::kInner},
      {"w", "w", "o", StemPosition::kEnd},   {"o", "w", "o", StemPosition::kNone},
      {"w", "o", "w", StemPosition::kNone},  {"o", "o", "o", StemPosition::kNone},
      {"W", "w", "w", StemPosition::kNone},  {"w", "w", "", StemPosition::kNone},
      {"", "w", "w", StemPosition::kNone},   {"w", "ww", "w", StemPosition::kNone},
      {"w", "w", "0", StemPosition::kNone},  {"x", "w", "o", StemPosition::kNone},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(classify_stem_position(row("1", "G", c.before, c.own, c.after)), c.position)
        << c.before << " " << c.own << " " << c.after;
  }
}

TEST(RestraintFileTest, NumbersAreWrittenWholeAndUnnamedBasesOnlyCount) {
  const std::vector<ResidueIdRecord> rows = {
      row("123456", "A", "o", "w", "w"),  // wider than 5: the line shifts
      row("-7", "C", "w", "w", "o"),      // end
      row("3", "T", "o", "w", "w"),       // no residue name: counted, not written
      row("4", "a", "w", "w", "o"),       // lower case: no name either
      row("", "U", "o", "w", "w"),        // missing words leave an empty number
  };
  EXPECT_EQ(count_restraint_entries(rows), 3u + 4u + 3u + 4u + 3u);
  EXPECT_EQ(format_restraint_file(rows),
            "123456 RADE  DELTA    50.0   110.0 \n"
            "123456 RADE  EPSI    180.0  -120.0 \n"
            "123456 RADE  ZETA   -100.0   -40.0 \n"
            "   -7 RCYT  ALPHA   -90.0   -30.0 \n"
            "   -7 RCYT  BETA    150.0  -150.0 \n"
            "   -7 RCYT  GAMMA    30.0    90.0 \n"
            "   -7 RCYT  DELTA    50.0   110.0 \n"
            "      URA   DELTA    50.0   110.0 \n"
            "      URA   EPSI    180.0  -120.0 \n"
            "      URA   ZETA   -100.0   -40.0 \n");
  EXPECT_EQ(format_restraint_file({}), "");
}

TEST(RestraintFileTest, EntryTotalMeetsTheLimitAtExactly1666InnerNucleotides) {
  std::vector<ResidueIdRecord> rows(1666, row("5", "G", "w", "w", "w"));
  EXPECT_EQ(count_restraint_entries(rows), 9996u);
  rows.push_back(row("6", "G", "o", "w", "o"));  // a lone pair adds nothing
  EXPECT_EQ(count_restraint_entries(rows), 9996u);
  rows.push_back(row("7", "G", "w", "w", "w"));
  EXPECT_EQ(count_restraint_entries(rows), 10002u);
  EXPECT_GT(count_restraint_entries(rows), kMaxRestraintEntries);
}

// A CT file of two hairpins with stems of 418 and 417 Watson-Crick pairs:
// 4 paired stretches with 1662 inner nucleotides, 7 x 4 + 6 x 1662 = 10000
// restraint entries, exactly as many as "kesta.aco" may hold.
std::string two_long_hairpins() {
  std::string ct = "h\n";
  int position = 0;
  auto add = [&](char base, int partner) {
    ++position;
    ct += std::to_string(position) + " " + base + " " + std::to_string(position - 1) + " " +
          std::to_string(position + 1) + " " + std::to_string(partner) + " 1\n";
  };
  for (int stem : {418, 417}) {
    const int first = position + 1;
    const int last = first + 2 * stem + 4 - 1;
    for (int k = 0; k < stem; ++k) add('G', last - k);
    for (int k = 0; k < 4; ++k) add('A', 0);
    for (int k = stem - 1; k >= 0; --k) add('C', first + k);
    add('A', 0);
  }
  return ct;
}

TEST(RestraintRunTest, ExactlyTenThousandEntriesAreWritten) {
  ProgramRun run;
  ASSERT_TRUE(run.ok());
  run.write("rna.ct", two_long_hairpins());
  // The shift step then stops at its entry bound, after the restraints.
  ASSERT_EQ(run.run(""), 1);
  const std::string stdout_text = run.file("stdout");
  EXPECT_NE(stdout_text.find("larger than maximum 20000.\n"), std::string::npos) << stdout_text;
  const std::string restraints = run.file("kesta.aco");
  EXPECT_EQ(std::count(restraints.begin(), restraints.end(), '\n'), 10000);
  EXPECT_EQ(restraints.substr(0, 35), "    1 RGUA  DELTA    50.0   110.0 \n");
}

}  // namespace
}  // namespace mirelon
