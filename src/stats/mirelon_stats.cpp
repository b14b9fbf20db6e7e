// mirelon-stats: builds the statistics table that mirelon reads from
// structures and assigned chemical shifts, and measures how well the table
// predicts shifts of RNAs it has not seen. Every message goes to standard
// error; the build report goes to standard output.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/files.h"
#include "stats/accuracy_figure.h"
#include "stats/accuracy_report.h"
#include "stats/multipliers.h"
#include "stats/shrinkage_builder.h"
#include "stats/stats_data_set.h"
#include "stats/stats_entries.h"
#include "stats/stats_evaluation.h"
#include "stats/stats_options.h"
#include "stats/table_header.h"
#include "tool/tool_fail.h"

namespace mirelon {
namespace {

// Ends the run with a message of the data set or the evaluation.
[[noreturn]] void fail_with(const std::string& error) {
  fail("mirelon-stats: %s\n", error.c_str());
}

void write_file(const std::string& name, const std::string& content) {
  std::string error;
  if (!write_output_file(name.c_str(), content, &error)) fail("%s", error.c_str());
}

int run(int argc, char** argv) {
  StatsOptions options;
  std::string error;
  switch (parse_stats_options(argc, argv, &options, &error)) {
    case StatsCommand::kHelp:
      std::fputs(stats_help_text().c_str(), stdout);
      return 0;
    case StatsCommand::kError:
      fail("%s", error.c_str());
    case StatsCommand::kBuild:
      break;
  }
  DataSet data;
  if (!read_data_set(options, &data, &error)) fail_with(error);
  for (const std::string& warning : data.warnings) std::fputs(warning.c_str(), stderr);
  if (data.entries.empty()) {
    fail_with("no entry left to build a table from" + no_entry_reason(data, options.manifest));
  }

  std::vector<BaseStatistic> csv_base;
  if (!options.base_csv.empty() && !read_base_csv(options.base_csv, &csv_base, &error)) {
    fail_with(error);
  }
  const std::vector<Observation> observations = collect_observations(data.entries, data.rnas);
  const std::vector<MultiplierValues> rows = multiplier_rows();
  const StatisticsTable own_data = build_statistics(observations, options.build, catalogue_rank);
  StatisticsTable table = own_data;
  std::vector<std::string> header = table_header(options, data, own_data);
  if (!options.raw) {
    // data.rnas is no RNA's number: every structure counts.
    const ShrunkTable shrunk = build_shrunk_statistics(
        observations, count_context_keys(data.entries, data.structures, data.rnas),
        shrinkage_settings(options.build), catalogue_rank, rows);
    table = shrunk.table;
    const std::vector<std::string> more = shrinkage_header(shrunk, data.structures.size());
    header.insert(header.end(), more.begin(), more.end());
  }
  if (!options.base_csv.empty()) table.base = csv_base;
  write_file(options.table_file,
             format_statistics_table(table, header, format_multiplier_section()));
  std::string report = format_build_report(options, data, own_data, table);
  report += tolerance_summary(table, rows);
  std::fputs(report.c_str(), stdout);
  if (!options.report.empty()) {
    AccuracyReport accuracy;
    if (!evaluate_table_settings(options, data, options.base_csv.empty() ? nullptr : &csv_base,
                                 &accuracy, &error)) {
      fail_with(error);
    }
    write_file(options.report + ".md", format_accuracy_markdown(accuracy));
    write_file(options.report + ".svg", format_accuracy_svg(accuracy));
    std::printf("Evaluation written to %s.md and %s.svg\n", options.report.c_str(),
                options.report.c_str());
  }
  return 0;
}

}  // namespace
}  // namespace mirelon

int main(int argc, char** argv) { return mirelon::run(argc, argv); }
