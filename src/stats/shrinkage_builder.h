// The shrunk statistics table: means per atom and context by hierarchical
// shrinkage over ever finer contexts, records also for contexts never
// observed, and spreads and interval counts calibrated on cross-validated
// residuals. Same format as the raw table, so mirelon reads it unchanged.
#ifndef MIRELON_STATS_SHRINKAGE_BUILDER_H_
#define MIRELON_STATS_SHRINKAGE_BUILDER_H_

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "stats/multipliers.h"
#include "stats/stats_builder.h"

namespace mirelon {

// Smallest tolerance at prediction level 2 that the table gives: the
// precision to which shifts are measured and referenced between labs.
inline constexpr double kProtonToleranceFloor = 0.02;
inline constexpr double kHeavyToleranceFloor = 0.2;
// The widest tolerance at level 11 the calibration accepts for the main atoms.
inline constexpr double kProtonToleranceCap = 2;
inline constexpr double kHeavyToleranceCap = 20;

// Settings of the shrunk builder, all fixed before any evaluation.
struct ShrinkageSettings {
  double outlier_k = 8;  // as BuildSettings::outlier_k
  double screen_k = 10;  // shifts beyond this many scaled MADs count as errors of the data
  std::vector<double> strengths = {2, 5, 10, 20, 40};  // candidates for L, per atom
  size_t folds = 5;                                    // inner cross-validation, by RNA
  double spread_pseudo_count = 20;                     // shrinkage of the refined spreads
  size_t max_records = 20000;                          // section 1 records written at most
};

// What the builder chose for one atom name (all bases pooled).
struct AtomCalibration {
  std::string atom;
  double strength = 0;    // L
  double scale = 1;       // a: spread = a x cross-validated RMS residual
  long count = 0;         // n written in field 4 (122: the large-count row)
  double base_scale = 1;  // the same scale for the base statistics (large-count row)
  size_t residuals = 0;   // cross-validated residuals behind the choice
};

// The shrunk table and what it was built from.
struct ShrunkTable {
  StatisticsTable table;  // context records carry calibrated count and spread
  std::vector<AtomCalibration> calibration;
  size_t candidates = 0;  // (key, atom) candidates ranked for section 1
};

// The atoms whose records come first and whose level-11 tolerance is capped.
bool is_main_atom(const std::string& atom);

// Builds the shrunk table from `observations` (training RNAs only) and
// `key_counts` (how often each context key occurs in the structures it may
// learn from), with the multiplier rows `rows` (multiplier_rows()).
ShrunkTable build_shrunk_statistics(const std::vector<Observation>& observations,
                                    const std::map<std::string, size_t>& key_counts,
                                    const ShrinkageSettings& settings, const AtomRank& rank,
                                    const std::vector<MultiplierValues>& rows);

}  // namespace mirelon

#endif  // MIRELON_STATS_SHRINKAGE_BUILDER_H_
