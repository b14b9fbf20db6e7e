// The command line of mirelon-stats.
#ifndef MIRELON_STATS_STATS_OPTIONS_H_
#define MIRELON_STATS_STATS_OPTIONS_H_

#include <cstddef>
#include <string>
#include <vector>

#include "stats/stats_builder.h"

namespace mirelon {

inline constexpr const char* kDefaultStatsTable = "statfile.tab";
// The filters of the shipped table, chosen for the raw table by a comparison
// of settings (mirelon-stats -R -e ... -t 4,5,6,8,10,12,0,8:1,8:3): the best
// calibrated coverage among the filters that keep the RMSE low. The shrunk
// table uses the same outlier filter.
inline constexpr double kDefaultOutlierK = 8;
inline constexpr size_t kDefaultMinRnas = 2;

// What the command line asks for.
struct StatsOptions {
  std::string table_file = kDefaultStatsTable;
  BuildSettings build{kDefaultOutlierK, kDefaultMinRnas};
  bool upper_case = false;
  std::string base_csv;
  std::string compare_csv;
  std::string date;
  std::vector<std::string> notes;
  std::string report;
  std::vector<BuildSettings> trials;  // raw settings also evaluated (-t)
  bool raw = false;                   // -R: the raw table instead of the shrunk one
  size_t held_out_limit = 0;          // -y: hold out only this many RNAs; 0: all
  std::string manifest;
};

enum class StatsCommand { kBuild, kHelp, kError };

// Reads the options of `argv` with getopt (GNU argument permutation).
// Returns kHelp for -h, kError with the message (ended by a line feed) in
// `error` for an option getopt refuses (the shared option-error wording), a
// bad -k, -r or -t value, or not exactly one manifest; kBuild otherwise.
StatsCommand parse_stats_options(int argc, char** argv, StatsOptions* options, std::string* error);

// The help text.
std::string stats_help_text();

// "k = K, r = R" (or "no filter, r = R") for the settings in reports.
std::string settings_label(const BuildSettings& settings);

}  // namespace mirelon

#endif  // MIRELON_STATS_STATS_OPTIONS_H_
