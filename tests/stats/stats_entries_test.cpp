#include "stats/stats_entries.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "structure/structure.h"

namespace mirelon {
namespace {

Structure dot_bracket(const std::string& text) {
  Structure structure;
  std::string error;
  EXPECT_TRUE(parse_structure(text, "s.db", &structure, &error)) << error;
  return structure;
}

std::vector<ObservedShift> four_column(const std::string& text) {
  std::vector<ObservedShift> shifts;
  std::string error;
  EXPECT_TRUE(parse_four_column_shifts(text, "s.dat", &shifts, &error)) << error;
  return shifts;
}

ManifestEntry entry(long offset = 0) {
  ManifestEntry e;
  e.name = "r1";
  e.structure_file = "s.db";
  e.shift_file = "s.dat";
  e.offsets.offset = offset;
  return e;
}

TEST(PlaceShiftsTest, KeysAtStrandEndsAndChainBreaksComeFromTheSequenceStep) {
  // Two strands GCAU and AUGC paired into one helix; a chain break after U4.
  const Structure structure = dot_bracket(">r1\nGCAU&AUGC\n((((&))))\n");
  StatsEntry placed;
  PlacementCounts counts;
  std::string disagreement;
  ASSERT_TRUE(place_shifts(entry(), structure,
                           four_column("GUA 1 H8 8.0\nURA 4 H6 7.7\nADE 5 H8 8.1\nCYT 8 H6 7.6\n"),
                           &placed, &counts, &disagreement))
      << disagreement;
  EXPECT_EQ(placed.sequence, "GCAU&AUGC");
  ASSERT_EQ(placed.shifts.size(), 4u);
  EXPECT_EQ(placed.shifts[0].observation.key, "0o0oGwCw");  // strand start
  EXPECT_EQ(placed.shifts[1].observation.key, "CwAwUw0o");  // last before the break
  EXPECT_EQ(placed.shifts[2].observation.key, "0o0oAwUw");  // first after the break
  EXPECT_EQ(placed.shifts[3].observation.key, "UwGwCw0o");  // end of the last strand
  EXPECT_EQ(placed.shifts[2].residue, 4u);
  // Residue numbers as mirelon writes them: 100 more after the break.
  EXPECT_EQ(placed.residues[4][kResidueNumber], "105");
  EXPECT_EQ(placed.shifts[3].observation.base, "C");
}

TEST(PlaceShiftsTest, NamesOffsetsAndWhatIsCounted) {
  const Structure structure = dot_bracket("GGAAACC\n((...))\n");
  StatsEntry placed;
  PlacementCounts counts;
  std::string disagreement;
  // Residue numbers 11 to 17 in the shift list: offset -10.
  ASSERT_TRUE(place_shifts(entry(-10), structure,
                           four_column("GUA 11 H5'' 4.1\n"
                                       "GUA 11 H5'' 4.2\n"  // repeated, differs
                                       "GUA 11 H5'' 4.1\n"  // repeated, same
                                       "GUA 11 H9 1\n"      // not in the catalogue
                                       "LYS 3 CA 56\n"      // no nucleotide
                                       "PSU 14 H1' 5.5\n"   // modified nucleotide
                                       "A 13 HO2' 6.1\n"),
                           &placed, &counts, &disagreement))
      << disagreement;
  ASSERT_EQ(placed.shifts.size(), 2u);
  EXPECT_EQ(placed.shifts[0].observation.atom, "H5\"");
  EXPECT_DOUBLE_EQ(placed.shifts[0].observation.value, 4.1);
  EXPECT_EQ(placed.shifts[1].observation.atom, "HO2'");
  EXPECT_EQ(placed.shifts[1].residue, 2u);
  EXPECT_EQ(placed.shifts[1].observation.key, "GwGwAoAo");
  EXPECT_EQ(counts.repeated, 2u);
  EXPECT_EQ(counts.repeated_differing, 1u);
  EXPECT_EQ(counts.differing_repeats, std::vector<std::string>{"GUA11 H5'' 4.1 and 4.2"});
  EXPECT_EQ(counts.other_atoms.at("G H9"), 1u);
  EXPECT_EQ(counts.other_residues.at("LYS"), 1u);
  EXPECT_EQ(counts.other_residues.at("PSU"), 1u);
}

TEST(PlaceShiftsTest, DisagreementsLeaveTheEntryOut) {
  const Structure structure = dot_bracket("GGAAACC\n((...))\n");
  StatsEntry placed;
  PlacementCounts counts;
  std::string disagreement;
  EXPECT_FALSE(place_shifts(entry(), structure, four_column("GUA 1 H8 8\nGUA 3 H8 8\n"), &placed,
                            &counts, &disagreement));
  EXPECT_EQ(disagreement, "residue GUA 3 (line 2 of s.dat) is A at position 3 of s.db");
  EXPECT_FALSE(place_shifts(entry(), structure, four_column("CYT 8 H6 7\n"), &placed, &counts,
                            &disagreement));
  EXPECT_EQ(disagreement, "residue CYT 8 (line 1 of s.dat) lies outside the 7 nucleotides of s.db");
  EXPECT_FALSE(place_shifts(entry(2), structure, four_column("GUA 0 H8 8\nGUA 1 H8 8\n"), &placed,
                            &counts, &disagreement));
  EXPECT_EQ(disagreement, "residue GUA 1 (line 2 of s.dat) is A at position 3 of s.db");

  // Chains mapped one by one: chain 2 starts at position 5; chain 3 is not mapped.
  ManifestEntry chains = entry();
  chains.offsets.chain_offsets = {{"1", 0}, {"2", 4}};
  std::vector<ObservedShift> shifts =
      four_column("GUA 1 H8 8\nADE 1 H8 8\nCYT 3 H6 7\nGUA 1 H8 1\n");
  shifts[1].chain = "2";
  shifts[2].chain = "2";
  shifts[3].chain = "3";
  shifts[0].chain = "1";
  counts = PlacementCounts();
  ASSERT_TRUE(place_shifts(chains, structure, shifts, &placed, &counts, &disagreement))
      << disagreement;
  EXPECT_EQ(placed.shifts.size(), 3u);
  EXPECT_EQ(placed.shifts[2].residue, 6u);
  EXPECT_EQ(counts.unmapped_chains, 1u);
}

TEST(PlaceShiftsTest, EntriesOfOneSequenceAreOneRna) {
  std::vector<StatsEntry> entries(3);
  entries[0].sequence = "GGAC";
  entries[1].sequence = "GGCC";
  entries[2].sequence = "GGAC";
  for (StatsEntry& e : entries) e.shifts.resize(1);
  EXPECT_EQ(number_rnas(&entries), 2u);
  EXPECT_EQ(entries[2].shifts[0].observation.rna, 0u);
  EXPECT_EQ(entries[1].shifts[0].observation.rna, 1u);
  EXPECT_EQ(collect_observations(entries, 0).size(), 1u);
  EXPECT_EQ(collect_observations(entries, 9).size(), 3u);
}

}  // namespace
}  // namespace mirelon
