#include "stats/stats_evaluation.h"

#include <utility>

#include "common/files.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "common/prediction_levels.h"
#include "stats/accuracy_evaluation.h"
#include "stats/table_header.h"

namespace mirelon {

namespace {

// The paragraphs that say what was evaluated and how: the held-out RNAs and
// the settings of `options`, the method of the shrunk or raw table, and the
// screen for errors of the data (`gross_errors` of `shifts` shifts).
std::vector<std::string> evaluation_description(const StatsOptions& options, const DataSet& data,
                                                bool with_base_csv, size_t held_out_rnas,
                                                size_t gross_errors, size_t shifts) {
  std::vector<std::string> description;
  const std::string held_out =
      held_out_rnas < data.rnas
          ? format_message("each of the first %zu of the %zu RNAs", held_out_rnas, data.rnas)
          : format_message("each of the %zu RNAs", data.rnas);
  description.push_back(format_message(
      "Leave-one-RNA-out evaluation: %s of the data set (%zu entries; entries of the same "
      "sequence count as one RNA) is held out in turn; a table built from all other RNAs "
      "with the same settings (%s%s) predicts its shifts with the prediction code of mirelon, "
      "at every level 1 to 11, and the predictions, as \"kesta.prot\" prints them, are "
      "compared with the observed shifts.",
      held_out.c_str(), data.entries.size(), settings_label(options.build).c_str(),
      with_base_csv ? ", base statistics from the per-atom table" : ""));
  if (!options.raw) {
    const ShrinkageSettings shrinkage = shrinkage_settings(options.build);
    description.push_back(format_message(
        "The table is the shrunk one (the default of mirelon-stats). Everything it learns "
        "from data is learnt inside each fold from that fold's training RNAs alone: base "
        "statistics and outlier limits, the per-RNA cell means, the shrinkage strength L of "
        "each atom (chosen from %s by a %zu-fold cross-validation by RNA inside "
        "the training RNAs), the cross-validated spreads and the calibration of scale and "
        "count, and how often each context key occurs (the training structures and the %zu "
        "structure-only entries, less those of the held-out RNA's sequence). The settings "
        "themselves (candidate strengths, %zu inner folds, %s pseudo-observations for the "
        "spreads, tolerance floors and caps, %zu records) are the same in every fold and "
        "were fixed before the evaluation, with one exception: the weighting of the levels "
        "in the calibration (squared differences over sqrt(100 - nominal) rather than "
        "unweighted) was chosen after an earlier run of this evaluation had shown coverage "
        "1.2 to 2.2 points under nominal at levels 6 to 9, so the coverage below flatters the "
        "table a little. Raw: the table of raw statistics (mirelon-stats -R) of the same "
        "fold, the table shipped before.",
        strength_list(shrinkage).c_str(), shrinkage.folds, data.structures.size(), shrinkage.folds,
        format_g6(shrinkage.spread_pseudo_count).c_str(), shrinkage.max_records));
    description.emplace_back(
        "With context: the shrunk table as built. Base only: the raw table with an empty "
        "first section, so that every shift comes from the base statistics with their sample "
        "standard deviation. RMSE: root mean square difference between observed shift and "
        "predicted mean. Coverage: share of observed shifts inside predicted mean plus or "
        "minus tolerance.");
  } else {
    description.emplace_back(
        "With context: the table as built. Base only: the same table with an empty first "
        "section, so that every shift comes from the base statistics. RMSE: root mean square "
        "difference between observed shift and predicted mean. Coverage: share of observed "
        "shifts inside predicted mean plus or minus tolerance.");
  }
  description.push_back(format_message(
      "Held-out shifts %g or more scaled median absolute deviations away from the median of "
      "their base and atom in the training RNAs are taken as errors of the data (swapped "
      "atoms, values of another nucleus) and not compared: %zu of %zu.",
      kGrossErrorMads, gross_errors, shifts));
  return description;
}

// Evaluates `settings` and adds its accuracy with context as a trial row
// labelled `label`; `build` gives the shifts its filter leaves out of `all`.
bool add_trial(const DataSet& data, const EvaluationSettings& settings, std::string label,
               const BuildSettings& build, const std::vector<Observation>& all,
               AccuracyReport* report, std::string* error) {
  Evaluation trial;
  if (!evaluate_leave_one_rna_out(data.entries, data.rnas, settings, &trial, error)) return false;
  FilterTrial row;
  row.label = std::move(label);
  row.removed = build_statistics(all, build, catalogue_rank).removed;
  row.accuracy = trial.context;
  report->trials.push_back(std::move(row));
  return true;
}

// One trial row per raw setting of -t.
bool add_filter_trials(const StatsOptions& options, const DataSet& data,
                       const EvaluationSettings& settings, bool with_base_csv,
                       const std::vector<Observation>& all, AccuracyReport* report,
                       std::string* error) {
  for (const BuildSettings& build : options.trials) {
    EvaluationSettings trial_settings = settings;
    trial_settings.build = build;
    trial_settings.shrunk = false;
    trial_settings.with_baseline = false;
    std::string label = settings_label(build);
    if (with_base_csv) label += ", base statistics from the per-atom table";
    if (options.raw && build.outlier_k == options.build.outlier_k &&
        build.min_rnas == options.build.min_rnas) {
      label += " (this table)";
    }
    if (!add_trial(data, trial_settings, label, build, all, report, error)) return false;
  }
  return true;
}

// The other source of base statistics, as a trial row: the data itself when
// the table takes them from a per-atom table, the per-atom table of -c
// otherwise; nothing when there is neither.
bool add_base_source_trial(const StatsOptions& options, const DataSet& data,
                           const EvaluationSettings& settings, const std::vector<Observation>& all,
                           AccuracyReport* report, std::string* error) {
  const bool with_base_csv = settings.base_statistics != nullptr;
  if (!with_base_csv && options.compare_csv.empty()) return true;
  std::vector<BaseStatistic> compared;
  if (!with_base_csv && !read_base_csv(options.compare_csv, &compared, error)) return false;
  EvaluationSettings other = settings;
  other.base_statistics = with_base_csv ? nullptr : &compared;
  other.with_baseline = false;
  const std::string label =
      settings_label(options.build) +
      (with_base_csv ? ", base statistics from the data"
                     : ", base statistics from " + path_base_name(options.compare_csv));
  return add_trial(data, other, label, options.build, all, report, error);
}

}  // namespace

bool evaluate_table_settings(const StatsOptions& options, const DataSet& data,
                             const std::vector<BaseStatistic>* base_statistics,
                             AccuracyReport* result, std::string* error) {
  EvaluationSettings settings;
  settings.build = options.build;
  settings.base_statistics = base_statistics;
  settings.shrunk = !options.raw;
  settings.with_raw = true;
  settings.structures = &data.structures;
  settings.held_out_limit = options.held_out_limit;
  Evaluation shipped;
  if (!evaluate_leave_one_rna_out(data.entries, data.rnas, settings, &shipped, error)) {
    return false;
  }
  const std::vector<Observation> all = collect_observations(data.entries, data.rnas);
  AccuracyReport report;
  report.title = "Accuracy of the statistics table " + path_base_name(options.table_file);
  for (size_t i = 0; i < kLevelCount; ++i) report.nominal[i] = 100 * kLevelCoverages[i];
  report.context = shipped.context;
  report.baseline = shipped.baseline;
  report.target_atoms.assign(kMainAtoms.begin(), kMainAtoms.end());
  report.description = evaluation_description(options, data, base_statistics != nullptr,
                                              shipped.rnas, shipped.gross_errors, all.size());
  if (settings.shrunk) {
    report.has_raw = true;
    report.raw = shipped.raw;
    report.first_target_level = 5;
    report.last_target_level = 11;
    report.coverage_tolerance = 1.2;
  }
  if (!add_filter_trials(options, data, settings, base_statistics != nullptr, all, &report,
                         error) ||
      !add_base_source_trial(options, data, settings, all, &report, error)) {
    return false;
  }
  *result = std::move(report);
  return true;
}

}  // namespace mirelon
