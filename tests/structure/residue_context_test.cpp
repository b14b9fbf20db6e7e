#include "structure/residue_context.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text.h"

namespace mirelon {
namespace {

// The nucleotide records of a CT text: the header skipped, every other
// non-blank line one record, its words taken as they stand.
std::vector<CtRecord> parse_ok(const std::string& content) {
  std::vector<CtRecord> records;
  LineReader lines(content);
  std::string_view line;
  bool terminated = false;
  lines.next(&line, &terminated);
  while (lines.next(&line, &terminated)) {
    if (is_blank(line)) continue;
    const std::vector<std::string_view> words = split_words(line);
    EXPECT_EQ(check_ct_columns(words).kind, CtColumnFault::kNone) << line;
    records.push_back(ct_record_from_words(words));
  }
  return records;
}

// The residue-ID lines of a CT text, as the sequence step writes them.
std::string id_lines(const std::string& content) {
  return format_residue_id_lines(residue_id_records(build_residues(parse_ok(content))));
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

TEST(BuildResiduesTest, BreakComesFromColumnFourNotFromABaseNamedZero) {
  // The second record's base is "0": the first record's base after reads "0",
  // but its column 4 is not "0", so there is no chain break.
  const auto residues = build_residues(parse_ok("h\n1 A 0 2 0 1\n2 0 1 3 0 2\n3 U 2 0 0 3\n"));
  EXPECT_EQ(residues[0].id[kBaseAfter], "0");
  EXPECT_FALSE(residues[0].break_after);
  EXPECT_EQ(residues[2].number, 3);
}

}  // namespace
}  // namespace mirelon
