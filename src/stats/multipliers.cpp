#include "stats/multipliers.h"

#include <boost/math/distributions/normal.hpp>
#include <boost/math/distributions/students_t.hpp>
#include <cmath>
#include <cstdio>

#include "common/numbers.h"

namespace mirelon {

namespace {

constexpr size_t kLabelWidth = 6;

std::string format_factor(double factor) {
  char text[64];
  std::snprintf(text, sizeof text, "%11.6f", factor);
  return text;
}

}  // namespace

double prediction_factor(long count, double coverage) {
  const boost::math::students_t t(static_cast<double>(count - 1));
  const double n = static_cast<double>(count);
  return boost::math::quantile(t, (1.0 + coverage) / 2.0) * std::sqrt(1.0 + 1.0 / n);
}

double large_count_factor(double coverage) {
  const boost::math::normal z;
  return boost::math::quantile(z, (1.0 + coverage) / 2.0);
}

std::vector<MultiplierValues> multiplier_rows() {
  std::vector<MultiplierValues> rows;
  for (long count = kMinObservations; count <= kMaxCountedObservations; ++count) {
    MultiplierValues& row = rows.emplace_back();
    row.label = "n=" + decimal(count);
    for (size_t l = 0; l < kLevelCoverages.size(); ++l) {
      row.factors[l] = prediction_factor(count, kLevelCoverages[l]);
    }
  }
  MultiplierValues& large = rows.emplace_back();
  large.label = "n>" + decimal(kMaxCountedObservations);
  for (size_t l = 0; l < kLevelCoverages.size(); ++l) {
    large.factors[l] = large_count_factor(kLevelCoverages[l]);
  }
  return rows;
}

std::string format_multiplier_section() {
  std::string text =
      "# Section 3: interval multipliers, written by mirelon-multipliers.\n"
      "# Row n=N (N = 2 to 121) serves context statistics of N observations. Its factors\n"
      "# are t((1+p)/2, N-1) * sqrt(1 + 1/N): the half-width, in sample standard\n"
      "# deviations, of the interval that holds one new shift from a normal sample of N\n"
      "# with probability p (t: quantile of Student's t distribution, Boost.Math).\n"
      "# Row n>121 serves larger counts and the base statistics: the normal quantile\n"
      "# z((1+p)/2). Columns: prediction levels 1 to 11, with p as below.\n"
      "#     ";
  for (double coverage : kLevelCoverages) {
    char heading[32];
    std::snprintf(heading, sizeof heading, "%g%%", coverage * 100.0);
    text += pad_left(heading, 11);
  }
  text += '\n';
  for (const MultiplierValues& row : multiplier_rows()) {
    text += pad_right(row.label, kLabelWidth);
    for (double factor : row.factors) text += format_factor(factor);
    text += '\n';
  }
  text += ": end of the interval multipliers\n";
  return text;
}

}  // namespace mirelon
