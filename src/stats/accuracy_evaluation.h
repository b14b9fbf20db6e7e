// Leave-one-RNA-out evaluation of statistics tables: for every RNA, a table
// built from all other RNAs predicts its shifts with mirelon's own prediction
// code, and the predictions are compared with the observed shifts.
#ifndef MIRELON_ACCURACY_EVALUATION_H_
#define MIRELON_ACCURACY_EVALUATION_H_

#include <cstddef>
#include <string>
#include <vector>

#include "stats/accuracy_report.h"
#include "stats/shrinkage_builder.h"
#include "stats/stats_builder.h"
#include "stats/stats_entries.h"

namespace mirelon {

struct EvaluationSettings {
  BuildSettings build;  // filters of the tables built
  // Base statistics to use instead of those of the training RNAs, or null.
  const std::vector<BaseStatistic>* base_statistics = nullptr;
  bool with_baseline = true;  // also evaluate the table without context statistics
  // The shrunk table (learnt inside each fold from its training RNAs alone,
  // strengths and calibration included) instead of the raw one; then
  // `with_raw` also evaluates the raw table of `build` side by side.
  bool shrunk = false;
  bool with_raw = false;
  const std::vector<StatsEntry>* structures = nullptr;  // structure-only entries, or null
  size_t held_out_limit = 0;                            // hold out only the first N RNAs; 0: all
};

struct Evaluation {
  ModelAccuracy context;    // the table as built
  ModelAccuracy baseline;   // the raw table with an empty section 1
  ModelAccuracy raw;        // the raw table, with `with_raw`
  size_t gross_errors = 0;  // held-out shifts left out as errors of the data
  size_t rnas = 0;          // RNAs held out in turn
};

// Evaluates tables built from `entries` (their observations numbered by
// number_rnas()) with `settings`, holding out each of the `rna_count` RNAs in
// turn. Per atom name (bases pooled, hydrogens first, then carbon, nitrogen,
// phosphorus) and over all atoms. Held-out shifts outside the screen of
// kGrossErrorMads (screen_limits()) of the training RNAs are errors of the
// data and not compared, whatever filter the table itself uses. Returns
// false with the message in `error` when a table cannot be read back or the
// prediction fails.
bool evaluate_leave_one_rna_out(const std::vector<StatsEntry>& entries, size_t rna_count,
                                const EvaluationSettings& settings, Evaluation* evaluation,
                                std::string* error);

}  // namespace mirelon

#endif  // MIRELON_ACCURACY_EVALUATION_H_
