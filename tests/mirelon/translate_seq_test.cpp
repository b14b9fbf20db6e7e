#include "mirelon/translate_seq.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "mirelon/ct_records_ok.h"
#include "mirelon/ct_tables.h"

namespace mirelon {
namespace {

TEST(SequenceFileTest, LineLayoutWidensButNeverCuts) {
  EXPECT_EQ(format_sequence_line("URA", 7), "URA     7\n");
  EXPECT_EQ(format_sequence_line("RADE", 1234), "RADE 1234\n");
  EXPECT_EQ(format_sequence_line("RADE", 12345), "RADE 12345\n");
  EXPECT_EQ(format_sequence_line("LL", -3), "LL     -3\n");
  // Other letters keep their residue-ID line but get no sequence line.
  const auto residues =
      build_residues(parse_ok("h\n1 T 0 2 0 1\n2 a 1 3 0 2\n3 N 2 4 0 3\n4 U 3 0 0 4\n"));
  EXPECT_EQ(format_sequence_file(residues), "URA     4\n");
  EXPECT_EQ(residue_id_records(residues).size(), 4u);
}

TEST(SequenceFileTest, ChainBreaksNumberStrandsAndMakeLinkers) {
  // Three strands of three nucleotides: 1-3, 104-106, 207-209.
  std::string ct = "9 three\n";
  for (int i = 1; i <= 9; ++i) {
    ct += std::to_string(i) + " A " + (i % 3 == 1 ? "0" : std::to_string(i - 1)) + " " +
          (i % 3 == 0 ? "0" : std::to_string(i + 1)) + " 0 " + std::to_string(i) + "\n";
  }
  const auto residues = build_residues(parse_ok(ct));
  const int64_t numbers[] = {1, 2, 3, 104, 105, 106, 207, 208, 209};
  for (size_t i = 0; i < 9; ++i) EXPECT_EQ(residues[i].number, numbers[i]) << i;
  EXPECT_TRUE(residues[2].break_after);
  EXPECT_TRUE(residues[5].break_after);
  EXPECT_FALSE(residues[8].break_after);  // the last record ends no chain

  const std::string seq = format_sequence_file(residues);
  std::istringstream lines(seq);
  std::vector<std::string> all;
  for (std::string line; std::getline(lines, line);) all.push_back(line);
  ASSERT_EQ(all.size(), 9u + 200u);
  EXPECT_EQ(all[2], "RADE    3");
  EXPECT_EQ(all[3], "NL      4");
  EXPECT_EQ(all[4], "LL      5");
  EXPECT_EQ(all[101], "LL    102");
  EXPECT_EQ(all[102], "LN    103");
  EXPECT_EQ(all[103], "RADE  104");
  EXPECT_EQ(all[106], "NL    107");
  EXPECT_EQ(all[205], "LN    206");
  EXPECT_EQ(all[206], "RADE  207");
}

TEST(SequenceFileTest, ResidueNumbersUseStreamIntPlusHundredPerBreakWithoutOverflow) {
  const auto residues =
      build_residues(parse_ok("h\n"
                              "-5 G 0 0 0 1\n"
                              "+0007 U 0 0 0 2\n"
                              "2147483646 C 0 3 0 3\n"
                              "2147483647 A 2 0 0 4\n"));
  EXPECT_EQ(residues[0].id[kResidueNumber], "-5");
  EXPECT_EQ(residues[1].id[kResidueNumber], "107");
  EXPECT_EQ(residues[1].id[kCtIndex], "+0007");
  EXPECT_EQ(residues[3].id[kResidueNumber], "2147483847");  // the largest index, two breaks
  EXPECT_TRUE(residues[0].break_after);
  EXPECT_FALSE(residues[2].break_after);
  const std::string seq = format_sequence_file(residues);
  EXPECT_EQ(seq.substr(0, 20), "RGUA   -5\nNL     -4\n");
  EXPECT_NE(seq.find("LN    207\nRCYT 2147483846\nRADE 2147483847\n"), std::string::npos);
}

}  // namespace
}  // namespace mirelon
