// The figure of the accuracy report of a statistics table, as SVG.
#ifndef MIRELON_STATS_ACCURACY_FIGURE_H_
#define MIRELON_STATS_ACCURACY_FIGURE_H_

#include <string>

#include "stats/accuracy_report.h"

namespace mirelon {

// The figure as a standalone SVG document: coverage against nominal for both
// tables, and the RMSE per atom of both tables (hydrogens, then heavy atoms).
std::string format_accuracy_svg(const AccuracyReport& report);

}  // namespace mirelon

#endif  // MIRELON_STATS_ACCURACY_FIGURE_H_
