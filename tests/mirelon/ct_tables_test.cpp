#include "mirelon/ct_tables.h"

#include <dirent.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/files.h"
#include "mirelon/ct_records_ok.h"

namespace mirelon {
namespace {

std::string parse_error(const std::string& content) {
  std::vector<CtRecord> records;
  std::string error;
  EXPECT_FALSE(parse_ct_records(content, "x.ct", &records, &error)) << content;
  return error;
}

TEST(ParseCtRecordsTest, HeaderIsSkippedAndBlankLinesMakeNoRecord) {
  EXPECT_TRUE(parse_ok("").empty());
  EXPECT_TRUE(parse_ok("1 A 0 0 0 1").empty());  // a header only, even one like a nucleotide
  EXPECT_TRUE(parse_ok("header\n").empty());
  const auto records = parse_ok("h\n\n1 A 0 2 0 1\n \t\r\v\f\n2 U 1 0 0 2\n\n   \n");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1].base, "U");
  // A last line without a line feed is a nucleotide too.
  EXPECT_EQ(parse_ok("h\n1 A 0 2 0 1\n2 U 1 0 0 2").size(), 2u);
}

TEST(ParseCtRecordsTest, CrLfLinesReadLikeLfLines) {
  const auto lf = parse_ok("4 x\n1 G 0 2 4 1\n2 A 1 3 0 2\n3 A 2 4 0 3\n4 C 3 0 1 4\n");
  const auto crlf = parse_ok("4 x\r\n1 G 0 2 4 1\r\n2 A 1 3 0 2\r\n3 A 2 4 0 3\r\n4 C 3 0 1 4\r\n");
  ASSERT_EQ(lf.size(), crlf.size());
  EXPECT_EQ(crlf[3].natural, "4");
  EXPECT_EQ(format_residue_id_lines(residue_id_records(build_residues(lf))),
            format_residue_id_lines(residue_id_records(build_residues(crlf))));
}

TEST(ParseCtRecordsTest, MalformedLinesAreReportedWithLineAndColumn) {
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

// What the file is, where it can be told: another structure format, or a
// second structure; otherwise the line's own fault.
TEST(ParseCtRecordsTest, OtherFormatsAndSecondStructuresAreNamed) {
  EXPECT_EQ(parse_error("3 a\n1 G 0 2 3 1\n2 A 1 3 0 2\n3 C 2 0 1 3\n"
                        "3 b\n\n1 G 0 2 0 1\n2 A 1 3 0 2\n3 C 2 0 0 3\n"),
            "Error: line 5 of secondary sequence file x.ct starts a second structure; mirelon "
            "reads one: take one with mirelon-ct -k K\n");
  // A second header must be followed by nucleotide 1.
  EXPECT_EQ(parse_error("3 a\n1 G 0 2 3 1\n3 b\n2 A 1 3 0 2\n"),
            "Error: line 3 of secondary sequence file x.ct has 2 columns instead of 6.\n");
  EXPECT_EQ(parse_error(">x\nGGGAAACCC\n(((...)))\n"),
            "Error: secondary sequence file x.ct is a dot-bracket file, not a CT file; convert it "
            "with: mirelon-ct -o rna.ct x.ct\n");
  EXPECT_EQ(parse_error("GGGAAACCC\n(((...)))\n"),
            "Error: secondary sequence file x.ct is a dot-bracket file, not a CT file; convert it "
            "with: mirelon-ct -o rna.ct x.ct\n");
  EXPECT_EQ(parse_error("1 G 3\n2 A 0\n3 C 1\n"),
            "Error: secondary sequence file x.ct is a BPSEQ file, not a CT file; convert it with: "
            "mirelon-ct -o rna.ct x.ct\n");
  EXPECT_EQ(parse_error(">x\nGGGAAACCC\n>y\nGGG\n")
                .find("Error: secondary sequence file x.ct "
                      "holds a sequence without a structure"),
            0u);
  // Only a file mirelon-ct would convert is named by its format.
  EXPECT_EQ(parse_error(">x\nGGGAAACCC\n(((..)))\n"),
            "Error: line 2 of secondary sequence file x.ct has 1 column instead of 6.\n");
  EXPECT_EQ(parse_error("1 G 3\n2 A 0\n3 C 2\n"),
            "Error: line 2 of secondary sequence file x.ct has 3 columns instead of 6.\n");
}

// Column 1 must fit an int and rise; it need not count from 1 or without gaps.
TEST(CheckCtIndexTest, IndexMustFitAnIntAndRise) {
  struct Case {
    const char* index;
    const char* before;
    CtIndexFault fault;
  } const cases[] = {
      {"1", "", CtIndexFault::kNone},
      {"22", "", CtIndexFault::kNone},
      {"-5", "", CtIndexFault::kNone},
      {"3", "2", CtIndexFault::kNone},
      {"30", "2", CtIndexFault::kNone},  // a gap
      {"-4", "-5", CtIndexFault::kNone},
      {"+0007", "6", CtIndexFault::kNone},
      {"2", "2", CtIndexFault::kNotAbove},
      {"1", "3", CtIndexFault::kNotAbove},
      {"-6", "-5", CtIndexFault::kNotAbove},
      {"007", "+7", CtIndexFault::kNotAbove},  // compared as numbers, not texts
      {"2147483647", "2147483646", CtIndexFault::kNone},
      {"-2147483648", "", CtIndexFault::kNone},
      {"0000000000000000000001", "", CtIndexFault::kNone},
      {"2147483648", "", CtIndexFault::kOutOfRange},
      {"-2147483649", "", CtIndexFault::kOutOfRange},
      {"2147483648", "2147483647", CtIndexFault::kOutOfRange},
      {"99999999999999999999999", "1", CtIndexFault::kOutOfRange},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(check_ct_index(c.index, c.before), c.fault) << c.index << " after " << c.before;
  }
}

// The index is checked after the line's columns, in file order, against the
// nucleotide line before it (blank lines between do not count).
TEST(ParseCtRecordsTest, IndexFaultsAreReportedInFileOrderAfterTheColumns) {
  const std::string not_above =
      "Error: line 4 of secondary sequence file x.ct: index 2 is not above the index before it "
      "(2); column 1 must rise through all strands (column 6 may hold your own numbering).\n";
  EXPECT_EQ(parse_error("4 dup\n1 G 0 2 4 1\n2 G 1 3 0 2\n2 A 2 4 0 3\n4 C 3 0 1 4\n"), not_above);
  EXPECT_EQ(parse_error("h\n1 G 0 2 0 1\n2 G 1 0 0 2\n\n1 A 0 2 0 3\n2 C 1 0 0 4\n"),
            "Error: line 5 of secondary sequence file x.ct: index 1 is not above the index before "
            "it (2); column 1 must rise through all strands (column 6 may hold your own "
            "numbering).\n");
  EXPECT_EQ(parse_error("h\n1 G 0 2 0 1\n99999999999999999999999 G 1 0 0 2\n"),
            "Error: line 3 of secondary sequence file x.ct: index 99999999999999999999999 is out "
            "of range.\n");
  // A malformed line before the fault is reported, one after it is not; on
  // one line the columns come first.
  EXPECT_EQ(parse_error("h\n5 G 0 2 0 1\n2 G 1 3 x 2\n"),
            "Error: line 3 of secondary sequence file x.ct: column 5 is not a whole number.\n");
  EXPECT_EQ(parse_error("4 dup\n1 G 0 2 4 1\n2 G 1 3 0\n2 A 2 4 0 3\n"),
            "Error: line 3 of secondary sequence file x.ct has 5 columns instead of 6.\n");
  EXPECT_EQ(parse_error("4 dup\n1 G 0 2 4 1\n2 G 1 3 0 2\n2 A 2 4 0 3\n4 C 3 0 x 4\n"), not_above);
  // Indexes that rise from anywhere, with gaps, are read.
  EXPECT_EQ(parse_ok("h\n22 G 0 2 0 1\n23 G 1 3 0 2\n40 A 2 0 0 3\n").size(), 3u);
}

TEST(ParseCtRecordsTest, CapacityIsTestedBeforeAnyLine) {
  std::string ok = "h\n";
  for (int i = 1; i <= 10000; ++i) ok += std::to_string(i) + " A 0 0 0 1\n";
  EXPECT_EQ(parse_ok(ok).size(), 10000u);
  // Blank lines do not count toward the capacity.
  EXPECT_EQ(parse_ok(ok + "\n \n").size(), 10000u);
  // One nucleotide more is refused, even when an earlier line is malformed.
  EXPECT_EQ(parse_error("h\nbad\n" + ok.substr(2)),
            "Error: String array size 10001 larger than maximum 10000.\n");
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
      if (parse_ct_records(content, name.c_str(), &records, &error)) {
        EXPECT_FALSE(records.empty()) << name;
        const auto residues = build_residues(records);
        // Ten words on every residue-ID line, whatever the file.
        for (const Residue& residue : residues) {
          for (const std::string& field : residue.id) EXPECT_FALSE(field.empty()) << name;
        }
      } else {
        EXPECT_EQ(error.rfind("Error: ", 0), 0u) << name << ": " << error;
      }
    }
    closedir(handle);
  }
  EXPECT_GE(files, 25);
}

}  // namespace
}  // namespace mirelon
