#include "stats/shrinkage_builder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "common/prediction_levels.h"
#include "prediction/stat_table.h"
#include "stats/multipliers.h"
#include "stats/stats_entries.h"

namespace mirelon {
namespace {

// Observations of H8 and C8 of G from `rnas` RNAs: H8 in the key `shifted`
// reads 0.5 ppm above the others, with some spread between RNAs.
std::vector<Observation> synthetic(size_t rnas, const std::string& shifted) {
  const std::vector<std::string> keys = {"AoGwGwCw", "CwGwGwAo", shifted, "UoGoGoAo"};
  std::vector<Observation> observations;
  for (size_t rna = 0; rna < rnas; ++rna) {
    for (size_t k = 0; k < keys.size(); ++k) {
      const double noise = 0.1 * static_cast<double>((rna * 7 + k * 3) % 5) - 0.2;
      const double value = 7.7 + (keys[k] == shifted ? 0.5 : 0) + noise;
      observations.push_back({rna, "G", keys[k], "H8", value});
      observations.push_back({rna, "G", keys[k], "C8", 137 + 10 * noise});
    }
  }
  return observations;
}

const ContextStatistic* find(const StatisticsTable& table, const std::string& atom,
                             const std::string& key) {
  for (const ContextStatistic& r : table.context) {
    if (r.atom == atom && r.key == key) return &r;
  }
  return nullptr;
}

TEST(ShrinkageTest, SeenAndUnseenContextsGetShrunkRecords) {
  const std::string shifted = "GwAwGwUw";
  const std::vector<Observation> observations = synthetic(12, shifted);
  std::map<std::string, size_t> counts = {{shifted, 30}, {"AoGwGwCw", 5}, {"CwAwGwUw", 8}};
  ShrinkageSettings settings;
  const ShrunkTable shrunk =
      build_shrunk_statistics(observations, counts, settings, catalogue_rank, multiplier_rows());
  const StatisticsTable& table = shrunk.table;
  ASSERT_TRUE(table.shrunk);

  // The shifted context: near its own mean with 12 RNAs (the prior of the
  // full key adds the effects of both neighbours, so it may pass it a little).
  double base_mean = 0;
  for (const BaseStatistic& b : table.base) {
    if (b.base == "G" && b.atom == "H8") base_mean = b.summary.mean;
  }
  const ContextStatistic* seen = find(table, "H8", shifted);
  ASSERT_NE(seen, nullptr);
  EXPECT_EQ(seen->summary.count, 12u);
  EXPECT_EQ(seen->rnas, 12u);
  EXPECT_EQ(seen->key_frequency, 30u);
  const double own_mean = seen->summary.mean;
  EXPECT_GT(own_mean - base_mean, 0.3);
  EXPECT_GT(seen->mean, base_mean + 0.5 * (own_mean - base_mean));
  EXPECT_NEAR(seen->mean, own_mean, 0.05);
  EXPECT_NEAR(seen->base_offset, seen->mean - base_mean, 1e-9);

  // Never observed, but it shares the one-sided contexts with the shifted
  // key: its mean is pulled up from the base mean, and it has no observations.
  const ContextStatistic* unseen = find(table, "H8", "CwAwGwUw");
  ASSERT_NE(unseen, nullptr);
  EXPECT_EQ(unseen->summary.count, 0u);
  EXPECT_GT(unseen->mean, base_mean + 0.1 * (own_mean - base_mean));
  EXPECT_EQ(unseen->key_frequency, 8u);

  // Ranked: frequent keys far from the base mean first, and only as many
  // records as allowed.
  settings.max_records = 3;
  const ShrunkTable few =
      build_shrunk_statistics(observations, counts, settings, catalogue_rank, multiplier_rows());
  ASSERT_EQ(few.table.context.size(), 3u);
  EXPECT_NE(find(few.table, "H8", shifted), nullptr);

  // Every record: a count that selects a multiplier row, a spread whose
  // level-2 tolerance is not below the floor, and the table reads back
  // with 13 fields per record.
  const std::vector<MultiplierValues> rows = multiplier_rows();
  for (const ContextStatistic& r : table.context) {
    ASSERT_GE(r.calibration_count, 2) << r.key;
    const size_t row = multiplier_row_index(r.calibration_count);
    const double floor = r.atom[0] == 'H' ? kProtonToleranceFloor : kHeavyToleranceFloor;
    EXPECT_GE(r.spread * rows[row].factors[1], floor - 1e-12) << r.atom << " " << r.key;
  }
  StatTable read;
  std::string error;
  ASSERT_TRUE(
      parse_stat_table(format_statistics_table(table, {"test"}, format_multiplier_section()),
                       "(test)", &read, &error))
      << error;
  EXPECT_EQ(read.context.size(), table.context.size());
  EXPECT_EQ(read.base.size(), table.base.size());
}

TEST(ShrinkageTest, KeyCountsLeaveOutTheHeldOutRna) {
  StatsEntry a, b, structure;
  ResidueIdRecord residue{"1", "1", "0", "o", "0", "o", "G", "w", "C", "w"};
  ResidueIdRecord other = residue;
  other[kOwnBase] = "X";  // no atoms: not counted
  a.rna = 0;
  a.residues = {residue, other};
  b.rna = 1;
  b.residues = {residue};
  structure.rna = kNoRna;
  structure.residues = {residue, residue};
  EXPECT_EQ(count_context_keys({a, b}, {structure}, 0).at("0o0oGwCw"), 3u);
  EXPECT_EQ(count_context_keys({a, b}, {structure}, 99).at("0o0oGwCw"), 4u);
  std::vector<StatsEntry> structures = {structure};
  structures[0].sequence = "G";
  b.sequence = "G";
  number_structures({a, b}, &structures);
  EXPECT_EQ(structures[0].rna, 1u);
}

}  // namespace
}  // namespace mirelon
