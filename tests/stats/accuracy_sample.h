// A small accuracy report with atom names that need escaping, for the tests
// of the report and of its figure.
#ifndef MIRELON_TESTS_ACCURACY_SAMPLE_H_
#define MIRELON_TESTS_ACCURACY_SAMPLE_H_

#include <string>

#include "stats/accuracy_report.h"

namespace mirelon {

inline AtomAccuracy sample_atom(const std::string& name, size_t predicted, double squared_error,
                                size_t inside_each_level) {
  AtomAccuracy a;
  a.atom = name;
  a.observed = predicted + 1;
  a.predicted = predicted;
  a.from_context = predicted / 2;
  a.squared_error = squared_error;
  a.inside.fill(inside_each_level);
  return a;
}

inline AccuracyReport sample_report() {
  AccuracyReport report;
  report.title = "Accuracy";
  report.description = {"Some words."};
  report.nominal = {50, 60, 70, 80, 90, 95, 98, 99, 99.5, 99.8, 99.9};
  report.context.atoms = {sample_atom("H1'", 100, 1.0, 94), sample_atom("H5\"", 50, 2.0, 45),
                          sample_atom("C1'", 10, 10.0, 9)};
  report.baseline.atoms = {sample_atom("H1'", 100, 4.0, 96), sample_atom("H5\"", 50, 1.0, 50),
                           sample_atom("C1'", 10, 40.0, 10)};
  for (const AtomAccuracy& a : report.context.atoms) report.context.total.add(a);
  for (const AtomAccuracy& a : report.baseline.atoms) report.baseline.total.add(a);
  report.target_atoms = {"H1'", "H5\"", "P"};
  return report;
}

}  // namespace mirelon

#endif  // MIRELON_TESTS_ACCURACY_SAMPLE_H_
