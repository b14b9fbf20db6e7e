#include "stats/table_header.h"

#include <algorithm>
#include <string_view>

#include "common/files.h"
#include "common/messages.h"
#include "common/nuclei.h"
#include "common/numbers.h"
#include "common/prediction_levels.h"

namespace mirelon {

std::vector<std::string> table_header(const StatsOptions& options, const DataSet& data,
                                      const StatisticsTable& table) {
  std::vector<std::string> header = {"Statistics table for mirelon, written by mirelon-stats."};
  header.emplace_back("Date: " + (options.date.empty() ? std::string("not given") : options.date));
  for (const std::string& note : options.notes) header.push_back(note);
  header.emplace_back();
  header.push_back(
      format_message("Data: %zu entries (%zu distinct RNAs, entries of the same "
                     "sequence counting as one), %zu shifts used.",
                     data.entries.size(), data.rnas, count_shifts(data.entries)));
  for (const LeftOut& left : data.left_out) {
    header.push_back("Left out: " + left.name + " (" + left.why + ")");
  }
  header.emplace_back("Filters: shifts of residues other than A, C, G, U and of atoms outside the");
  header.emplace_back("atom catalogue are not used; the first value of a repeated atom is used.");
  if (options.build.outlier_k > 0) {
    header.push_back(format_message(
        "Outliers: per base and atom, shifts beyond %s scaled median absolute deviations "
        "(MAD x 1.4826)",
        format_g6(options.build.outlier_k).c_str()));
    header.push_back(format_message("from the median are left out: %zu of %zu.", table.removed,
                                    table.observations));
  } else {
    header.emplace_back("Outliers: no filter.");
  }
  if (options.raw) {
    header.push_back(format_message(
        "Context statistics records need at least %ld observations from at least %zu distinct "
        "RNA%s.",
        kMinObservations, options.build.min_rnas, options.build.min_rnas == 1 ? "" : "s"));
  }
  if (!options.base_csv.empty()) {
    header.push_back("Section 2 is taken from the per-atom table " +
                     path_base_name(options.base_csv) + ".");
  }
  return header;
}

std::string strength_list(const ShrinkageSettings& settings) {
  std::string list;
  for (double strength : settings.strengths) {
    list += (list.empty() ? "" : ", ") + format_g6(strength);
  }
  return list;
}

std::string main_atom_list() {
  std::string list;
  for (std::string_view atom : kMainAtoms) {
    if (!list.empty()) list += ' ';
    list += atom;
  }
  return list;
}

std::vector<std::string> shrinkage_header(const ShrunkTable& shrunk, size_t structures) {
  const ShrinkageSettings& settings = shrunk.settings;
  const std::string coarse = format_g6(kCoarseStrengthShare);
  std::vector<std::string> header = {
      "Means: hierarchical shrinkage over contexts. With w the number of distinct RNAs in a",
      "cell and y the mean of their per-RNA means, a cell's mean is (w y + L prior)/(w + L).",
      "Levels, each the prior of the next: own base and mark (prior: base mean, " + coarse + " L);",
      "marks before and after (" + coarse + " L); base and mark before, and base and mark after (L",
      "each); both neighbours (prior: the sum of those two minus the level below, L); the",
      format_message("full key (L). L per atom from %s by %zu-fold cross-validation by RNA.",
                     strength_list(settings).c_str(), settings.folds),
      format_message("Records: the best %zu of %zu candidates: every key a structure can "
                     "produce,",
                     shrunk.table.context.size(), shrunk.candidates),
      "times the atoms of its base, ranked by how often the key occurs in the structures",
      format_message("learnt from (%zu of them without shifts) times the distance of its "
                     "mean from",
                     structures),
      "the base mean, main atoms (" + main_atom_list() + ") first; contexts never",
      "observed included.",
      "Spreads: the cross-validated RMS residual per base, atom and own mark, refined per",
      format_message("marks before and after with %s pseudo-observations, times a scale per atom.",
                     format_g6(settings.spread_pseudo_count).c_str()),
      "FIELD 4 OF SECTION 1 IS A CALIBRATION COUNT, NOT THE NUMBER OF OBSERVATIONS: per atom",
      "the count whose multiplier row, with the scale, brings the coverage of the",
      "cross-validated residuals at levels 1 to 11 closest to nominal (squared differences",
      "in points over sqrt(100 - nominal)); above 121: the large-count row. The observations",
      "of a record are in field 7.",
      format_message("Floors: no tolerance at level 2 under %s ppm for protons, %s ppm for "
                     "other nuclei",
                     format_g6(kProtonToleranceFloor).c_str(),
                     format_g6(kHeavyToleranceFloor).c_str()),
      "(measurement precision). Caps: the calibration keeps level-11 tolerances of main atoms",
      format_message("within %s ppm for protons and %s ppm for carbons.",
                     format_g6(kProtonToleranceCap).c_str(), format_g6(kHeavyToleranceCap).c_str()),
      "Per atom: L, scale a and count n of section 1, scale of section 2:"};
  std::string line;
  for (const AtomCalibration& c : shrunk.calibration) {
    const std::string item =
        format_message("%s L=%s a=%.3f n=%ld b=%.3f", c.atom.c_str(), format_g6(c.strength).c_str(),
                       c.scale, c.count, c.base_scale);
    if (line.size() + item.size() + 2 > 76) {
      header.push_back(line);
      line.clear();
    }
    line += (line.empty() ? "" : "; ") + item;
  }
  if (!line.empty()) header.push_back(line);
  return header;
}

std::string tolerance_summary(const StatisticsTable& table,
                              const std::vector<MultiplierValues>& rows) {
  constexpr double kNone = 1e300;
  double narrow_h = kNone, narrow_heavy = kNone, wide_h = 0, wide_c = 0;
  auto add = [&](const std::string& atom, size_t row, double spread) {
    const double level2 = spread * rows[row].factors[1];
    const double level11 = spread * rows[row].factors[kLevelCount - 1];
    double& narrow = atom_nucleus(atom) == kProton ? narrow_h : narrow_heavy;
    narrow = std::min(narrow, level2);
    if (!is_main_atom(atom)) return;
    if (atom_nucleus(atom) == kProton) wide_h = std::max(wide_h, level11);
    if (atom_nucleus(atom) == kCarbon) wide_c = std::max(wide_c, level11);
  };
  // Spreads as the table prints them.
  auto printed = [](double spread) { return strtod_text(format_f4(spread)); };
  for (const ContextStatistic& r : table.context) {
    const long count = table.shrunk ? r.calibration_count : static_cast<long>(r.summary.count);
    add(r.atom, multiplier_row_index(count), printed(table.shrunk ? r.spread : r.summary.sd));
  }
  for (const BaseStatistic& b : table.base) add(b.atom, kLargeCountRow - 1, printed(b.summary.sd));
  auto narrowest = [&](double value) {
    return value == kNone ? std::string("-") : format_message("%.6f ppm", value);
  };
  return "Tolerances: narrowest at level 2 " + narrowest(narrow_h) + " (protons), " +
         narrowest(narrow_heavy) +
         format_message(
             " (other nuclei); widest at level 11 of the main atoms %.4f ppm "
             "(protons), %.4f ppm (carbons)\n",
             wide_h, wide_c);
}

std::string format_build_report(const StatsOptions& options, const DataSet& data,
                                const StatisticsTable& own_data, const StatisticsTable& written) {
  const StatisticsTable& table = own_data;
  std::string report =
      format_message("Entries used: %zu (%zu distinct RNAs); shifts read: %zu, used: %zu\n",
                     data.entries.size(), data.rnas, data.shifts_read, count_shifts(data.entries));
  report += format_message(
      "Entries left out (unreadable structure or shifts, or the sequence "
      "disagrees): %zu\n",
      data.left_out.size());
  for (const LeftOut& left : data.left_out) {
    report += format_message("  %s: %s\n", left.name.c_str(), left.reason.c_str());
  }
  size_t other_residues = 0, other_atoms = 0;
  for (const auto& [name, n] : data.counts.other_residues) other_residues += n;
  for (const auto& [name, n] : data.counts.other_atoms) other_atoms += n;
  report +=
      format_message("Shifts of residues other than A, C, G, U ignored: %zu\n", other_residues);
  for (const auto& [name, n] : data.counts.other_residues) {
    report += format_message("  %-6s %zu\n", name.c_str(), n);
  }
  report +=
      format_message("Shifts of atoms outside the atom catalogue ignored: %zu\n", other_atoms);
  for (const auto& [name, n] : data.counts.other_atoms) {
    report += format_message("  %-8s %zu\n", name.c_str(), n);
  }
  report += format_message("Shifts of chains without an offset ignored: %zu\n",
                           data.counts.unmapped_chains);
  report += format_message(
      "Repeated shifts of one atom ignored (first value kept): %zu, of which %zu differ\n",
      data.counts.repeated, data.counts.repeated_differing);
  report +=
      format_message("Outlier filter (%s): %zu of %zu shifts left out\n",
                     settings_label(options.build).c_str(), table.removed, table.observations);
  for (const BaseStatistic& b : table.base) {
    if (b.removed == 0 || !b.has_median) continue;
    report += format_message("  %s %-5s %4zu left out, kept %.4f to %.4f\n", b.base.c_str(),
                             b.atom.c_str(), b.removed, b.limits.low, b.limits.high);
  }
  report += format_message("Records written to %s: %zu context statistics%s, %zu base statistics\n",
                           options.table_file.c_str(), written.context.size(),
                           written.shrunk ? " (shrunk)" : "", written.base.size());
  return report;
}

}  // namespace mirelon
