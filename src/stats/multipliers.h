// The interval multipliers of the statistics table (its third section): the
// factor by which a spread is multiplied to give the half-width of the
// interval that holds a new shift with the probability of a prediction level.
#ifndef MIRELON_MULTIPLIERS_H_
#define MIRELON_MULTIPLIERS_H_

#include <array>
#include <string>
#include <vector>

#include "common/prediction_levels.h"

namespace mirelon {

// Prediction-interval factor for one new observation from a normal sample
// of `count` observations, in units of the sample standard deviation:
// t(q, count - 1) * sqrt(1 + 1/count) with q = (1 + coverage) / 2 and t the
// quantile of Student's t distribution. REQUIRES: count >= 2, 0 < coverage < 1.
double prediction_factor(long count, double coverage);

// The factor when mean and spread are as good as known: the quantile z(q) of
// the standard normal distribution, q = (1 + coverage) / 2.
double large_count_factor(double coverage);

// One multiplier row: its label and the factors of levels 1 to 11.
struct MultiplierValues {
  std::string label;
  std::array<double, kLevelCount> factors;
};

// The 121 rows in file order: counts 2 to 121 (labels "n=2" to "n=121"),
// then the large-count row (label "n>121").
std::vector<MultiplierValues> multiplier_rows();

// Section 3 of a statistics table, closed by its terminator line: a comment
// header that says how the numbers were made, then one line per row of
// multiplier_rows(): the label left-aligned in 6 characters, then each factor
// as printf "%11.6f" (six decimals, so at least six significant digits, as
// every factor is above 0.6).
std::string format_multiplier_section();

}  // namespace mirelon

#endif  // MIRELON_MULTIPLIERS_H_
