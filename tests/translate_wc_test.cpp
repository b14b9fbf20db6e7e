#include "translate_wc.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "program_run.h"

namespace mirelon {
namespace {

using Pairs = std::vector<std::pair<int, int>>;

// A well-formed CT text: `bases` in file order, every pair listed from both
// sides, and a strand ending after each position (from 1) in `strand_ends`.
std::string ct_text(const std::string& bases, const Pairs& pairs,
                    const std::set<int>& strand_ends = {}) {
  const int n = static_cast<int>(bases.size());
  std::vector<int> partner(n + 1, 0);
  for (const auto& [i, j] : pairs) {
    partner[i] = j;
    partner[j] = i;
  }
  std::string text = std::to_string(n) + " test\n";
  for (int i = 1; i <= n; ++i) {
    const bool starts = i == 1 || strand_ends.count(i - 1) > 0;
    const bool ends = i == n || strand_ends.count(i) > 0;
    text += std::to_string(i) + " " + bases[i - 1] + " " + (starts ? "0" : std::to_string(i - 1)) +
            " " + (ends ? "0" : std::to_string(i + 1)) + " " + std::to_string(partner[i]) + " " +
            std::to_string(i) + "\n";
  }
  return text;
}

SecondaryStructure structure_of(const std::string& ct) {
  SecondaryStructure structure;
  std::string error;
  EXPECT_TRUE(parse_ct(ct, "x.ct", &structure.records, &error)) << error;
  structure.residues = build_residues(structure.records);
  return structure;
}

std::string macro_of(const std::string& ct) {
  HelixEnds ends;
  std::string error;
  EXPECT_TRUE(find_helix_ends(structure_of(ct), &ends, &error)) << error;
  return format_hbond_macro(ends);
}

std::string helix_error(const std::string& ct) {
  HelixEnds ends;
  std::string error;
  EXPECT_FALSE(find_helix_ends(structure_of(ct), &ends, &error));
  return error;
}

TEST(HelixTest, OneLinePerHelixOfCanonicalPairs) {
  struct Case {
    const char* what;
    std::string ct;
    const char* macro;
  } cases[] = {
      {"hairpin", ct_text("GGCAAAAAUGCC", {{1, 12}, {2, 11}, {3, 10}, {4, 9}}),
       "hbond watsoncrick=1-4,9-12\n"},
      {"two hairpins",
       ct_text("GGGGAAAACCCCAAGGGGAAAACCCC",
               {{1, 12}, {2, 11}, {3, 10}, {4, 9}, {15, 26}, {16, 25}, {17, 24}, {18, 23}}),
       "hbond watsoncrick=1-4,9-12\nhbond watsoncrick=15-18,23-26\n"},
      {"two strands", ct_text("GGGGGCCCCC", {{1, 10}, {2, 9}, {3, 8}, {4, 7}, {5, 6}}, {5}),
       "hbond watsoncrick=1-5,106-110\n"},
      {"one-pair helix", ct_text("AAAAAGAAAAAAAACAAAAA", {{6, 15}}),
       "hbond watsoncrick=6-6,15-15\n"},
      {"G-U inside a stem", ct_text("GGCAAAAAUGUC", {{1, 12}, {2, 11}, {3, 10}, {4, 9}}),
       "hbond watsoncrick=1-1,12-12\nhbond watsoncrick=3-4,9-10\n"},
      {"bulge on the 3' strand", ct_text("GGGAAAAAAAAAAAAACACC", {{1, 20}, {2, 19}, {3, 17}}),
       "hbond watsoncrick=1-3,17-20\n"},
      {"adjacent hairpins", ct_text("GGAAAAAACCGGAAAAAACC", {{1, 10}, {2, 9}, {11, 20}, {12, 19}}),
       "hbond watsoncrick=1-2,9-10\n"},
      {"strand ends split a stem", ct_text("GGGAACCC", {{1, 8}, {2, 7}, {3, 6}}, {1, 5}),
       "hbond watsoncrick=1-1,208-208\nhbond watsoncrick=102-103,206-207\n"},
      {"no pairs", ct_text("GGAAACC", {}), ""},
      {"G-U pairs only", ct_text("GGAAAUU", {{1, 7}, {2, 6}}), ""},
      {"header only", "5 empty\n", ""},
      {"empty file", "", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(macro_of(c.ct), c.macro) << c.what << "\n" << c.ct;
}

TEST(HelixTest, FileThatIsNotWellFormedNeverReadsOutsideTheRecords) {
  struct Case {
    const char* what;
    const char* ct;
    const char* macro;
  } cases[] = {
      // Listed from the 5' side only: still a helix; from the 3' side only: none.
      {"5' side only", "h\n1 G 0 2 4 1\n2 A 1 3 0 2\n3 A 2 4 0 3\n4 C 3 0 0 4\n",
       "hbond watsoncrick=1-1,4-4\n"},
      {"3' side only", "h\n1 G 0 2 0 1\n2 A 1 3 0 2\n3 A 2 4 0 3\n4 C 3 0 1 4\n", ""},
      // A helix whose 5' run ends beside a paired record has no last pair:
      // its line reads the empty entry after the list.
      {"no loop", "h\n1 G 0 2 2 1\n2 C 1 0 1 2\n", "hbond watsoncrick=1-,-2\n"},
      // Column 1 names a file position: below 1 it gives an empty text,
      // another position that record's residue number. (Above the file it
      // cannot be: c1 is below c5, and a "w" partner lies in the file.)
      {"index 0", "h\n1 A 0 2 0 1\n0 G 1 3 4 2\n3 A 2 4 0 3\n4 C 3 0 2 4\n",
       "hbond watsoncrick=-,4-4\n"},
      {"index of a later record",
       "h\n1 A 0 2 0 1\n5 G 1 3 6 2\n3 A 2 4 0 3\n4 A 3 5 0 4\n"
       "8 A 4 6 0 5\n6 C 5 0 2 6\n",
       "hbond watsoncrick=8-8,6-6\n"},
      {"index of another record", "h\n3 G 0 2 4 1\n2 A 1 3 0 2\n-1 A 2 4 0 3\n4 C 3 0 0 4\n",
       "hbond watsoncrick=-1--1,4-4\n"},
      // strtol saturates: a huge index is never below its partner, a huge
      // negative one always is and names no record.
      {"huge index", "h\n99999999999999999999 G 0 2 2 1\n2 C 1 0 0 2\n", ""},
      {"huge negative index", "h\n-99999999999999999999 G 0 2 2 1\n2 C 1 0 0 2\n",
       "hbond watsoncrick=-,2-2\n"},
      // Indices shifted away from the positions: the partner is then below c1.
      {"shifted indices", "h\n101 G 0 2 4 1\n102 A 1 3 0 2\n103 A 2 4 0 3\n104 C 3 0 1 4\n", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(macro_of(c.ct), c.macro) << c.what << "\n" << c.ct;
}

// `count` lines "INDEX BASE 0 0 PARTNER 1": each record a strand of its own,
// so every paired one is a first and a last pair.
std::string lone_records(int count, const std::string& index, char base, int partner) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    text += index + " " + base + " 0 0 " + std::to_string(partner) + " 1\n";
  }
  return text;
}

TEST(HelixTest, HelixCountAndEndListHaveTheirLimits) {
  // 5000 one-pair helices fill the list exactly: 10000 nucleotides.
  const std::string full =
      "h\n" + lone_records(5000, "0", 'G', 10000) + lone_records(5000, "9", 'C', 1);
  HelixEnds ends;
  std::string error;
  ASSERT_TRUE(find_helix_ends(structure_of(full), &ends, &error)) << error;
  EXPECT_EQ(ends.helix_count, 5000u);
  EXPECT_EQ(ends.entries.size(), 10000u);

  // 5001 first pairs: 2 x H is too many.
  EXPECT_EQ(helix_error("h\n" + lone_records(5001, "0", 'G', 5002) + "9 C 0 0 1 1\n"),
            "Error: String array size 10002 larger than maximum 10000.\n");

  // 4999 helices of one pair pass the 2 x H test, but three more last pairs
  // (a 5' pair record after a paired 3' member, ending its strand) need
  // 10001 entries.
  const std::string lone = lone_records(4999, "0", 'G', 1);
  std::string three_more;
  for (int k = 0; k < 3; ++k) three_more += "9 G 0 1 1 1\n0 G 1 0 1 1\n";
  std::string ct = "h\n9 C 0 0 2 1\n" + lone + three_more;
  EXPECT_EQ(helix_error(ct), "Error: String array size 10001 larger than maximum 10000.\n");
  ct.resize(ct.size() - std::string("9 G 0 1 1 1\n0 G 1 0 1 1\n").size());
  ASSERT_TRUE(find_helix_ends(structure_of(ct), &ends, &error)) << error;
  EXPECT_EQ(ends.helix_count, 4999u);
  EXPECT_EQ(ends.entries.size(), 10000u);
}

// With -w the sequence and residue-ID files are written twice; on every real
// CT file of the shared collection the run must leave them, the restraints,
// standard output and the exit status exactly as a run without -w does.
TEST(HbondRunTest, MacroRunLeavesEveryOtherOutputAsARunWithout) {
  const std::filesystem::path root = MIRELON_SHARED_DATA "/ct";
  if (!std::filesystem::is_directory(root)) GTEST_SKIP() << "no shared data at " << root;
  int files = 0;
  int macros = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    const std::string name = entry.path().filename().string();
    const std::string extension = entry.path().extension().string();
    if (!entry.is_regular_file() || (extension != ".ct" && extension != ".txt") ||
        name.rfind("README", 0) == 0) {
      continue;
    }
    ++files;
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream ct;
    ct << in.rdbuf();
    ProgramRun plain;
    ProgramRun with_macro;
    ASSERT_TRUE(plain.ok() && with_macro.ok());
    plain.write("rna.ct", ct.str());
    with_macro.write("rna.ct", ct.str());
    const int status = plain.run("");
    EXPECT_EQ(with_macro.run("-w hb.mac"), status) << name;
    for (const char* output : {"stdout", "stderr", "kesta.seq", "idarrayke.txt", "kesta.aco"}) {
      EXPECT_TRUE(plain.file(output) == with_macro.file(output)) << name << ": " << output;
    }
    if (with_macro.file("hb.mac") != "(none)") ++macros;
  }
  EXPECT_GE(files, 25);
  EXPECT_GE(macros, 20);
}

// Runs `ct` once without and once with -w, an older "kesta.aco" in place;
// checks that the -w run stops with `message` after the sequence step's
// output, before the macro, leaving the sequence step's files.
void expect_macro_run_stops(const std::string& ct, const std::string& message) {
  ProgramRun plain;
  ProgramRun with_macro;
  ASSERT_TRUE(plain.ok() && with_macro.ok());
  plain.write("rna.ct", ct);
  with_macro.write("rna.ct", ct);
  with_macro.write("kesta.aco", "older restraints\n");
  ASSERT_EQ(plain.run(""), 0);
  EXPECT_EQ(with_macro.run("-w hb.mac"), 1);
  EXPECT_TRUE(with_macro.file("stdout") == plain.file("stdout") + message);
  EXPECT_TRUE(with_macro.file("kesta.seq") == plain.file("kesta.seq"));
  EXPECT_TRUE(with_macro.file("idarrayke.txt") == plain.file("idarrayke.txt"));
  EXPECT_EQ(with_macro.file("hb.mac"), "(none)");
  EXPECT_EQ(with_macro.file("kesta.aco"), "older restraints\n");
}

TEST(HbondRunTest, HelixLimitsStopTheRunBeforeTheMacro) {
  // 5001 first pairs in 9999 nucleotides: every G names the C at position 4
  // from one side only, with index 0 to stay below it; the G are separated
  // by A or by two chain breaks.
  std::string ct = "h\n0 G 0 0 4 1\n0 G 0 0 4 2\n0 G 0 4 4 3\n";
  for (int i = 4; i <= 9999; ++i) {
    const bool g = i % 2 == 1;
    const std::string record = g ? "0 G " : (i == 4 ? "4 C " : "0 A ");
    ct += record + std::to_string(i - 1) + " " + std::to_string(i == 9999 ? 0 : i + 1) +
          (g ? " 4 1\n" : " 0 1\n");
  }
  expect_macro_run_stops(ct, "Error: String array size 10002 larger than maximum 10000.\n");

  // 4999 helices of one pair, then three 5' pair records that follow a
  // paired 3' member and end their strand: 10001 helix ends.
  std::string ends = "h\n9 C 0 0 2 1\n" + lone_records(4999, "0", 'G', 1);
  for (int k = 0; k < 3; ++k) ends += "9 G 0 1 1 1\n0 G 1 0 1 1\n";
  expect_macro_run_stops(ends, "Error: String array size 10001 larger than maximum 10000.\n");
}

}  // namespace
}  // namespace mirelon
