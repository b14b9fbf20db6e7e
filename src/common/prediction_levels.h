// The prediction levels and the multiplier rows of the statistics table:
// the one home of the numbers that the prediction, the table writer and the
// accuracy evaluation must agree on.
#ifndef MIRELON_COMMON_PREDICTION_LEVELS_H_
#define MIRELON_COMMON_PREDICTION_LEVELS_H_

#include <array>
#include <cstddef>

namespace mirelon {

// Prediction levels 1 to 11, as option -c takes them.
inline constexpr long kMinLevel = 1;
inline constexpr long kMaxLevel = 11;
inline constexpr size_t kLevelCount = static_cast<size_t>(kMaxLevel - kMinLevel + 1);

// Coverage p of each level: the share of resonances that the interval is to
// hold (50 % up to 99.9 %, as the help text lists them); level L is at
// position L - 1.
inline constexpr std::array<double, kLevelCount> kLevelCoverages = {
    0.50, 0.60, 0.70, 0.80, 0.90, 0.95, 0.98, 0.99, 0.995, 0.998, 0.999};

// The standard normal quantile z((1 + p) / 2) of each level's coverage p:
// the half-width of the level's interval in standard deviations. A
// tolerance at level L divided by it is the spread of a prediction, the same
// for records of any observation count.
inline constexpr std::array<double, kLevelCount> kLevelNormalQuantiles = {
    0.674489750196, 0.841621233573, 1.036433389494, 1.281551565545, 1.644853626951, 1.959963984540,
    2.326347874041, 2.575829303549, 2.807033768344, 3.090232306168, 3.290526731492};

// Context statistics records need at least this many observations; counts
// from here up to kMaxCountedObservations have a multiplier row of their own
// (count n uses row n - 1, counting rows from 1).
inline constexpr long kMinObservations = 2;
inline constexpr long kMaxCountedObservations = 121;

// Rows of the multiplier section: one per counted observation count, then
// the large-count row for larger counts and for base statistics.
inline constexpr size_t kMultiplierRowCount =
    static_cast<size_t>(kMaxCountedObservations - kMinObservations + 1) + 1;
// The large-count row, counting rows from 1.
inline constexpr size_t kLargeCountRow = kMultiplierRowCount;
// The count a record written by the statistics builder carries to select
// the large-count row: the first count above the counted ones.
inline constexpr long kLargeCount = kMaxCountedObservations + 1;

// The rule from an observation count to its multiplier row, as an index
// from 0: count n from kMinObservations to kMaxCountedObservations uses row
// n - 1 (counting rows from 1), larger counts the large-count row.
// REQUIRES: count >= kMinObservations.
constexpr size_t multiplier_row_index(long count) {
  return count > kMaxCountedObservations ? kLargeCountRow - 1
                                         : static_cast<size_t>(count - kMinObservations);
}

static_assert(kLevelCount == 11, "the help text and the table format list 11 levels");
static_assert(kLargeCountRow == static_cast<size_t>(kMaxCountedObservations),
              "count n uses row n - 1, so the row after the last counted one is row 121");
static_assert(kMinObservations >= 2, "a spread needs two observations");
static_assert(multiplier_row_index(kMinObservations) == 0 &&
                  multiplier_row_index(kMaxCountedObservations) == kLargeCountRow - 2 &&
                  multiplier_row_index(kLargeCount) == kLargeCountRow - 1,
              "the first count uses the first row, the last counted one the row before the "
              "large-count row");

}  // namespace mirelon

#endif  // MIRELON_COMMON_PREDICTION_LEVELS_H_
