#include "stats/shift_statistics.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace mirelon {
namespace {

double median_of_sorted(const std::vector<double>& sorted) {
  const size_t n = sorted.size();
  if (n == 0) return 0;
  if (n % 2 == 1) return sorted[n / 2];
  return (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
}

}  // namespace

ShiftSummary summarize(std::vector<double> values) {
  ShiftSummary summary;
  summary.count = values.size();
  if (values.empty()) return summary;
  // Sums in sorted order, so that the same set gives the same bits whatever
  // order the entries were read in.
  std::sort(values.begin(), values.end());
  double sum = 0;
  for (double v : values) sum += v;
  summary.mean = sum / static_cast<double>(values.size());
  if (values.size() > 1) {
    double squares = 0;
    for (double v : values) squares += (v - summary.mean) * (v - summary.mean);
    summary.sd = std::sqrt(squares / static_cast<double>(values.size() - 1));
  }
  summary.minimum = values.front();
  summary.maximum = values.back();
  summary.median = median_of_sorted(values);
  std::vector<double> deviations;
  deviations.reserve(values.size());
  for (double v : values) deviations.push_back(std::fabs(v - summary.median));
  std::sort(deviations.begin(), deviations.end());
  summary.mad = kMadToSd * median_of_sorted(deviations);
  return summary;
}

ShiftLimits outlier_limits(const std::vector<double>& values, double k) {
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  const ShiftSummary summary = summarize(values);
  if (!(k > 0) || summary.mad == 0) return {-kInfinity, kInfinity};
  return {summary.median - k * summary.mad, summary.median + k * summary.mad};
}

}  // namespace mirelon
