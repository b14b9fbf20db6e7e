// What mirelon-stats says about the table it built: the comment lines of the
// table's header and the build report on standard output.
#ifndef MIRELON_STATS_TABLE_HEADER_H_
#define MIRELON_STATS_TABLE_HEADER_H_

#include <string>
#include <vector>

#include "stats/shrinkage_builder.h"
#include "stats/stats_builder.h"
#include "stats/stats_data_set.h"
#include "stats/stats_options.h"

namespace mirelon {

// The header lines of the table: its origin, date and notes, the data used
// and left out, the filters and the record requirements.
std::vector<std::string> table_header(const StatsOptions& options, const DataSet& data,
                                      const StatisticsTable& table);

// The candidate strengths of `settings` as the header and the evaluation
// list them: "2, 5, 10".
std::string strength_list(const ShrinkageSettings& settings);

// kMainAtoms separated by blanks.
std::string main_atom_list();

// The header lines that say how a shrunk table was made: means, records,
// spreads, the calibration count in field 4, floors and caps, and the
// choices per atom.
std::vector<std::string> shrinkage_header(const ShrunkTable& shrunk, size_t structures);

// The narrowest tolerances at level 2 (protons; carbons, nitrogens and
// phosphorus) and the widest at level 11 of the main atoms (protons;
// carbons) that `table` gives with the multiplier rows `rows`, one line.
std::string tolerance_summary(const StatisticsTable& table,
                              const std::vector<MultiplierValues>& rows);

// The build report: entries and shifts used and left out, shifts ignored by
// kind, the outlier filter per base and atom (from `own_data`, the raw
// statistics of the data), and the records of `written`, the table written.
std::string format_build_report(const StatsOptions& options, const DataSet& data,
                                const StatisticsTable& own_data, const StatisticsTable& written);

}  // namespace mirelon

#endif  // MIRELON_STATS_TABLE_HEADER_H_
