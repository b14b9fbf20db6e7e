// Descriptive statistics of a set of observed shifts and the robust outlier
// limits of the statistics builder.
#ifndef MIRELON_SHIFT_STATISTICS_H_
#define MIRELON_SHIFT_STATISTICS_H_

#include <cstddef>
#include <vector>

namespace mirelon {

// Factor that turns a median absolute deviation into an estimate of the
// standard deviation of a normal sample: 1 / z(0.75).
inline constexpr double kMadToSd = 1.482602218505602;

struct ShiftSummary {
  size_t count = 0;
  double mean = 0;
  double sd = 0;  // sample standard deviation (divisor count - 1); 0 below two values
  double minimum = 0;
  double maximum = 0;
  double median = 0;  // the middle value, or the mean of the two middle values
  double mad = 0;     // median absolute deviation from the median, times kMadToSd
};

// Summarises `values` (any order). All fields are 0 for an empty set.
ShiftSummary summarize(std::vector<double> values);

// The closed interval of shifts kept by the outlier filter.
struct ShiftLimits {
  double low;
  double high;
  bool contains(double value) const { return value >= low && value <= high; }
};

// Limits of `k` scaled median absolute deviations around the median of
// `values`: [median - k * mad, median + k * mad]. Unbounded when `k` is not
// positive (no filter) or when the scaled deviation is 0 (no scale to judge
// by: most values are equal).
ShiftLimits outlier_limits(const std::vector<double>& values, double k);

}  // namespace mirelon

#endif  // MIRELON_SHIFT_STATISTICS_H_
