// The texts mirelon-check writes: the table of observed atoms, the summary
// on standard output and the self-contained HTML report.
#ifndef MIRELON_CHECK_CHECK_REPORT_H_
#define MIRELON_CHECK_CHECK_REPORT_H_

#include <string>
#include <string_view>
#include <vector>

#include "check/assignment_check.h"
#include "check/predicted_peaks.h"
#include "check/structure_ranking.h"
#include "check/svg_pictures.h"

namespace mirelon {

// One experiment's outputs.
struct ExperimentOutput {
  const Experiment* experiment = nullptr;
  std::vector<PredictedPeak> peaks;
  SpectrumPicture picture;
  std::string svg_file;
  std::string list_file;
};

// Everything the report shows. `check` and `ranking` are null without
// observed shifts (and without several structures for the ranking).
struct CheckReport {
  PictureLegend legend;  // structure shown, table, level
  const PredictionIndex* index = nullptr;
  std::vector<ExperimentOutput> experiments;
  const AssignmentCheck* check = nullptr;
  std::string shift_file;
  std::string residue_svg;
  std::string residue_svg_file;
  const StructureRanking* ranking = nullptr;
  std::vector<std::string> structure_names;  // of every structure ranked, in input order
};

// z beyond this magnitude is printed with three significant digits.
inline constexpr double kMaxFixedZ = 999;

// z as the table, the report and the summary print it: with `decimals`
// decimals ("%.2f", "%+.1f" with `sign`) while its magnitude is at most
// kMaxFixedZ, else as "%.3g" ("%+.3g"), so that a shift far off its
// prediction (1e300 ppm) does not print as hundreds of digits.
std::string format_z(double z, int decimals, bool sign);

// The observed peaks of `peaks`: those whose two atoms are both in `check`.
std::vector<ObservedPeak> observed_peaks(const AssignmentCheck& check,
                                         const std::vector<PredictedPeak>& peaks);

// The tab-separated table of observed atoms: a header line, then per atom
// residue, base, atom, observed, predicted, tolerance, z and flags
// ("outlier", "swap", "offset removed", comma-separated; "-" for none).
std::string format_check_table(const PredictionIndex& index, const AssignmentCheck& check);

// The lines a user reads first: what was compared, RMSE per atom type,
// referencing offsets, outliers and swap candidates; the ranking first when
// there is one.
std::string format_summary(const CheckReport& report);

// The ranking, best first, one structure a line with its difference to the
// best, then the residues that discriminate most.
std::string format_ranking(const CheckReport& report);

// The report as one HTML page: the pictures inline as SVG, each spectrum
// with the script that zooms and pans it, tables below; it loads nothing.
std::string format_html_report(const CheckReport& report);

// The picture `svg` as it goes inline into the report: without its XML
// declaration, `attributes` added to its svg element, and every id it
// defines, with the references to it (url(#ID), href="#ID"), prefixed by
// `id_prefix`, so that ids stay unique among the pictures of one page.
// References to ids it does not define (the report's rows) stay as they are.
std::string inline_svg(std::string_view svg, std::string_view id_prefix,
                       std::string_view attributes);

}  // namespace mirelon

#endif  // MIRELON_CHECK_CHECK_REPORT_H_
