#include "stats/table_header.h"

#include "common/messages.h"
#include "common/numbers.h"
#include "common/prediction_levels.h"

namespace mirelon {

std::string base_name(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

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
  header.push_back(format_message(
      "Context statistics records need at least %ld observations from at least %zu distinct RNA%s.",
      kMinObservations, options.build.min_rnas, options.build.min_rnas == 1 ? "" : "s"));
  if (!options.base_csv.empty()) {
    header.push_back("Section 2 is taken from the per-atom table " + base_name(options.base_csv) +
                     ".");
  }
  return header;
}

std::string format_build_report(const StatsOptions& options, const DataSet& data,
                                const StatisticsTable& table) {
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
  report += format_message("Records written to %s: %zu context statistics, %zu base statistics\n",
                           options.table_file.c_str(), table.context.size(), table.base.size());
  return report;
}

}  // namespace mirelon
