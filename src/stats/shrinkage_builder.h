// The shrunk statistics table: means per atom and context by hierarchical
// shrinkage over ever finer contexts, records also for contexts never
// observed, and spreads and interval counts calibrated on cross-validated
// residuals. Same format as the raw table, so mirelon reads it unchanged.
#ifndef MIRELON_STATS_SHRINKAGE_BUILDER_H_
#define MIRELON_STATS_SHRINKAGE_BUILDER_H_

#include <array>
#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "stats/multipliers.h"
#include "stats/shift_statistics.h"
#include "stats/shrunk_means.h"
#include "stats/stats_builder.h"

namespace mirelon {

// Smallest tolerance at prediction level 2 that the table gives: the
// precision to which shifts are measured and referenced between labs.
inline constexpr double kProtonToleranceFloor = 0.02;
inline constexpr double kHeavyToleranceFloor = 0.2;
// The widest tolerance at level 11 the calibration accepts for the main atoms.
inline constexpr double kProtonToleranceCap = 2;
inline constexpr double kHeavyToleranceCap = 20;

// Shifts this many scaled median absolute deviations or more away from the
// median of their base and atom are taken as errors of the data (swapped
// atoms, values of another nucleus): the builder's screen and the
// evaluation's.
inline constexpr double kGrossErrorMads = 10;

// Settings of the shrunk builder, all fixed before any evaluation.
struct ShrinkageSettings {
  double outlier_k = 8;                                // as BuildSettings::outlier_k
  double screen_k = kGrossErrorMads;                   // the screen for errors of the data
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
  long count = 0;         // n written in field 4 (kLargeCount: the large-count row)
  double base_scale = 1;  // the same scale for the base statistics (large-count row)
  size_t residuals = 0;   // cross-validated residuals behind the choice
};

// The shrunk table and what it was built from.
struct ShrunkTable {
  ShrinkageSettings settings;  // those it was built with
  StatisticsTable table;       // context records carry calibrated count and spread
  std::vector<AtomCalibration> calibration;
  size_t candidates = 0;  // (key, atom) candidates ranked for section 1
};

// The main atoms, in the order the reports list them: their records come
// first, the calibration caps their level-11 tolerance, and the evaluation
// requires their predictions to beat the base statistics alone.
inline constexpr std::array<std::string_view, 10> kMainAtoms = {"H1'", "H2'", "H8", "H6", "H5",
                                                                "H2",  "C1'", "C8", "C6", "C5"};
bool is_main_atom(std::string_view atom);

// The settings of the shrunk tables that mirelon-stats builds, with the
// outlier filter of `build`.
ShrinkageSettings shrinkage_settings(const BuildSettings& build);

// Builds the shrunk table from `observations` (training RNAs only) and
// `key_counts` (how often each context key occurs in the structures it may
// learn from), with the multiplier rows `rows` (multiplier_rows()), by the
// stages below in turn.
ShrunkTable build_shrunk_statistics(const std::vector<Observation>& observations,
                                    const std::map<std::string, size_t>& key_counts,
                                    const ShrinkageSettings& settings, const AtomRank& rank,
                                    const std::vector<MultiplierValues>& rows);

// ---- The stages of build_shrunk_statistics, in order.

using BaseAndAtom = std::pair<std::string, std::string>;

// Per base and atom of `observations`, the limits of `k` scaled median
// absolute deviations around the median of all its shifts (outlier_limits):
// the screen within which a shift is taken as real, not as an error of the
// data (a swapped atom, a value of another nucleus).
std::map<BaseAndAtom, ShiftLimits> screen_limits(const std::vector<Observation>& observations,
                                                 double k);

// 1. Screening. Of the `observations` with a key of kContextKeyLength
// characters and a record of their base and atom in `base`: `kept`, those
// inside the record's outlier limits, from which the means are learnt;
// `screened`, those inside screen_limits(observations, screen_k), which
// the cross-validation predicts, so that spreads and calibration see the
// shifts a table will meet. Both lists keep the order of `observations`.
struct ScreenedObservations {
  std::vector<const Observation*> kept;
  std::vector<const Observation*> screened;
};
ScreenedObservations screen_observations(const std::vector<Observation>& observations,
                                         const std::vector<BaseStatistic>& base, double screen_k);

// 2. Choice of strength by the inner cross-validation: per atom name (bases
// pooled), the index of the candidate strength (of `strength_count`) whose
// cross-validated residuals have the least sum of squares, the first of
// equal sums. Only residuals of shifts inside the outlier limits of their
// record in `base` count: outliers would pull the choice. An atom without
// such residuals gets the middle candidate, strength_count / 2.
struct StrengthChoice {
  std::map<std::string, size_t> chosen;
  size_t middle = 0;
  size_t index(const std::string& atom) const;
  // The residual of `r` at the strength chosen for its atom.
  double residual(const Residual& r) const { return r.by_strength[index(r.observation->atom)]; }
};
StrengthChoice choose_strengths(const std::vector<Residual>& residuals,
                                const std::vector<BaseStatistic>& base, size_t strength_count);

// 3. Spreads, from the cross-validated residuals at each atom's chosen
// strength (`choice`). Marks are those of a key's nucleotide before, itself
// and after (positions 3, 5 and 7).
class ResidualSpreads {
 public:
  ResidualSpreads(const std::vector<Residual>& residuals, const StrengthChoice& choice,
                  double pseudo_count);
  // The RMS residual from the base mean of b's base and atom; b's sample
  // standard deviation where there are fewer than two residuals.
  double base_spread(const BaseStatistic& b) const;
  // The spread of b's atom in context `key`: the RMS residual of its base,
  // atom and own mark (base_spread() where fewer than two), the coarse
  // spread c, refined with the n residuals of the same three marks, of sum
  // of squares S, to sqrt((S + k c^2) / (n + k)), k the pseudo-count; c
  // itself where no residual has these marks.
  double context_spread(const BaseStatistic& b, const std::string& key) const;
  // Per atom name: the largest context_spread() over the bases (records of
  // `base`) and the marks that have residuals.
  std::map<std::string, double> widest(const std::vector<BaseStatistic>& base) const;

 private:
  struct SquareSum {
    double sum = 0;
    size_t n = 0;
    void add(double r);
    double rms() const;
  };
  using Group = std::tuple<std::string, std::string, std::string>;  // base, atom, marks
  std::map<Group, SquareSum> by_own_;
  std::map<Group, SquareSum> by_marks_;
  std::map<BaseAndAtom, SquareSum> by_base_;
  double pseudo_count_;
};

// 4. Calibration. The scale and count (one of `counts`) whose intervals
// hold shares of the sorted `ratios` (|residual| / spread) closest to the
// nominal shares of the levels: the least sum of squared differences in
// points, each divided by the square root of the level's nominal share of
// misses (100 - nominal), over the scales 0.3 to 3 in steps of 0.005; the
// first of equal sums. `widest` (the largest spread of a main atom, 0
// otherwise) times the scale and the level-11 multiplier may not pass
// `cap`. No ratios: scale 1 and kLargeCount.
std::pair<double, long> calibrate_intervals(const std::vector<double>& ratios,
                                            const std::vector<MultiplierValues>& rows,
                                            const std::vector<long>& counts, double widest,
                                            double cap);

// Per atom name with a residual of positive context spread: its chosen
// strength (of `strengths`), the scale and count of its context records
// from the ratios |residual| / context_spread() (the counts of the
// calibration, the level-11 tolerance of a main atom capped at
// kProtonToleranceCap or kHeavyToleranceCap), and the scale of its base
// statistics from the ratios |residual from the base mean| / base_spread()
// with the large-count row alone.
std::map<std::string, AtomCalibration> calibrate_atoms(const std::vector<Residual>& residuals,
                                                       const std::vector<BaseStatistic>& base,
                                                       const StrengthChoice& choice,
                                                       const ResidualSpreads& spreads,
                                                       const std::vector<double>& strengths,
                                                       const std::vector<MultiplierValues>& rows);

// 5. Records. A spread is raised where its level-2 tolerance (with the
// level-2 multiplier `level2`) would fall under the floor of `atom`
// (kProtonToleranceFloor for protons, kHeavyToleranceFloor otherwise); the
// table prints spreads with four decimals, so a raised spread is rounded
// up to them.
double floored_spread(double spread, const std::string& atom, double level2);

// The base statistics `raw` with calibrated spreads: the atom's base scale
// times base_spread(), floored with the large-count row.
std::vector<BaseStatistic> calibrated_base_statistics(
    const std::vector<BaseStatistic>& raw,
    const std::map<std::string, AtomCalibration>& calibration, const ResidualSpreads& spreads,
    const std::vector<MultiplierValues>& rows);

// A context record that may be written: an atom of a base in a key.
struct RecordCandidate {
  bool main = false;  // is_main_atom()
  double score = 0;   // how often the key occurs x |shrunk mean - base mean|
  const BaseStatistic* base = nullptr;
  int rank = 0;  // the atom's place in the catalogue
  std::string key;
  double mean = 0;  // the shrunk mean
};

// Every possible context key (possible_context_keys()) with every atom of
// its own base in `base`, with the shrunk mean from `model` at the atom's
// chosen strength (`strength_of`), starting from the model's base mean
// (the record's own mean where the model has none), and its score with the
// key's count in `key_counts` (0 where absent).
std::vector<RecordCandidate> record_candidates(
    const CellModel& model, const std::vector<BaseStatistic>& base,
    const std::map<std::string, size_t>& key_counts,
    const std::function<double(const std::string&)>& strength_of, const AtomRank& rank);

// Keeps the best `max_records` of `candidates` (a positive score before
// none, main atoms first, then the higher score, then the table order) and
// puts them in table order: by base, catalogue rank and key.
void select_candidates(std::vector<RecordCandidate>* candidates, size_t max_records);

// The record of `candidate`: its observations `observed` (kept ones of its
// atom and key) summarised with their distinct RNAs, the shrunk mean and
// its offset from the base record's mean, the atom's calibration count and
// its scale times context_spread(), floored with the count's row, and the
// key's count in `key_counts`.
ContextStatistic context_record(const RecordCandidate& candidate,
                                const std::vector<const Observation*>& observed,
                                const AtomCalibration& calibration, const ResidualSpreads& spreads,
                                const std::map<std::string, size_t>& key_counts,
                                const std::vector<MultiplierValues>& rows);

}  // namespace mirelon

#endif  // MIRELON_STATS_SHRINKAGE_BUILDER_H_
