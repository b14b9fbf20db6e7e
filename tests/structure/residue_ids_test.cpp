#include "structure/residue_ids.h"

#include <gtest/gtest.h>

namespace mirelon {
namespace {

TEST(ResidueIdsTest, RecordsTakeTenWordsEachAndCountOnlyTerminatedLines) {
  std::vector<ResidueIdRecord> records;
  std::string error;
  ASSERT_TRUE(
      parse_residue_ids("1 1 0 o 0 o G w C w \n2 2 0 o G w C w A o \n3 3 x", 10, &records, &error));
  ASSERT_EQ(records.size(), 2u);  // the last line has no line feed
  EXPECT_EQ(records[1][kResidueNumber], "2");
  EXPECT_EQ(records[1][kMarkAfter], "o");

  // Rows follow the words, not the lines; missing words stay empty.
  ASSERT_TRUE(parse_residue_ids("a b c\nd e f g h i j k l\n", 10, &records, &error));
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0][kMarkAfter], "j");
  EXPECT_EQ(records[1][kResidueNumber], "k");
  EXPECT_EQ(records[1][kCtIndex], "l");
  EXPECT_EQ(records[1][kOwnBase], "");
}

TEST(ResidueIdsTest, MoreLinesThanCapacityAreRefused) {
  std::vector<ResidueIdRecord> records;
  std::string error;
  EXPECT_TRUE(parse_residue_ids("\n\n\n", 3, &records, &error));
  EXPECT_EQ(records.size(), 3u);
  EXPECT_FALSE(parse_residue_ids("\n\n\n\n", 3, &records, &error));
  EXPECT_EQ(error, "Error: String array size 4 larger than maximum 3.\n");
}

TEST(ResidueIdsTest, WordsBeyondTheRecordsAreNotStored) {
  std::vector<ResidueIdRecord> records;
  std::string error;
  std::string many(100000, 'x');
  for (int i = 0; i < 1000; ++i) many += " w";
  ASSERT_TRUE(parse_residue_ids(many + "\n", 1, &records, &error));
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0][kResidueNumber].size(), 100000u);
  EXPECT_EQ(records[0][kMarkAfter], "w");
}

TEST(ResidueIdsTest, FormatWritesEveryFieldWithATrailingBlank) {
  ResidueIdRecord record = {"2", "2", "0", "o", "G", "w", "C", "w", "A", "o"};
  EXPECT_EQ(format_residue_id_lines({record, record}),
            "2 2 0 o G w C w A o \n2 2 0 o G w C w A o \n");
  EXPECT_EQ(format_residue_id_lines({}), "");
}

}  // namespace
}  // namespace mirelon
