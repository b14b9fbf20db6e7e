#include "structure/structure.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mirelon/ct_tables.h"
#include "mirelon/translate_seq.h"
#include "structure/residue_ids.h"

namespace mirelon {
namespace {

using Partners = std::vector<std::optional<size_t>>;

Structure parse_ok(const std::string& content) {
  Structure structure;
  std::string error;
  EXPECT_TRUE(parse_structure(content, "in", &structure, &error)) << content << error;
  return structure;
}

std::string parse_error(const std::string& content) {
  Structure structure;
  std::string error;
  EXPECT_FALSE(parse_structure(content, "in", &structure, &error)) << content;
  return error;
}

// A bad input and the whole message it must give.
struct ErrorCase {
  const char* content;
  const char* error;
};

void expect_errors(const std::vector<ErrorCase>& cases) {
  for (const ErrorCase& c : cases) EXPECT_EQ(parse_error(c.content), c.error) << c.content;
}

std::string dot_bracket(const Structure& structure) {
  std::string text;
  std::string error;
  EXPECT_TRUE(format_structure_dot_bracket(structure, &text, &error)) << error;
  return text;
}

// The worked two-strand example: G C A | U G C with 1:6 and 2:5.
const char kTwoStrandCt[] =
    "    6  duplex\n"
    "    1 G       0    2    6    1\n"
    "    2 C       1    3    5    2\n"
    "    3 A       2    0    0    3\n"
    "    4 U       0    5    0    4\n"
    "    5 G       4    6    2    5\n"
    "    6 C       5    0    1    6\n";

TEST(StructureFormatTest, DetectedFromTheFirstLines) {
  struct Case {
    const char* content;
    StructureFormat format;
  } const cases[] = {
      {">x\nGC\n()\n", StructureFormat::kDotBracket},
      // A ">" line and sequences without a structure line: FASTA.
      {">x\nGGGAAACCC\n", StructureFormat::kFasta},
      {">x\nGGGAAA\nCCC\n>y\nACGU\n", StructureFormat::kFasta},
      {">x\n", StructureFormat::kDotBracket},
      {">x\nGGGAAACCC\n.........\n", StructureFormat::kDotBracket},
      {"\n\nGGGAAACCC\n(((...)))\n", StructureFormat::kDotBracket},
      {"((..))\n", StructureFormat::kDotBracket},
      {"#bpRNA\n1 G 2\n2 C 1\n", StructureFormat::kBpseq},
      {"Filename: a.bpseq\nOrganism: x\n1 A 0\n", StructureFormat::kBpseq},
      {"1 G 2\n2 C 1\n", StructureFormat::kBpseq},
      {"1 G 0", StructureFormat::kBpseq},
      {"23\n1 g 0 2 23 19\n", StructureFormat::kCt},
      {"  18  ENERGY = -5.6   RA7680 short\n", StructureFormat::kCt},
      // A CT file whose header lacks the count is still read as CT.
      {"tRNA\n1 G 0 2 0 1\n", StructureFormat::kCt},
      {"Filename: a\nOrganism: Escherichia coli K-12 MG1655\n1 A 0\n", StructureFormat::kBpseq},
      // A CT header of three words, the last a number, is still a header.
      {"2 hairpin 7\n1 G 0 2 2 1\n2 C 1 0 1 2\n", StructureFormat::kCt},
      {"", StructureFormat::kCt},
  };
  for (const Case& c : cases) EXPECT_EQ(detect_structure_format(c.content), c.format) << c.content;
}

TEST(StructureFormatTest, OtherFilesGivenAsAStructureAreNamed) {
  struct Case {
    const char* content;
    const char* what;
  } const cases[] = {
      {"# table\nH2 A 0o0oAoGo 6 7.95 0.17 1 1 7.98 . 1 5 0.31\n:\n", "a statistics table"},
      // a terminator alone, or a key alone, is not enough
      {"H2 A 0o0oAoGo 6 7.95\n", ""},
      {":\n1 G 0\n", ""},
      {"H2 A 0o0xAoGo 6\n:\n", ""},
      {"# comment\n\ndata_5371\nsave_x\n", "a shift list (NMR-STAR)"},
      {"data_x\nsave_nef_nmr_meta_data\n", "a shift list (NEF)"},
      {"3 data_x\n1 G 0 2 0 1\n", ""},
      {"GGGAAACCC\n(((...)))\n", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(recognise_other_file(c.content), c.what) << c.content;
  Structure structure;
  std::string error;
  EXPECT_FALSE(parse_structure(cases[0].content, "t.tab", &structure, &error));
  EXPECT_EQ(error, "t.tab:1: this is a statistics table, not a structure\n");
}

TEST(StructureCtTest, ReadsNameStrandsPairsAndNaturalNumbering) {
  const Structure two = parse_ok(kTwoStrandCt);
  EXPECT_EQ(two.name, "duplex");
  EXPECT_EQ(two.bases, (std::vector<std::string>{"G", "C", "A", "U", "G", "C"}));
  EXPECT_EQ(two.partners, (Partners{5, 4, std::nullopt, std::nullopt, 1, 0}));
  EXPECT_EQ(two.breaks, std::vector<size_t>{2});

  // CRLF, tabs, blank lines, a header without name, natural numbering, the
  // first column 3 naming the last nucleotide (circular) and the last
  // column 4 pointing past the end.
  const Structure odd = parse_ok("3\r\n\r\n1\tg\t3\t2\t3\t19\r\n2 A 1 3 0 20\r\n3 C 2 4 1 x\r\n\n");
  EXPECT_EQ(odd.name, "");
  EXPECT_EQ(odd.bases, (std::vector<std::string>{"g", "A", "C"}));
  EXPECT_EQ(odd.partners, (Partners{2, std::nullopt, 0}));
  EXPECT_TRUE(odd.breaks.empty());
  EXPECT_EQ(odd.natural_numbers, (std::vector<std::string>{"19", "20", "x"}));

  EXPECT_EQ(parse_ok("0 nothing\n").size(), 0u);
  // A circular RNA: the last column 4 names the first nucleotide.
  EXPECT_EQ(parse_ok("2 ring\n1 G 2 2 0 1\n2 C 1 1 0 2\n").size(), 2u);
}

TEST(StructureCtTest, ErrorsNameTheFileAndLine) {
  expect_errors({
      {"x\n1 A 0 2 0 1\n", "in:1: the header must start with the number of nucleotides\n"},
      {"-2 x\n", "in:1: the header must start with the number of nucleotides\n"},
      {"3 x\n1 A 0 2 0 1\n2 A 1 3 0 2\n",
       "in:1: the header announces 3 nucleotides, but the file holds 2\n"},
      {"1 x\n1 A 0 2 0 1\n\n1 y\n1 A 0 2 0 1\n",
       "in:4: more than one structure in this CT file (the header announces 1 nucleotides)\n"},
      {"  2  ENERGY = -1.0 a\n1 G 0 2 0 1\n2 C 1 3 0 2\n  2  ENERGY = -0.5 b\n",
       "in:4: more than one structure in this CT file (the header announces 2 nucleotides)\n"},
      {"2 x\n1 A 0 2 0 1\n2 A 1 3 0\n", "in:3: expected 6 columns, found 5\n"},
      {"1 x\n1 A 0 2 0 1 # name=A.U1\n", "in:2: expected 6 columns, found 8\n"},
      {"1 x\n1 A 0 2 0.5 1\n", "in:2: column 5 is not a whole number\n"},
      {"2 x\n1 A 0 2 0 1\n3 A 2 3 0 2\n", "in:3: column 1 is 3, expected 2\n"},
      {"2 x\n+1 A 0 2 0 1\n2 A 1 3 0 2\n", "in:2: column 1 is +1, expected 1\n"},
      {"3 x\n1 A 0 3 0 1\n2 A 1 3 0 2\n3 A 2 0 0 3\n",
       "in:2: column 4 is 3, expected 2 or 0 (a strand end)\n"},
      {"2 x\n1 A 0 0 0 1\n2 A 1 0 0 2\n",
       "in:3: column 3 is 1, expected 0 (the line before ends a strand)\n"},
      {"2 x\n1 A 0 2 0 1\n2 A 0 0 0 2\n",
       "in:3: column 3 is 0 (a strand starts here), but column 4 of the line before is not 0\n"},
      {"3 x\n1 A 0 2 0 1\n2 A 1 3 0 2\n3 A 1 0 0 3\n", "in:4: column 3 is 1, expected 2\n"},
      {"2 x\n1 G 0 2 3 1\n2 C 1 3 1 2\n",
       "in:2: nucleotide 1 pairs with 3, outside the sequence of 2 nucleotides\n"},
      {"2 x\n1 G 0 2 0 1\n2 C 1 3 -1 2\n",
       "in:3: nucleotide 2 pairs with -1, outside the sequence of 2 nucleotides\n"},
      {"2 x\n1 G 0 2 99999999999999999999 1\n2 C 1 3 0 2\n",
       "in:2: nucleotide 1 pairs with 99999999999999999999, outside the sequence of 2 "
       "nucleotides\n"},
      {"2 x\n1 G 0 2 0 1\n2 C 1 3 2 2\n", "in:3: nucleotide 2 pairs with itself\n"},
      {"2 x\n1 G 0 2 2 1\n2 C 1 3 0 2\n",
       "in:2: nucleotide 1 pairs with 2, but nucleotide 2 is unpaired (one-sided pair)\n"},
      {"3 x\n1 G 0 2 3 1\n2 G 1 3 3 2\n3 C 2 4 1 3\n",
       "in:3: nucleotide 2 pairs with 3, which pairs with 1 (nucleotide 3 paired twice)\n"},
      {"3 x\n1 G 0 2 2 1\n2 C 1 3 3 2\n3 C 2 4 1 3\n",
       "in:2: nucleotide 1 pairs with 2, but nucleotide 2 pairs with 3 (one-sided pair)\n"},
  });
  EXPECT_EQ(parse_error(" \n\t\n"), "in:1: the file holds no structure\n");
}

TEST(StructureBpseqTest, ReadsHeadersCommentsAndPairs) {
  const Structure structure = parse_ok(
      "Filename: hairpin.bpseq\n"
      "Organism: Some organism\n"
      "Citation and related information available at http://example.org\n"
      "1 G 5\n"
      "# a comment between nucleotides\n"
      "\n"
      "2 a 0\r\n"
      "3 PSU 0\n"
      "4 T 0\n"
      "5 C 1");
  EXPECT_EQ(structure.name, "hairpin.bpseq");
  EXPECT_EQ(structure.bases, (std::vector<std::string>{"G", "a", "PSU", "T", "C"}));
  EXPECT_EQ(structure.partners, (Partners{4, std::nullopt, std::nullopt, std::nullopt, 0}));
  EXPECT_TRUE(structure.natural_numbers.empty());

  expect_errors({
      {"Filename: x\n", "in:1: no nucleotide lines (index, base, partner) in this file\n"},
      {"1 G 0\n2 C\n", "in:2: expected 3 columns (index, base, partner), found 2\n"},
      {"1 G 0\nOrganism: late\n", "in:2: expected 3 columns (index, base, partner), found 2\n"},
      {"1 G 0\n3 C 0\n", "in:2: column 1 is 3, expected 2\n"},
      {"1 G 0\n2 C x\n", "in:2: column 3 is not a whole number\n"},
      {"1 G 3\n2 C 1\n",
       "in:1: nucleotide 1 pairs with 3, outside the sequence of 2 nucleotides\n"},
      {"1 G 2\n2 C 0\n",
       "in:1: nucleotide 1 pairs with 2, but nucleotide 2 is unpaired (one-sided pair)\n"},
      {"1 G 1\n", "in:1: nucleotide 1 pairs with itself\n"},
  });
}

TEST(StructureDotBracketTest, ReadsStrandsPseudoknotsAndFreeEnergy) {
  const Structure two = parse_ok(">duplex\nGCA&UGC\n((.&.)) (-12.30)\n");
  EXPECT_EQ(two.name, "duplex");
  EXPECT_EQ(two.bases, (std::vector<std::string>{"G", "C", "A", "U", "G", "C"}));
  EXPECT_EQ(two.partners, (Partners{5, 4, std::nullopt, std::nullopt, 1, 0}));
  EXPECT_EQ(two.breaks, std::vector<size_t>{2});

  // Every bracket kind and letter pairs, crossing each other; CRLF and an
  // energy with blanks inside the parentheses.
  const Structure knots = parse_ok("acgugcAUGC\r\n([{<A)]}>a\t( -1.2 )\r\n\r\n");
  EXPECT_EQ(knots.partners, (Partners{5, 6, 7, 8, 9, 0, 1, 2, 3, 4}));
  EXPECT_EQ(knots.bases[0], "a");
  EXPECT_TRUE(knots.breaks.empty());

  expect_errors({
      {">only a name\n", "in:2: the file ends before the sequence line\n"},
      {"GGAC\n\n", "in:3: the file ends before the structure line\n"},
      {"GG-C\n(..)\n", "in:1:3: '-' is not a base letter\n"},
      {"GG\tC\n(..)\n", "in:1:3: byte 0x09 is not a base letter\n"},
      {"&GC\n&()\n", "in:1:1: '&' must stand between two nucleotides\n"},
      {"GC&\n()&\n", "in:1:3: '&' must stand between two nucleotides\n"},
      {"G&&C\n(&&)\n", "in:1:3: '&' must stand between two nucleotides\n"},
      {"GGAC\n(..))\n", "in:2:5: the structure has 5 characters, the sequence 4\n"},
      {">x\nGGACU\n(..)\n", "in:3:5: the structure has 4 characters, the sequence 5\n"},
      {"G&GC\n(.&)\n", "in:2:2: '.' in the structure, but '&' in the sequence above it\n"},
      {"GGAC\n(.&)\n", "in:2:3: '&' in the structure, but 'A' in the sequence above it\n"},
      {"GGAC\n(.-)\n", "in:2:3: '-' is not a bracket, a dot or '&'\n"},
      {"GGAC\n(..]\n", "in:2:4: ']' closes no '['\n"},
      {"GGAC\n.)(.\n", "in:2:2: ')' closes no '('\n"},
      {"GGACA\n((.).\n", "in:2:1: '(' is never closed\n"},
      {"GGAC\n[(.)\n", "in:2:1: '[' is never closed\n"},
      // Of several unclosed brackets, of one kind or of several, the leftmost.
      {"GGACA\n(((.)\n", "in:2:1: '(' is never closed\n"},
      {"GGAC\n(.[.\n", "in:2:1: '(' is never closed\n"},
      {"GGAC\nAa.b\n", "in:2:4: 'b' closes no 'B'\n"},
      {"GGAC\n(..) -1.2\n", "in:2:6: unexpected text after the structure\n"},
      {"GGAC\n(..) (-1.2) x\n", "in:2:6: unexpected text after the structure\n"},
      {"GGAC\n(..)\n(.).\n",
       "in:3: unexpected line after the structure (one structure per file)\n"},
  });
}

TEST(StructureWriterTest, CtBpseqAndDotBracketTexts) {
  Structure structure = parse_ok(">duplex\nGCA&UGC\n((.&.))\n");
  EXPECT_EQ(format_structure_ct(structure), kTwoStrandCt);
  EXPECT_EQ(format_structure_bpseq(structure),
            "Filename: duplex\n1 G 6\n2 C 5\n3 A 0\n4 U 0\n5 G 2\n6 C 1\n");
  EXPECT_EQ(dot_bracket(structure), ">duplex\nGCA&UGC\n((.&.))\n");

  // No name: no name line and a bare count; wide numbers and bases widen
  // the CT columns but always keep a blank between them.
  structure.name.clear();
  structure.bases[0] = "PSU";
  structure.natural_numbers = {"123456789", "2", "3", "4", "5", "6"};
  const std::string ct = format_structure_ct(structure);
  EXPECT_EQ(ct.substr(0, ct.find('\n', 6) + 1), "    6\n    1 PSU       0    2    6 123456789\n");
  EXPECT_EQ(format_structure_bpseq(structure).substr(0, 8), "1 PSU 6\n");
  std::string text;
  std::string error;
  EXPECT_FALSE(format_structure_dot_bracket(structure, &text, &error));
  EXPECT_EQ(error, "nucleotide 1 is \"PSU\", but dot-bracket holds one letter per nucleotide\n");
}

TEST(StructureWriterTest, CrossingHelicesGetDifferentBracketKinds) {
  // An H-type pseudoknot, a kissing loop over two hairpins, and helices
  // that only nest or follow each other, which all keep "()".
  const char* structures[] = {
      "((((..[[[[..))))..]]]]",       "((((..[[[..))))..((((..]]]..))))",
      "((..((..))..((..))..))((..))", "((..[[..{{..))..]]..}}",
      "(([[))]]((..[[))]]",
  };
  for (const char* brackets : structures) {
    const std::string db = std::string(std::string(brackets).size(), 'G') + "\n" + brackets + "\n";
    EXPECT_EQ(dot_bracket(parse_ok(db)), db) << brackets;
  }

  // Thirty helices that all cross each other use every kind; one more
  // finds none left.
  for (size_t helices : {30, 31}) {
    Structure crossing;
    crossing.bases.assign(2 * helices, "G");
    crossing.partners.resize(2 * helices);
    for (size_t i = 0; i < helices; ++i) {
      crossing.partners[i] = i + helices;
      crossing.partners[i + helices] = i;
    }
    std::string text;
    std::string error;
    if (helices == 30) {
      ASSERT_TRUE(format_structure_dot_bracket(crossing, &text, &error)) << error;
      EXPECT_EQ(text.substr(2 * helices + 1),
                "([{<ABCDEFGHIJKLMNOPQRSTUVWXYZ)]}>abcdefghijklmnopqrstuvwxyz\n");
      EXPECT_EQ(parse_ok(text).partners, crossing.partners);
    } else {
      EXPECT_FALSE(format_structure_dot_bracket(crossing, &text, &error));
      EXPECT_EQ(error,
                "the pair of nucleotides 31 and 62 crosses pairs of all 30 bracket kinds of "
                "dot-bracket\n");
    }
  }
}

TEST(StructureCtRecordsTest, MirelonReadsTheWrittenCtIntoTheSameRecords) {
  // Three strands, a multi-letter base and natural numbering.
  Structure structure = parse_ok("GGA&UC&CC\n(([&).&])\n");
  structure.bases[2] = "PSU";
  structure.natural_numbers = {"19", "20", "21", "22", "23", "24", "25"};
  const std::vector<CtRecord> expected = to_ct_records(structure);
  std::vector<CtRecord> records;
  std::string error;
  ASSERT_TRUE(parse_ct_records(format_structure_ct(structure), "x.ct", &records, &error)) << error;
  ASSERT_EQ(records.size(), expected.size());
  for (size_t i = 0; i < records.size(); ++i) {
    const CtRecord& a = expected[i];
    const CtRecord& b = records[i];
    EXPECT_EQ(std::vector<std::string>({a.index, a.base, a.before, a.after, a.partner, a.natural}),
              std::vector<std::string>({b.index, b.base, b.before, b.after, b.partner, b.natural}))
        << i;
  }
  EXPECT_EQ(expected[3].before, "0");
  EXPECT_EQ(expected[2].after, "0");
  EXPECT_EQ(expected[2].partner, "6");
  EXPECT_EQ(expected[6].after, "0");
}

TEST(StructureCtRecordsTest, TwoStrandDotBracketGetsMirelonsLinker) {
  // The CT text the converter writes, read as mirelon reads its CT file.
  std::vector<CtRecord> records;
  std::string error;
  ASSERT_TRUE(parse_ct_records(format_structure_ct(parse_ok("GCA&UGC\n((.&.))\n")), "rna.ct",
                               &records, &error))
      << error;
  const std::vector<Residue> residues = build_residues(records);
  const int64_t numbers[] = {1, 2, 3, 104, 105, 106};
  ASSERT_EQ(residues.size(), 6u);
  for (size_t i = 0; i < residues.size(); ++i) {
    EXPECT_EQ(residues[i].number, numbers[i]) << i;
    EXPECT_EQ(residues[i].break_after, i == 2) << i;
  }
  EXPECT_EQ(residues[3].id[kBaseBefore], "0");  // the second strand starts afresh
  EXPECT_EQ(residues[4].id[kOwnMark], "w");     // G5 pairs with C2 across the strands
  const std::string seq = format_sequence_file(residues);
  EXPECT_EQ(seq.substr(0, 40), "RGUA    1\nRCYT    2\nRADE    3\nNL      4\n");
  EXPECT_EQ(seq.substr(seq.size() - 40), "LN    103\nURA   104\nRGUA  105\nRCYT  106\n");
}

TEST(StructureUpperRnaTest, UpperCaseWithTAsU) {
  Structure structure = parse_ok("acgtuTIn\n........\n");
  convert_to_upper_rna(&structure);
  EXPECT_EQ(structure.bases, (std::vector<std::string>{"A", "C", "G", "U", "U", "U", "I", "N"}));
}

}  // namespace
}  // namespace mirelon
