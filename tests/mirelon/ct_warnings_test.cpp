#include "mirelon/ct_warnings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mirelon/ct_tables.h"

namespace mirelon {
namespace {

std::vector<CtRecord> records_of(const std::string& ct) {
  std::vector<CtRecord> records;
  std::string error;
  EXPECT_TRUE(parse_ct_records(ct, "x.ct", &records, &error)) << error;
  return records;
}

// Every way a pair can be named inconsistently is caught, on either member,
// and nothing else is.
TEST(WarningTest, FileWarningsNameOddBasesAndInconsistentPairs) {
  // 1-10 consistent; 2 names 9 which names 3; 4 names itself; 5 names 11
  // (outside); 6 and 7 both name 8, which names 6; 3 is named back by no one.
  const std::vector<CtRecord> records = records_of(
      "h\n1 G 0 2 10 1\n2 g 1 3 9 2\n3 A 2 4 0 3\n4 T 3 5 4 4\n5 A 4 6 11 5\n"
      "6 G 5 7 8 6\n7 G 6 8 8 7\n8 C 7 9 6 8\n9 C 8 10 3 9\n10 C 9 0 1 10\n");
  const std::vector<std::string> lines = ct_file_warnings("x.ct", records);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].find("base is not A, C, G or U"), std::string::npos);
  EXPECT_NE(lines[0].find("): 2, 4\n"), std::string::npos) << lines[0];
  EXPECT_EQ(lines[1].rfind("Warning: x.ct: pairs that are not consistent", 0), 0u);
  EXPECT_NE(lines[1].find("): 2, 4, 5, 6, 7, 8, 9\n"), std::string::npos) << lines[1];

  EXPECT_EQ(
      ct_file_warnings("x.ct", {}),
      std::vector<std::string>{"Warning: x.ct: no nucleotide line: the files are written empty\n"});
  EXPECT_TRUE(ct_file_warnings("x.ct", records_of("h\n1 G 0 2 2 1\n2 C 1 0 1 2\n")).empty());
}

// Column 1 that does not count 1 to N gets one line, before the others.
TEST(WarningTest, NumberingOtherThanOneToNIsNamedFirst) {
  const std::string numbered_from_22 =
      "Warning: x.ct: column 1 runs from 22 to 23, not from 1 to 2: the residue numbers follow "
      "column 1, but column 5 is read as the partner's position in the file (nucleotide line 1 "
      "to 2), not as its column-1 number\n";
  EXPECT_EQ(ct_file_warnings("x.ct", records_of("h\n22 G 0 2 2 1\n23 C 1 0 1 2\n")),
            std::vector<std::string>{numbered_from_22});
  // A gap, or a start at 0, is no count from 1 either.
  EXPECT_EQ(ct_file_warnings("x.ct", records_of("h\n1 G 0 2 2 1\n3 C 1 0 1 2\n")).size(), 1u);
  EXPECT_EQ(ct_file_warnings("x.ct", records_of("h\n0 G 0 2 2 1\n1 C 1 0 1 2\n")).size(), 1u);
  // Leading zeros and a plus sign still count 1 to N.
  EXPECT_TRUE(ct_file_warnings("x.ct", records_of("h\n01 G 0 2 2 1\n+2 C 1 0 1 2\n")).empty());
  const std::vector<std::string> lines =
      ct_file_warnings("x.ct", records_of("h\n22 G 0 2 2 1\n23 g 1 0 1 2\n"));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], numbered_from_22);
}

TEST(WarningTest, MacroWarningsNameLeftOutPairsAndAMissingMacro) {
  // 1-4 named from both sides, but 3 names 1 too; 2 names 3.
  const std::vector<CtRecord> records =
      records_of("h\n1 G 0 2 4 1\n2 G 1 3 3 2\n3 C 2 4 1 3\n4 C 3 0 1 4\n");
  const std::vector<FivePrimePair> pairs = five_prime_pairs(records);
  std::vector<std::string> lines = macro_warnings("x.ct", "hb.mac", records, pairs, 1);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0],
            "Warning: x.ct: canonical pairs that are not consistent get no hydrogen-bond line in "
            "hb.mac: 1, 2\n");
  lines = macro_warnings("x.ct", "hb.mac", records, {}, 0);
  EXPECT_EQ(lines, std::vector<std::string>{"Warning: x.ct: no Watson-Crick helix: hb.mac is not "
                                            "written, an older file of that name is left as it "
                                            "was\n"});
}

}  // namespace
}  // namespace mirelon
