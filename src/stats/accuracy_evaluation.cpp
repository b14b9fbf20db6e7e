#include "stats/accuracy_evaluation.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "common/numbers.h"
#include "prediction/shift_prediction.h"
#include "prediction/stat_table.h"
#include "stats/multipliers.h"
#include "stats/shift_statistics.h"

namespace mirelon {
namespace {

// Every atom name of the four catalogues, hydrogens first, then carbon,
// nitrogen and phosphorus, each group in catalogue order.
std::vector<std::string> report_atom_order() {
  std::vector<std::string> names;
  for (const char* base : {"A", "G", "C", "U"}) {
    for (std::string_view atom : atom_catalogue(base)) {
      if (std::find(names.begin(), names.end(), atom) == names.end()) names.emplace_back(atom);
    }
  }
  auto element = [](const std::string& atom) { return std::string_view("HCNP").find(atom[0]); };
  std::stable_sort(names.begin(), names.end(), [&](const std::string& a, const std::string& b) {
    return element(a) < element(b);
  });
  return names;
}

// A value as "kesta.prot" prints it: the text read with strtod, four decimals.
double as_printed(const std::string& text) { return strtod_text(format_f4(strtod_text(text))); }

struct Prediction {
  double mean = 0;
  bool from_context = false;
  std::array<double, kLevelCount> tolerance{};
};

// Predictions of one held-out entry at every level, by residue number and atom.
bool predict_entry(const StatsEntry& entry, const StatTable& table,
                   std::map<std::pair<std::string, std::string>, Prediction>* predictions,
                   std::string* error) {
  for (size_t level = 1; level <= kLevelCount; ++level) {
    std::vector<ShiftEntry> shifts;
    if (!predict_shifts(entry.residues, table, static_cast<long>(level), &shifts, error)) {
      return false;
    }
    for (const ShiftEntry& shift : shifts) {
      Prediction& p = (*predictions)[{shift.residue_number, shift.atom}];
      if (level == 1) {
        p.mean = as_printed(shift.mean_shift);
        p.from_context = shift.origin == kOriginContext;
      }
      p.tolerance[level - 1] = as_printed(shift.tolerance);
    }
  }
  return true;
}

void compare(const StatsEntry& entry, const EntryShift& shift,
             const std::map<std::pair<std::string, std::string>, Prediction>& predictions,
             AtomAccuracy* accuracy) {
  ++accuracy->observed;
  const auto found =
      predictions.find({entry.residues[shift.residue][kResidueNumber], shift.observation.atom});
  if (found == predictions.end()) return;
  const Prediction& p = found->second;
  ++accuracy->predicted;
  if (p.from_context) ++accuracy->from_context;
  const double error = shift.observation.value - p.mean;
  accuracy->squared_error += error * error;
  // The printed values carry four decimals; a shift on the edge is inside.
  constexpr double kEdge = 1e-9;
  for (size_t level = 0; level < kLevelCount; ++level) {
    if (std::fabs(error) <= p.tolerance[level] + kEdge) ++accuracy->inside[level];
  }
}

ModelAccuracy finish(const std::vector<std::string>& order,
                     const std::map<std::string, AtomAccuracy>& by_atom) {
  ModelAccuracy model;
  for (const std::string& atom : order) {
    const auto found = by_atom.find(atom);
    AtomAccuracy accuracy = found == by_atom.end() ? AtomAccuracy() : found->second;
    accuracy.atom = atom;
    model.total.add(accuracy);
    model.atoms.push_back(std::move(accuracy));
  }
  model.total.atom = "all";
  return model;
}

}  // namespace

bool evaluate_leave_one_rna_out(const std::vector<StatsEntry>& entries, size_t rna_count,
                                const EvaluationSettings& settings, Evaluation* evaluation,
                                std::string* error) {
  const std::string multipliers = format_multiplier_section();
  const std::vector<MultiplierValues> rows = multiplier_rows();
  const std::vector<StatsEntry> no_structures;
  const std::vector<StatsEntry>& structures =
      settings.structures != nullptr ? *settings.structures : no_structures;
  std::map<std::string, AtomAccuracy> context_by_atom, baseline_by_atom, raw_by_atom;
  *evaluation = Evaluation();
  const size_t held_out_count =
      settings.held_out_limit > 0 ? std::min(settings.held_out_limit, rna_count) : rna_count;
  evaluation->rnas = held_out_count;
  auto read_table = [&](const StatisticsTable& built, StatTable* table) {
    return parse_stat_table(format_statistics_table(built, {}, multipliers), "(evaluation)", table,
                            error);
  };
  for (size_t held_out = 0; held_out < held_out_count; ++held_out) {
    const std::vector<Observation> training = collect_observations(entries, held_out);
    StatisticsTable built = build_statistics(training, settings.build, catalogue_rank);
    if (settings.base_statistics != nullptr) built.base = *settings.base_statistics;
    StatTable raw_table;
    if (!read_table(built, &raw_table)) return false;
    StatTable baseline = raw_table;
    baseline.context.clear();
    StatTable table = raw_table;
    if (settings.shrunk) {
      StatisticsTable shrunk =
          build_shrunk_statistics(training, count_context_keys(entries, structures, held_out),
                                  shrinkage_settings(settings.build), catalogue_rank, rows)
              .table;
      if (settings.base_statistics != nullptr) shrunk.base = *settings.base_statistics;
      if (!read_table(shrunk, &table)) return false;
    }

    // The screen for errors of the data, from the training RNAs alone.
    const std::map<BaseAndAtom, ShiftLimits> screen = screen_limits(training, kGrossErrorMads);

    for (const StatsEntry& entry : entries) {
      if (entry.shifts.empty() || entry.shifts[0].observation.rna != held_out) continue;
      std::map<std::pair<std::string, std::string>, Prediction> with_context, base_only, raw;
      if (!predict_entry(entry, table, &with_context, error)) return false;
      if (settings.with_baseline && !predict_entry(entry, baseline, &base_only, error)) {
        return false;
      }
      const bool with_raw = settings.shrunk && settings.with_raw;
      if (with_raw && !predict_entry(entry, raw_table, &raw, error)) return false;
      for (const EntryShift& shift : entry.shifts) {
        const Observation& o = shift.observation;
        const auto limits = screen.find({o.base, o.atom});
        if (limits != screen.end() && !limits->second.contains(o.value)) {
          ++evaluation->gross_errors;
          continue;
        }
        compare(entry, shift, with_context, &context_by_atom[o.atom]);
        if (settings.with_baseline) compare(entry, shift, base_only, &baseline_by_atom[o.atom]);
        if (with_raw) compare(entry, shift, raw, &raw_by_atom[o.atom]);
      }
    }
  }
  const std::vector<std::string> order = report_atom_order();
  evaluation->context = finish(order, context_by_atom);
  evaluation->baseline = finish(order, baseline_by_atom);
  evaluation->raw = finish(order, raw_by_atom);
  return true;
}

}  // namespace mirelon
