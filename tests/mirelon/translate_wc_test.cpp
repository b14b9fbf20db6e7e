#include "translate_wc.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "program_run.h"

namespace mirelon {
namespace {

CtTables structure_of(const std::string& ct) {
  CtTables structure;
  std::string error;
  EXPECT_TRUE(parse_ct_records(ct, "x.ct", &structure.records, &error)) << error;
  structure.residues = build_residues(structure.records);
  return structure;
}

std::string macro_of(const std::string& ct) {
  HelixEnds ends;
  std::string error;
  EXPECT_TRUE(find_helix_ends(structure_of(ct), &ends, &error)) << error;
  return format_hbond_macro(ends);
}

// The macro examples of every kind run as golden cases; these are the cases
// between them, each CT text written out.
TEST(HelixTest, HelicesEndWhereTheFivePrimeStrandMeetsAnUnpairedNeighbour) {
  struct Case {
    const char* what;
    const char* ct;
    const char* macro;
  } const cases[] = {
      {"hairpin GGCAAAAAUGCC",
       "12 h\n1 G 0 2 12 1\n2 G 1 3 11 2\n3 C 2 4 10 3\n4 A 3 5 9 4\n5 A 4 6 0 5\n"
       "6 A 5 7 0 6\n7 A 6 8 0 7\n8 A 7 9 0 8\n9 U 8 10 4 9\n10 G 9 11 3 10\n"
       "11 C 10 12 2 11\n12 C 11 13 1 12\n",
       "hbond watsoncrick=1-4,9-12\n"},
      // Strands [1], [2..5], [6..8]: a strand end is an unpaired neighbour,
      // and residue numbers carry 100 per chain break.
      {"strand ends split a stem",
       "8 h\n1 G 0 0 8 1\n2 G 0 3 7 2\n3 G 2 4 6 3\n4 A 3 5 0 4\n5 A 4 0 0 5\n"
       "6 C 0 7 3 6\n7 C 6 8 2 7\n8 C 7 0 1 8\n",
       "hbond watsoncrick=1-1,208-208\nhbond watsoncrick=102-103,206-207\n"},
      // Listed from the 3' side only: the 3' member is never looked at.
      {"3' side only", "h\n1 G 0 2 0 1\n2 A 1 3 0 2\n3 A 2 4 0 3\n4 C 3 0 1 4\n", ""},
      // Column 1 names the file position whose residue number is written.
      {"index of a later record",
       "h\n1 A 0 2 0 1\n5 G 1 3 6 2\n3 A 2 4 0 3\n4 A 3 5 0 4\n8 A 4 6 0 5\n6 C 5 0 2 6\n",
       "hbond watsoncrick=8-8,6-6\n"},
      // Indices shifted away from the positions: the partner is below c1.
      {"shifted indices", "h\n101 G 0 2 4 1\n102 A 1 3 0 2\n103 A 2 4 0 3\n104 C 3 0 1 4\n", ""},
      {"empty file", "", ""},
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

// Both limits are reached exactly; one more is refused by a whole run
// (HbondRunTest.HelixLimitsStopTheRunBeforeTheMacro).
TEST(HelixTest, HelixCountAndEndListTakeExactlyTenThousandEntries) {
  // 5000 one-pair helices: 2 x H is 10000.
  const std::string full =
      "h\n" + lone_records(5000, "0", 'G', 10000) + lone_records(5000, "9", 'C', 1);
  HelixEnds ends;
  std::string error;
  ASSERT_TRUE(find_helix_ends(structure_of(full), &ends, &error)) << error;
  EXPECT_EQ(ends.helix_count, 5000u);
  EXPECT_EQ(ends.entries.size(), 10000u);

  // 4999 one-pair helices and two more last pairs (a 5' pair record after
  // a paired 3' member, ending its strand): 10000 helix ends.
  const std::string ct = "h\n9 C 0 0 2 1\n" + lone_records(4999, "0", 'G', 1) +
                         "9 G 0 1 1 1\n0 G 1 0 1 1\n9 G 0 1 1 1\n0 G 1 0 1 1\n";
  ASSERT_TRUE(find_helix_ends(structure_of(ct), &ends, &error)) << error;
  EXPECT_EQ(ends.helix_count, 4999u);
  EXPECT_EQ(ends.entries.size(), 10000u);
  // Index 0 names no record; the partner at position 1 has residue number 9.
  EXPECT_EQ(format_hbond_macro(ends).substr(0, 24), "hbond watsoncrick=-,9-9\n");
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
  // So many nucleotides exceed the entry bound of the shift step, which ends
  // the plain run after the restraints; the -w run must stop earlier.
  ASSERT_EQ(plain.run(""), 1);
  const std::string plain_stdout = plain.file("stdout");
  const size_t shift_step_error = plain_stdout.rfind("Error: String array size ");
  ASSERT_NE(shift_step_error, std::string::npos);
  const std::string bound_tail = " larger than maximum 20000.\n";
  ASSERT_GE(plain_stdout.size(), bound_tail.size());
  EXPECT_EQ(plain_stdout.substr(plain_stdout.size() - bound_tail.size()), bound_tail);
  EXPECT_EQ(with_macro.run("-w hb.mac"), 1);
  EXPECT_TRUE(with_macro.file("stdout") == plain_stdout.substr(0, shift_step_error) + message);
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
