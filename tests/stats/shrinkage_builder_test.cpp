#include "stats/shrinkage_builder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
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

// ---- The stages, each on a small data set worked out by hand.

Observation shift(size_t rna, const std::string& key, const std::string& atom, double value) {
  return {rna, "G", key, atom, value};
}

BaseStatistic base_record(const std::string& atom, double low, double high, double sd = 0) {
  BaseStatistic b;
  b.base = "G";
  b.atom = atom;
  b.limits = {low, high};
  b.summary.sd = sd;
  return b;
}

TEST(ShrinkageStagesTest, ScreeningKeepsForMeansAndScreensForSpreads) {
  const std::string key = "AoGwGwCw";
  const std::vector<Observation> observations = {
      shift(0, key, "H8", 1),     shift(0, key, "H8", 2),   shift(1, key, "H8", 3),
      shift(1, key, "H8", 4),     shift(2, key, "H8", 100),  // an error of the data
      shift(2, "GwGw", "H8", 3),   // a short key: counts for the screen only
      shift(2, key, "C8", 137.0),  // no base record
  };
  // G H8: 1 2 3 3 4 100, median 3, deviations 0 0 1 1 2 97 -> MAD 1.
  const auto screen = screen_limits(observations, 10);
  EXPECT_DOUBLE_EQ(screen.at({"G", "H8"}).low, 3 - 10 * kMadToSd);
  EXPECT_DOUBLE_EQ(screen.at({"G", "H8"}).high, 3 + 10 * kMadToSd);
  EXPECT_TRUE(screen.at({"G", "C8"}).contains(1e9));  // one value: no scale to judge by

  const ScreenedObservations s =
      screen_observations(observations, {base_record("H8", 1.5, 4.5)}, 10);
  auto values = [](const std::vector<const Observation*>& list) {
    std::vector<double> v;
    v.reserve(list.size());
    for (const Observation* o : list) v.push_back(o->value);
    return v;
  };
  EXPECT_EQ(values(s.kept), (std::vector<double>{2, 3, 4}));
  EXPECT_EQ(values(s.screened), (std::vector<double>{1, 2, 3, 4}));
}

TEST(ShrinkageStagesTest, StrengthOfLeastSquaredResidualsInsideTheLimits) {
  const std::vector<Observation> o = {shift(0, "", "H8", 3), shift(1, "", "H8", 3),
                                      shift(2, "", "H8", 100), shift(0, "", "C8", 137)};
  const std::vector<Residual> residuals = {
      {&o[0], {0.3, 0.1, 0.2, 0.4}, 0},
      {&o[1], {0.1, 0.2, 0.05, 0.3}, 0},  // H8: sums 0.10 0.05 0.0425 0.25
      {&o[2], {0, 5, 5, 5}, 0},           // outside the limits: would make it 0
      {&o[3], {0.2, -0.2, 0.2, 0.2}, 0},  // C8: equal sums, the first wins
  };
  const StrengthChoice choice =
      choose_strengths(residuals, {base_record("H8", 0, 10), base_record("C8", 100, 200)}, 4);
  EXPECT_EQ(choice.index("H8"), 2u);
  EXPECT_EQ(choice.index("C8"), 0u);
  EXPECT_EQ(choice.index("P"), 2u);  // no residuals: the middle one of 4
  EXPECT_DOUBLE_EQ(choice.residual(residuals[0]), 0.2);
}

TEST(ShrinkageStagesTest, SpreadsFromResidualsRefinedByMarks) {
  // Marks (before, own, after) of each key in the comments.
  const std::vector<Observation> o = {
      shift(0, "AoGwGwCw", "H8", 0),  // w w w
      shift(0, "AoGwGwCo", "H8", 0),  // w w o
      shift(1, "AoGoGwCo", "H8", 0),  // o w o
      shift(1, "AoGwGoCw", "H8", 0),  // w o w: alone with own mark o
      shift(1, "AoGwGwCw", "C8", 0),  // the only C8 residual
  };
  const std::vector<Residual> residuals = {
      {&o[0], {9, 0.3}, 0.4}, {&o[1], {9, -0.4}, -0.3}, {&o[2], {9, 0.0}, 0.5},
      {&o[3], {9, 0.6}, 0.2}, {&o[4], {9, 0.2}, 0.1},
  };
  StrengthChoice choice;
  choice.chosen["H8"] = 1;
  choice.middle = 1;
  const ResidualSpreads spreads(residuals, choice, 2);
  const BaseStatistic h8 = base_record("H8", 0, 10, 0.7), c8 = base_record("C8", 0, 200, 1.5);

  const double base_h8 = std::sqrt((0.16 + 0.09 + 0.25 + 0.04) / 4);
  const double own_w = std::sqrt((0.09 + 0.16 + 0) / 3);  // H8, own mark w
  EXPECT_NEAR(spreads.base_spread(h8), base_h8, 1e-12);
  EXPECT_DOUBLE_EQ(spreads.base_spread(c8), 1.5);  // one residual: the sample deviation
  const struct {
    const BaseStatistic& b;
    const char* key;
    double spread;
  } cases[] = {
      {h8, "AoGwGwCw", std::sqrt((0.09 + 2 * own_w * own_w) / 3)},
      {h8, "UoCwGwAo", std::sqrt((0.16 + 2 * own_w * own_w) / 3)},  // only the marks count
      {h8, "AoGoGwCw", own_w},                                      // marks o w w unseen
      {h8, "AoGwGoCo", base_h8},                                    // own mark o: one residual
      {h8, "AoGwGoCw", std::sqrt((0.36 + 2 * base_h8 * base_h8) / 3)},
      {c8, "AoGwGwCw", std::sqrt((0.04 + 2 * 1.5 * 1.5) / 3)},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(spreads.context_spread(c.b, c.key), c.spread, 1e-12) << c.b.atom << " " << c.key;
  }
  const std::map<std::string, double> widest = spreads.widest({h8, c8});
  EXPECT_NEAR(widest.at("H8"), cases[4].spread, 1e-12);
  EXPECT_NEAR(widest.at("C8"), cases[5].spread, 1e-12);
}

// 1000 ratios whose shares match the nominal ones exactly at scale 1 with
// the row of count 10 and at no other scale of the grid: per level, the
// ratios inside sit 0.2 % under the factor and the first of the next level
// 0.2 % above it.
std::vector<double> ratios_of_row(const MultiplierValues& row) {
  const size_t inside[kLevelCount] = {500, 600, 700, 800, 900, 950, 980, 990, 995, 998, 999};
  std::vector<double> ratios(500, row.factors[0] * 0.998);
  for (size_t level = 1; level < kLevelCount; ++level) {
    ratios.push_back(row.factors[level - 1] * 1.002);
    ratios.resize(inside[level], row.factors[level] * 0.998);
  }
  ratios.push_back(row.factors[kLevelCount - 1] * 1.002);
  return ratios;
}

TEST(ShrinkageStagesTest, CalibrationFindsTheScaleAndCountOfTheResiduals) {
  const std::vector<MultiplierValues> rows = multiplier_rows();
  const MultiplierValues& row10 = rows[multiplier_row_index(10)];
  const std::vector<double> ratios = ratios_of_row(row10);
  ASSERT_EQ(ratios.size(), 1000u);
  const std::vector<long> counts = {kLargeCount, 3, 8, 10, 12, 121};
  const auto found = calibrate_intervals(ratios, rows, counts, 0, 0);
  EXPECT_NEAR(found.first, 1, 1e-9);
  EXPECT_EQ(found.second, 10);
  // A cap applies only with a widest spread (main atoms).
  const double cap = 0.99 * row10.factors[kLevelCount - 1];
  EXPECT_EQ(calibrate_intervals(ratios, rows, counts, 0, cap), found);
  const auto capped = calibrate_intervals(ratios, rows, counts, 1, cap);
  EXPECT_NE(capped, found);
  EXPECT_LE(capped.first * rows[multiplier_row_index(capped.second)].factors[kLevelCount - 1], cap);
  EXPECT_EQ(calibrate_intervals({}, rows, counts, 0, 0), std::make_pair(1.0, kLargeCount));
}

TEST(ShrinkageStagesTest, CalibrationCapsTheWidestToleranceOfMainAtomsOnly) {
  // H8 (a main atom) and H1 (not one) with the same residuals of about 1 ppm:
  // uncapped, their level-11 tolerance would pass the proton cap.
  std::vector<Observation> o;
  for (const char* atom : {"H8", "H1"}) {
    for (double r : {-1.6, -1.0, -0.6, -0.3, -0.1, 0.1, 0.3, 0.6, 1.0, 1.6}) {
      for (size_t rna = 0; rna < 4; ++rna) o.push_back(shift(rna, "AoGwGwCw", atom, r));
    }
  }
  std::vector<Residual> residuals;
  residuals.reserve(o.size());
  for (const Observation& x : o) residuals.push_back({&x, {x.value, 2 * x.value}, x.value});
  StrengthChoice choice;
  choice.chosen = {{"H8", 0}, {"H1", 1}};
  const ResidualSpreads spreads(residuals, choice, 20);
  const std::vector<BaseStatistic> base = {base_record("H8", -9, 9), base_record("H1", -9, 9)};
  const std::vector<MultiplierValues> rows = multiplier_rows();
  const auto calibration = calibrate_atoms(residuals, base, choice, spreads, {5, 10}, rows);
  ASSERT_EQ(calibration.size(), 2u);
  const AtomCalibration &h8 = calibration.at("H8"), &h1 = calibration.at("H1");
  EXPECT_EQ(h8.strength, 5);
  EXPECT_EQ(h1.strength, 10);
  EXPECT_EQ(h8.residuals, 40u);
  const std::map<std::string, double> widest = spreads.widest(base);
  auto level11 = [&](const AtomCalibration& c) {
    return c.scale * widest.at(c.atom) * rows[multiplier_row_index(c.count)].factors[10];
  };
  EXPECT_LE(level11(h8), kProtonToleranceCap);
  EXPECT_GT(level11(h1), kProtonToleranceCap);
  EXPECT_EQ(h8.base_scale, h1.base_scale);  // the same residuals from the base mean
}

TEST(ShrinkageStagesTest, SpreadsAreFlooredAtLevelTwo) {
  // Level-2 multiplier 0.7: least spreads 0.02 / 0.7 = 0.028571... and
  // 0.2 / 0.7 = 0.285714..., rounded up to four decimals.
  EXPECT_DOUBLE_EQ(floored_spread(0.01, "H8", 0.7), 0.0286);
  EXPECT_DOUBLE_EQ(floored_spread(0.03, "H8", 0.7), 0.03);
  EXPECT_DOUBLE_EQ(floored_spread(0.03, "C8", 0.7), 0.2858);
  EXPECT_DOUBLE_EQ(floored_spread(0.3, "N7", 0.7), 0.3);
}

TEST(ShrinkageStagesTest, CandidatesRankedByFrequencyAndDistance) {
  // G H8 in two RNAs at 7.9 and 8.1: every cell and the base mean are 8.0.
  const std::vector<Observation> o = {shift(0, "AoGwGwCw", "H8", 7.9),
                                      shift(1, "AoGwGwCw", "H8", 8.1)};
  const CellModel model = fit_cells({&o[0], &o[1]});
  BaseStatistic g = base_record("H8", 0, 10), a = g;
  g.summary.mean = 8.5;  // the record's mean, from all shifts
  a.base = "A";
  a.summary.mean = 8.2;  // no shifts in the model: its own mean is the prior
  const std::vector<BaseStatistic> base = {a, g};
  const std::map<std::string, size_t> key_counts = {{"AoGwGwCw", 4}, {"0o0oAwGo", 2}};
  const auto candidates = record_candidates(
      model, base, key_counts, [](const std::string&) { return 10.0; },
      [](std::string_view b, std::string_view) { return b == "A" ? 7 : 3; });
  size_t own_g = 0, own_a = 0;
  for (const std::string& key : possible_context_keys()) {
    own_g += key[4] == 'G' ? 1 : 0;
    own_a += key[4] == 'A' ? 1 : 0;
  }
  ASSERT_EQ(candidates.size(), own_g + own_a);
  for (const RecordCandidate& c : candidates) {
    EXPECT_TRUE(c.main);
    const bool of_g = c.base->base == "G";
    EXPECT_EQ(c.rank, of_g ? 3 : 7);
    EXPECT_NEAR(c.mean, of_g ? 8.0 : 8.2, 1e-12) << c.key;
    const double expected = c.key == "AoGwGwCw" ? 4 * 0.5 : 0;  // 4 x |8.0 - 8.5|
    EXPECT_NEAR(c.score, expected, 1e-12) << c.base->base << " " << c.key;
  }
}

TEST(ShrinkageStagesTest, SelectionPutsPositiveScoresAndMainAtomsFirst) {
  const BaseStatistic g = base_record("H8", 0, 0);
  BaseStatistic a = base_record("H2", 0, 0);
  a.base = "A";
  auto candidate = [](bool main, double score, const BaseStatistic& b, int rank, const char* key) {
    return RecordCandidate{main, score, &b, rank, key, 0};
  };
  const std::vector<RecordCandidate> all = {
      candidate(true, 2, g, 4, "k3"),  candidate(false, 10, a, 9, "k1"),
      candidate(true, 0, g, 1, "k1"),  candidate(true, 5, g, 3, "k1"),
      candidate(false, 0, a, 1, "k1"), candidate(true, 2, g, 4, "k2"),
  };
  auto selected = [&](size_t max_records) {
    std::vector<RecordCandidate> list = all;
    select_candidates(&list, max_records);
    std::string names;
    for (const RecordCandidate& c : list) {
      names += c.base->base + std::to_string(c.rank) + c.key + " ";
    }
    return names;
  };
  // Best first: main 5, main 2 (k2 before k3 in table order), main 2, then
  // the positive non-main 10 before the main 0; written in table order.
  EXPECT_EQ(selected(2), "G3k1 G4k2 ");
  EXPECT_EQ(selected(3), "G3k1 G4k2 G4k3 ");
  EXPECT_EQ(selected(4), "A9k1 G3k1 G4k2 G4k3 ");
  EXPECT_EQ(selected(9), "A1k1 A9k1 G1k1 G3k1 G4k2 G4k3 ");
}

TEST(ShrinkageStagesTest, RecordsCarryCalibratedSpreadsAndTheirObservations) {
  const std::vector<Observation> o = {shift(3, "AoGwGwCw", "H8", 8.0),
                                      shift(3, "AoGwGwCw", "H8", 8.2),
                                      shift(5, "AoGwGwCw", "H8", 8.4)};
  const std::vector<Residual> residuals = {{&o[0], {0.3}, 0.3}, {&o[1], {-0.3}, -0.3}};
  const ResidualSpreads spreads(residuals, StrengthChoice(), 20);  // every spread 0.3
  BaseStatistic b = base_record("H8", 0, 10);
  b.summary.mean = 7.9;
  const RecordCandidate candidate{true, 1, &b, 3, "AoGwGwCw", 8.1};
  AtomCalibration calibration;
  calibration.count = 10;
  calibration.scale = 2;
  calibration.strength = 20;
  const std::vector<MultiplierValues> rows = multiplier_rows();
  const std::map<std::string, size_t> key_counts = {{"AoGwGwCw", 6}};
  const ContextStatistic r =
      context_record(candidate, {&o[0], &o[1], &o[2]}, calibration, spreads, key_counts, rows);
  EXPECT_EQ(r.summary.count, 3u);
  EXPECT_NEAR(r.summary.mean, 8.2, 1e-12);
  EXPECT_EQ(r.rnas, 2u);
  EXPECT_DOUBLE_EQ(r.mean, 8.1);
  EXPECT_NEAR(r.base_offset, 0.2, 1e-12);
  EXPECT_EQ(r.calibration_count, 10);
  EXPECT_NEAR(r.spread, 0.6, 1e-12);
  EXPECT_EQ(r.key_frequency, 6u);
  EXPECT_EQ(r.strength, 20);

  // A tiny spread is raised to the floor with the level-2 multiplier of the
  // count's row; base statistics use the large-count row and their own scale.
  calibration.scale = 0.001;
  const double level2 = rows[multiplier_row_index(10)].factors[1];
  EXPECT_DOUBLE_EQ(context_record(candidate, {}, calibration, spreads, {}, rows).spread,
                   std::ceil(kProtonToleranceFloor / level2 * 1e4) / 1e4);
  calibration.base_scale = 0.5;
  const BaseStatistic c8 = base_record("C8", 0, 200, 3);  // no residuals: its own deviation
  const std::vector<BaseStatistic> calibrated =
      calibrated_base_statistics({b, c8}, {{"H8", calibration}}, spreads, rows);
  EXPECT_NEAR(calibrated[0].summary.sd, 0.5 * 0.3, 1e-12);
  EXPECT_NEAR(calibrated[1].summary.sd, 3, 1e-12);
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
