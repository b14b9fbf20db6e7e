// End to end: mirelon-stats writes a table from small hand-made entries, and
// mirelon predicts with it.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "common/numbers.h"
#include "prediction/stat_table.h"
#include "program_run.h"
#include "stats/stats_data_set.h"

namespace mirelon {
namespace {

// Two RNAs that share the context of their first residue (a G paired in a
// canonical pair, followed by a paired C), and a third entry whose shifts
// disagree with its sequence.
void write_data_set(const ProgramRun& run) {
  run.write("manifest.txt",
            "# name structure shifts offset\n"
            "r1 r1.db r1.dat\n"
            "r2 r2.db r2.str -10\n"
            "bad r1.db bad.dat\n");
  run.write("r1.db", ">r1\nGCAU&AUGC\n((((&))))\n");
  run.write("r2.db", "GCAAGC\n((..))\n");
  run.write("r1.dat",
            "GUA 1 H8 8.00 .\n"
            "GUA 1 H1' 5.80 .\n"
            "GUA 1 H5'' 4.00 .\n"
            "GUA 1 H9 1.0 .\n"
            "LYS 3 CA 56.0 .\n");
  run.write("bad.dat", "GUA 2 H8 8.0\n");
  // r2 as an NMR-STAR entry numbered from 11 (offset -10 makes position 1).
  run.write("r2.str",
            "data_2\nsave_shifts\n  loop_\n"
            "    _Atom_chem_shift.Seq_ID\n    _Atom_chem_shift.Comp_ID\n"
            "    _Atom_chem_shift.Atom_ID\n    _Atom_chem_shift.Val\n"
            "    11 G H8 8.20\n    11 G H5'' 4.10\n    15 G H8 7.60\n    15 G H1' 5.60\n"
            "  stop_\nsave_\n");
  run.write("rna.ct",
            "8 r1\n1 G 0 2 8 1\n2 C 1 3 7 2\n3 A 2 4 6 3\n4 U 3 0 5 4\n"
            "5 A 0 6 4 5\n6 U 5 7 3 6\n7 G 6 8 2 7\n8 C 7 0 1 8\n");
}

TEST(MirelonStatsTest, MirelonPredictsWithTheRawTableItWrites) {
  ProgramRun run;
  ASSERT_TRUE(run.ok());
  write_data_set(run);
  ASSERT_EQ(
      run.run_program(MIRELON_STATS_BINARY, "-R -d 2024-01-02 -n 'Source: tests' manifest.txt"), 0)
      << run.file("stderr");
  const std::string report = run.file("stdout");
  EXPECT_NE(report.find("Entries used: 2 (2 distinct RNAs); shifts read: 10, used: 7\n"),
            std::string::npos)
      << report;
  EXPECT_NE(report.find("  bad: residue GUA 2 (line 1 of bad.dat) is C at position 2 of r1.db\n"),
            std::string::npos)
      << report;
  EXPECT_NE(report.find("  G H9     1\n"), std::string::npos) << report;
  EXPECT_NE(report.find("  LYS    1\n"), std::string::npos) << report;

  const std::string table_text = run.file("statfile.tab");
  StatTable table;
  std::string error;
  ASSERT_TRUE(parse_stat_table(table_text, "statfile.tab", &table, &error)) << error;
  EXPECT_NE(table_text.find("# Date: 2024-01-02\n# Source: tests\n"), std::string::npos);
  // Context records seen in two RNAs: G H8 and G H5" at 0o0oGwCw.
  ASSERT_EQ(table.context.size(), 2u);
  EXPECT_EQ(table.context[0][kContextAtom], "H8");
  EXPECT_EQ(table.context[0][kContextKey], "0o0oGwCw");
  EXPECT_EQ(table.context[0][kContextCount], "2");
  EXPECT_EQ(table.context[0][kContextMean], "8.1000");
  EXPECT_EQ(table.context[0][kContextSpread], "0.1414");
  EXPECT_EQ(table.context[1][kContextAtom], "H5\"");
  // Base statistics of G: H8 from 8.0, 8.2, 7.6; H1' from 5.8, 5.6.
  ASSERT_EQ(table.base.size(), 3u);
  EXPECT_EQ(table.base[0][kBaseAtom], "H8");
  EXPECT_EQ(table.base[0][kBaseMean], "7.9333");
  EXPECT_EQ(table.base[0][kBaseSpread], "0.3055");
  EXPECT_EQ(table.base[1][kBaseAtom], "H1'");

  // Section 3 against published quantiles: t(0.975, 1) = 12.706,
  // t(0.975, 10) = 2.228 (row of n = 11), z(0.975) = 1.960; level 6 is 95 %.
  ASSERT_EQ(table.multipliers.size(), 121u);
  EXPECT_NEAR(strtod_text(table.multipliers[0][6]), 12.706 * std::sqrt(1.5), 5e-3);
  EXPECT_NEAR(strtod_text(table.multipliers[9][6]), 2.228 * std::sqrt(1 + 1.0 / 11), 5e-4);
  EXPECT_NEAR(strtod_text(table.multipliers[120][6]), 1.960, 5e-4);

  // mirelon at level 6 (95 %) on the structure of r1: residue 1 gets H8 and
  // H5" from the context records, H1' from the base statistics.
  ASSERT_EQ(run.run("-s rna.ct -c 6"), 0) << run.file("stdout");
  const std::string prot = run.file("kesta.prot");
  const double t_row = strtod_text(table.multipliers[0][6]);
  const double z_row = strtod_text(table.multipliers[120][6]);
  const std::string expected =
      "   1    8.1000" + pad_left(format_f4(strtod_text(format_g6(0.1414 * t_row))), 9) +
      "  H8     1   s\n"
      "   2    4.0500" +
      pad_left(format_f4(strtod_text(format_g6(0.0707 * t_row))), 9) +
      "  H5\"    1   s\n"
      "   3    5.7000" +
      pad_left(format_f4(strtod_text(format_g6(0.1414 * z_row))), 9) + "  H1'    1   o\n";
  ASSERT_GE(prot.size(), expected.size());
  EXPECT_EQ(prot.substr(0, expected.size()), expected);
  // The half-width by hand: 0.1414 x t(0.975, 1) x sqrt(1.5) = 0.1414 x 15.56186
  // = 2.20045, as "%g" 2.20045, printed 2.2005.
  EXPECT_EQ(prot.substr(14, 9), "   2.2005");
}

TEST(MirelonStatsTest, ShrunkTableByDefault) {
  ProgramRun run;
  ASSERT_TRUE(run.ok());
  write_data_set(run);
  // A structure-only entry: its contexts count, it has no shifts to read.
  run.write("manifest.txt", "r1 r1.db r1.dat\nr2 r2.db r2.str -10\nr3 r3.db -\n");
  run.write("r3.db", "GCGC\n(())\n");
  ASSERT_EQ(run.run_program(MIRELON_STATS_BINARY, "manifest.txt"), 0) << run.file("stderr");
  const std::string table_text = run.file("statfile.tab");
  StatTable table;
  std::string error;
  ASSERT_TRUE(parse_stat_table(table_text, "statfile.tab", &table, &error)) << error;
  EXPECT_NE(table_text.find("FIELD 4 OF SECTION 1 IS A CALIBRATION COUNT"), std::string::npos);
  EXPECT_NE(table_text.find("(1 of them without shifts)"), std::string::npos) << table_text;
  // Records for contexts never observed: G H8 of the structure-only r3's
  // first residue (0o0oGwCw is observed, 0o0oGwCo only in other ways).
  bool seen = false, unseen = false;
  for (const auto& record : table.context) {
    if (record[kContextAtom] != "H8") continue;
    if (record[kContextKey] == "0o0oGwCw") seen = true;
    if (record[kContextKey] == "UoAoGoCo") unseen = true;
    EXPECT_GE(strtol10(record[kContextCount]), 2) << record[kContextKey];
  }
  EXPECT_TRUE(seen);
  EXPECT_TRUE(unseen);
  EXPECT_NE(run.file("stdout").find("Tolerances: narrowest at level 2 "), std::string::npos);
  ASSERT_EQ(run.run("-s rna.ct -c 11"), 0) << run.file("stdout");
  EXPECT_NE(run.file("kesta.prot").find("  H8     1   s\n"), std::string::npos);
}

TEST(MirelonStatsTest, UnreadableInputsAndBadOptions) {
  ProgramRun run;
  ASSERT_TRUE(run.ok());
  write_data_set(run);
  run.write("old.tab", "old\n");
  EXPECT_EQ(run.run_program(MIRELON_STATS_BINARY, "-o old.tab missing.txt"), 1);
  EXPECT_EQ(run.file("stderr"),
            "mirelon-stats: cannot open missing.txt (No such file or directory)\n");
  EXPECT_EQ(run.file("old.tab"), "old\n");
  run.write("m2.txt", "r1 r1.db nothere.dat\n");
  EXPECT_EQ(run.run_program(MIRELON_STATS_BINARY, "-o old.tab m2.txt"), 1);
  EXPECT_EQ(run.file("stderr"),
            "mirelon-stats: cannot open nothere.dat (No such file or directory)\n");
  EXPECT_EQ(run.file("old.tab"), "old\n");
  EXPECT_EQ(run.run_program(MIRELON_STATS_BINARY, "-k x manifest.txt"), 1);
  EXPECT_EQ(run.file("stderr"), "mirelon-stats: bad -k x\n");
  EXPECT_EQ(run.run_program(MIRELON_STATS_BINARY, "-t 5:0 manifest.txt"), 1);
  EXPECT_EQ(run.file("stderr"), "mirelon-stats: bad setting '5:0' in -t 5:0\n");
  EXPECT_EQ(run.run_program(MIRELON_STATS_BINARY, ""), 1);
  // Only the disagreeing entry: nothing to build from, no table.
  run.write("m3.txt", "bad r1.db bad.dat\n");
  EXPECT_EQ(run.run_program(MIRELON_STATS_BINARY, "-o new.tab m3.txt"), 1);
  EXPECT_EQ(run.file("stderr"),
            "mirelon-stats: no entry left to build a table from: every entry with shifts was left "
            "out:\n  bad: residue GUA 2 (line 1 of bad.dat) is C at position 2 of r1.db\n");
  EXPECT_EQ(run.file("new.tab"), "(none)");
}

TEST(MirelonStatsTest, NoEntryLeftSaysWhy) {
  DataSet data;
  EXPECT_EQ(no_entry_reason(data, "m.txt"), ": m.txt lists no entry");
  data.structures.emplace_back();
  EXPECT_EQ(no_entry_reason(data, "m.txt"),
            ": the entries of m.txt name no shift file (shifts \"-\")");
  // Entries left out are named with their reasons, at most ten of them.
  data.left_out.push_back({"a", "shift list unreadable", "a.nef: no NEF chemical shift loop"});
  const std::string first =
      ": every entry with shifts was left out:\n  a: a.nef: no NEF chemical shift loop";
  EXPECT_EQ(no_entry_reason(data, "m.txt"), first);
  for (int i = 0; i < 9; ++i) data.left_out.push_back({"b", "", "why"});
  std::string expected = first;
  for (int i = 0; i < 9; ++i) expected += "\n  b: why";
  EXPECT_EQ(no_entry_reason(data, "m.txt"), expected);
  data.left_out.push_back({"c", "", "why"});
  data.left_out.push_back({"d", "", "why"});
  EXPECT_EQ(no_entry_reason(data, "m.txt"), expected + "\n  and 2 more");
}

TEST(MirelonStatsTest, EvaluationReportIsWritten) {
  ProgramRun run;
  ASSERT_TRUE(run.ok());
  write_data_set(run);
  run.write("manifest.txt", "r1 r1.db r1.dat\nr2 r2.db r2.str -10\n");
  ASSERT_EQ(run.run_program(MIRELON_STATS_BINARY, "-R -e acc -t 0 manifest.txt"), 0)
      << run.file("stderr");
  const std::string md = run.file("acc.md");
  EXPECT_EQ(md.rfind("# Accuracy of the statistics table statfile.tab\n", 0), 0u) << md;
  // Each RNA held out in turn. r1's G1 H8 (8.0) is predicted from the G H8
  // of r2 (8.2 and 7.6: mean 7.9, base statistics only); r1 alone has one G
  // H8 and so predicts nothing for r2: one of three H8 shifts is predicted.
  EXPECT_NE(md.find("| `H8` | 3 | 33.3 % | 0.0 % | 0.100 | 0.100 |"), std::string::npos) << md;
  EXPECT_EQ(run.file("acc.svg").rfind("<svg ", 0), 0u);

  // The shrunk table against the raw one, holding out the first RNA only.
  ASSERT_EQ(run.run_program(MIRELON_STATS_BINARY, "-e shrunk -y 1 manifest.txt"), 0)
      << run.file("stderr");
  const std::string shrunk = run.file("shrunk.md");
  EXPECT_NE(shrunk.find("each of the first 1 of the 2 RNAs"), std::string::npos) << shrunk;
  EXPECT_NE(shrunk.find("## Shrunk and raw tables side by side"), std::string::npos);
  EXPECT_NE(shrunk.find("| RMSE all atoms at most 1.06 ppm |"), std::string::npos);
  EXPECT_EQ(run.run_program(MIRELON_STATS_BINARY, "-e shrunk -y 0 manifest.txt"), 1);
  EXPECT_EQ(run.file("stderr"), "mirelon-stats: bad -y 0\n");
}

}  // namespace
}  // namespace mirelon
