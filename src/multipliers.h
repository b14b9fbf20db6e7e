// The interval multipliers of the statistics table (its third section): the
// factor by which a spread is multiplied to give the half-width of the
// interval that holds a new shift with the probability of a prediction level.
#ifndef MIRELON_MULTIPLIERS_H_
#define MIRELON_MULTIPLIERS_H_

#include <array>
#include <string>
#include <vector>

namespace mirelon {

// Coverage p of prediction levels 1 to 11: the share of resonances that the
// interval is to hold (50 % up to 99.9 %, as the help text lists them).
inline constexpr std::array<double, 11> kLevelCoverages = {0.50, 0.60, 0.70,  0.80,  0.90, 0.95,
                                                           0.98, 0.99, 0.995, 0.998, 0.999};

// The smallest and the largest observation count with a row of its own;
// the large-count row follows them.
inline constexpr long kFirstRowCount = 2;
inline constexpr long kLastRowCount = 121;

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
  std::array<double, kLevelCoverages.size()> factors;
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
