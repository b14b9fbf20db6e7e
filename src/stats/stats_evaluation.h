// The leave-one-RNA-out evaluation that mirelon-stats -e reports: the
// table's own settings against base statistics alone, the other settings of
// -t and, with -b or -c, the other source of base statistics.
#ifndef MIRELON_STATS_STATS_EVALUATION_H_
#define MIRELON_STATS_STATS_EVALUATION_H_

#include <string>
#include <vector>

#include "stats/accuracy_report.h"
#include "stats/stats_data_set.h"
#include "stats/stats_options.h"

namespace mirelon {

// Evaluates the settings of `options` on `data` and fills `report`.
// `base_statistics` is the per-atom table of -b, or null when the table's
// base statistics come from the data. Returns false with the message in
// `error` when an evaluation or the table of -c cannot be read.
bool evaluate_table_settings(const StatsOptions& options, const DataSet& data,
                             const std::vector<BaseStatistic>* base_statistics,
                             AccuracyReport* result, std::string* error);

}  // namespace mirelon

#endif  // MIRELON_STATS_STATS_EVALUATION_H_
