#include "secondary_structure.h"

#include <dirent.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "files.h"

namespace mirelon {
namespace {

std::vector<CtRecord> parse_ok(const std::string& content) {
  std::vector<CtRecord> records;
  std::string error;
  EXPECT_TRUE(parse_ct(content, "x.ct", &records, &error)) << error;
  return records;
}

std::string parse_error(const std::string& content) {
  std::vector<CtRecord> records;
  std::string error;
  EXPECT_FALSE(parse_ct(content, "x.ct", &records, &error)) << content;
  return error;
}

// The residue-ID lines of a CT text, as the sequence step writes them.
std::string id_lines(const std::string& content) {
  return format_residue_id_lines(residue_id_records(build_residues(parse_ok(content))));
}

TEST(ParseCtTest, HeaderIsSkippedAndBlankLinesMakeNoRecord) {
  EXPECT_TRUE(parse_ok("").empty());
  EXPECT_TRUE(parse_ok("1 A 0 0 0 1").empty());  // a header only, even one like a nucleotide
  EXPECT_TRUE(parse_ok("header\n").empty());
  const auto records = parse_ok("h\n\n1 A 0 2 0 1\n \t\r\v\f\n2 U 1 0 0 2\n\n   \n");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1].base, "U");
  // A last line without a line feed is a nucleotide too.
  EXPECT_EQ(parse_ok("h\n1 A 0 2 0 1\n2 U 1 0 0 2").size(), 2u);
}

TEST(ParseCtTest, CrLfLinesReadLikeLfLines) {
  const auto lf = parse_ok("4 x\n1 G 0 2 4 1\n2 A 1 3 0 2\n3 A 2 4 0 3\n4 C 3 0 1 4\n");
  const auto crlf = parse_ok("4 x\r\n1 G 0 2 4 1\r\n2 A 1 3 0 2\r\n3 A 2 4 0 3\r\n4 C 3 0 1 4\r\n");
  ASSERT_EQ(lf.size(), crlf.size());
  EXPECT_EQ(crlf[3].natural, "4");
  EXPECT_EQ(format_residue_id_lines(residue_id_records(build_residues(lf))),
            format_residue_id_lines(residue_id_records(build_residues(crlf))));
}

TEST(ParseCtTest, MalformedLinesAreReportedWithLineAndColumn) {
  EXPECT_EQ(parse_error("h\n1 A 0 2 0 1\n2 U 1 0 0\n"),
            "Error: line 3 of secondary sequence file x.ct has 5 columns instead of 6.\n");
  EXPECT_EQ(parse_error("h\n\n1 A 0 2 0 1 extra\n"),
            "Error: line 3 of secondary sequence file x.ct has 7 columns instead of 6.\n");
  EXPECT_EQ(parse_error("h\n1 A 0 2 0 1\n   18  ENERGY = -5.6   RA7680 short\n"),
            "Error: line 3 of secondary sequence file x.ct: column 3 is not a whole number.\n");
  EXPECT_EQ(parse_error("h\n1.0 A 0 2 0 1\n"),
            "Error: line 2 of secondary sequence file x.ct: column 1 is not a whole number.\n");
  EXPECT_EQ(parse_error("h\n1 A 0 x 0 1\n"),
            "Error: line 2 of secondary sequence file x.ct: column 4 is not a whole number.\n");
  EXPECT_EQ(parse_error("h\n1 A 0 2 3a 1\n"),
            "Error: line 2 of secondary sequence file x.ct: column 5 is not a whole number.\n");
  // Column 2 and 6 may hold anything; the first bad line wins, its column count first.
  EXPECT_EQ(parse_ok("h\n+1 x -0 +0 -7 ?\n").size(), 1u);
  EXPECT_EQ(parse_error("h\n1 A 0 2 z 1\n2 A\n"),
            "Error: line 2 of secondary sequence file x.ct: column 5 is not a whole number.\n");
}

TEST(ParseCtTest, CapacityIsTestedBeforeAnyLine) {
  std::string ok = "h\n";
  for (int i = 1; i <= 10000; ++i) ok += "1 A 0 0 0 1\n";
  EXPECT_EQ(parse_ok(ok).size(), 10000u);
  // Blank lines do not count toward the capacity.
  EXPECT_EQ(parse_ok(ok + "\n \n").size(), 10000u);
  // One nucleotide more is refused, even when an earlier line is malformed.
  EXPECT_EQ(parse_error("h\nbad\n" + ok.substr(2)),
            "Error: String array size 10001 larger than maximum 10000.\n");
}

TEST(PairingMarkTest, OnlyCanonicalPairsByFilePositionAreMarked) {
  // G-C, C-G, A-U, U-A pair; G-U, lower case and other letters do not.
  const auto records = parse_ok(
      "h\n"
      "1 G 0 2 8 1\n"
      "2 A 1 3 7 2\n"
      "3 G 2 4 6 3\n"
      "4 g 3 5 5 4\n"
      "5 C 4 6 4 5\n"
      "6 U 5 7 3 6\n"
      "7 U 6 8 2 7\n"
      "8 C 7 0 1 8\n");
  const std::string expected = "wwooooww";
  for (size_t j = 0; j < records.size(); ++j)
    EXPECT_EQ(pairing_mark(records, j), expected.substr(j, 1)) << j;

  // The partner is a position in the file, whatever column 1 says, and need
  // not name the record back; out-of-range and overflowing partners pair nothing.
  const auto odd = parse_ok(
      "h\n"
      "10 G 0 2 2 1\n"
      "20 C 1 3 1 2\n"
      "30 C 2 4 1 3\n"
      "40 A 3 5 5 4\n"
      "50 U 4 6 -1 5\n"
      "60 A 5 0 2147483653 6\n");
  const std::string odd_marks = "wwwwoo";
  for (size_t j = 0; j < odd.size(); ++j)
    EXPECT_EQ(pairing_mark(odd, j), odd_marks.substr(j, 1)) << j;
}

TEST(BuildResiduesTest, ContextAtStrandAndFileEnds) {
  // Two strands: G C A | U G C with 1:6 and 2:5 paired (the worked two-strand example).
  const std::string ct =
      "6 two strands\n"
      "1 G 0 2 6 1\n"
      "2 C 1 3 5 2\n"
      "3 A 2 0 0 3\n"
      "4 U 0 5 0 4\n"
      "5 G 4 6 2 5\n"
      "6 C 5 0 1 6\n";
  EXPECT_EQ(id_lines(ct),
            "1 1 0 o 0 o G w C w \n"
            "2 2 0 o G w C w A o \n"
            "3 3 G w C w A o 0 o \n"
            "104 4 0 o 0 o U o G w \n"
            "105 5 0 o U o G w C w \n"
            "106 6 U o G w C w 0 o \n");
}

TEST(BuildResiduesTest, NeighboursBeyondTheFileAreMissingWhateverColumnsThreeAndFourSay) {
  // A circular RNA: column 3 of the first record names the last, column 4 of
  // the last names N+1; neither may reach past the file.
  const std::string ct =
      "3 circle\n"
      "1 G 3 2 3 1\n"
      "2 A 1 3 0 2\n"
      "3 C 2 4 1 3\n";
  EXPECT_EQ(id_lines(ct),
            "1 1 0 o 0 o G w A o \n"
            "2 2 0 o G w A o C w \n"
            "3 3 G w A o C w 0 o \n");
}

TEST(BuildResiduesTest, ChainBreaksNumberStrandsAndMakeLinkers) {
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

TEST(BuildResiduesTest, BreakComesFromColumnFourNotFromABaseNamedZero) {
  // The second record's base is "0": the first record's base after reads "0",
  // but its column 4 is not "0", so there is no chain break.
  const auto residues = build_residues(parse_ok("h\n1 A 0 2 0 1\n2 0 1 3 0 2\n3 U 2 0 0 3\n"));
  EXPECT_EQ(residues[0].id[kBaseAfter], "0");
  EXPECT_FALSE(residues[0].break_after);
  EXPECT_EQ(residues[2].number, 3);
}

TEST(BuildResiduesTest, ResidueNumbersUseStreamIntPlusHundredPerBreakWithoutOverflow) {
  const auto residues =
      build_residues(parse_ok("h\n"
                              "2147483647 A 0 0 0 1\n"
                              "2147483648 C 0 0 0 2\n"
                              "-5 G 0 0 0 3\n"
                              "+0007 U 0 0 0 4\n"));
  EXPECT_EQ(residues[0].id[kResidueNumber], "2147483647");
  EXPECT_EQ(residues[1].id[kResidueNumber], "100");  // out of int range reads as 0
  EXPECT_EQ(residues[2].id[kResidueNumber], "195");
  EXPECT_EQ(residues[3].id[kResidueNumber], "307");
  EXPECT_EQ(residues[3].id[kCtIndex], "+0007");
  EXPECT_TRUE(residues[0].break_after);
  const std::string seq = format_sequence_file(residues);
  EXPECT_EQ(seq.substr(0, 32), "RADE 2147483647\nNL   2147483648\n");
  EXPECT_NE(seq.find("LN   2147483747\nRCYT  100\n"), std::string::npos);
}

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

// Every real CT file of the shared collection either reads or stops with
// one of the messages of the CT reader.
TEST(SharedCtFilesTest, EveryFileReadsOrStopsWithAClearMessage) {
  const std::string root = MIRELON_SHARED_DATA "/ct";
  int files = 0;
  for (const char* folder : {"archiveII", "rnastructure", "forgi", "cs2structure"}) {
    const std::string dir = root + "/" + folder;
    DIR* handle = opendir(dir.c_str());
    if (handle == nullptr) GTEST_SKIP() << "no shared data at " << dir;
    while (dirent* entry = readdir(handle)) {
      const std::string name = entry->d_name;
      if (name.size() < 4 ||
          (name.substr(name.size() - 3) != ".ct" && name.substr(name.size() - 4) != ".txt") ||
          name.rfind("README", 0) == 0) {
        continue;
      }
      ++files;
      std::string content;
      ASSERT_TRUE(read_input_file((dir + '/').append(name).c_str(), &content)) << name;
      std::vector<CtRecord> records;
      std::string error;
      if (parse_ct(content, name.c_str(), &records, &error)) {
        EXPECT_FALSE(records.empty()) << name;
        const auto residues = build_residues(records);
        // Ten words on every residue-ID line, whatever the file.
        for (const Residue& residue : residues) {
          for (const std::string& field : residue.id) EXPECT_FALSE(field.empty()) << name;
        }
      } else {
        EXPECT_EQ(error.rfind("Error: line ", 0), 0u) << name << ": " << error;
      }
    }
    closedir(handle);
  }
  EXPECT_GE(files, 25);
}

}  // namespace
}  // namespace mirelon
