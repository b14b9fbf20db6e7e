#include "stats/accuracy_report.h"

#include <algorithm>
#include <cmath>

#include "common/messages.h"

namespace mirelon {
namespace {

// Atom names hold primes and double quotes; as code spans they stay as written.
std::string markdown_atom(const std::string& atom) { return "`" + atom + "`"; }

std::string percent_text(double value) { return format_message("%.1f", value); }

std::string nominal_text(double nominal) {
  return nominal == std::floor(nominal) ? format_message("%.0f %%", nominal)
                                        : format_message("%.1f %%", nominal);
}

// Mean absolute difference between coverage and nominal over the target levels.
double calibration_error(const AccuracyReport& report, const AtomAccuracy& total) {
  double sum = 0;
  size_t n = 0;
  for (size_t level = report.first_target_level; level <= report.last_target_level; ++level) {
    sum += std::fabs(total.coverage(level) - report.nominal[level - 1]);
    ++n;
  }
  return n == 0 ? 0 : sum / static_cast<double>(n);
}

// Targets of a shrunk table against the raw table of the same folds.
constexpr double kShrunkRmseLimit = 1.06;   // all atoms, ppm
constexpr double kShrunkRmseGain = 7;       // percent below raw, main atoms but H1', H2'
constexpr double kShrunkContextShare = 70;  // percent of main-atom predictions

std::string met_text(bool met) { return met ? "met" : "missed"; }

void markdown_shrunk_targets(const AccuracyReport& report, std::string* md) {
  const double all = report.context.total.rmse();
  *md += format_message("| RMSE all atoms at most %.2f ppm | %.3f ppm | %.3f ppm | %s |\n",
                        kShrunkRmseLimit, all, report.raw.total.rmse(),
                        met_text(all <= kShrunkRmseLimit).c_str());
  AtomAccuracy main_shrunk;
  for (const std::string& atom : report.target_atoms) {
    const AtomAccuracy* shrunk = find_atom(report.context, atom);
    const AtomAccuracy* raw = find_atom(report.raw, atom);
    if (shrunk == nullptr || raw == nullptr || shrunk->predicted == 0 || raw->rmse() == 0) continue;
    main_shrunk.add(*shrunk);
    const double gain = 100 * (raw->rmse() - shrunk->rmse()) / raw->rmse();
    const bool strict = atom != "H1'" && atom != "H2'";
    const std::string goal = strict ? format_message("at least %.0f %% below raw", kShrunkRmseGain)
                                    : std::string("not above raw");
    const bool met = strict ? gain >= kShrunkRmseGain : gain >= 0;
    *md += "| RMSE " + markdown_atom(atom) + " " + goal + " | " +
           format_message("%.3f ppm | %.3f ppm | %s (%.1f %% lower) |\n", shrunk->rmse(),
                          raw->rmse(), met_text(met).c_str(), gain);
  }
  const double share = main_shrunk.predicted == 0
                           ? 0
                           : 100 * static_cast<double>(main_shrunk.from_context) /
                                 static_cast<double>(main_shrunk.predicted);
  AtomAccuracy main_raw;
  for (const std::string& atom : report.target_atoms) {
    const AtomAccuracy* raw = find_atom(report.raw, atom);
    if (raw != nullptr) main_raw.add(*raw);
  }
  const double raw_share = main_raw.predicted == 0
                               ? 0
                               : 100 * static_cast<double>(main_raw.from_context) /
                                     static_cast<double>(main_raw.predicted);
  *md += format_message(
      "| main-atom predictions from context records at least %.0f %% | %.1f %% | %.1f %% | %s |\n",
      kShrunkContextShare, share, raw_share, met_text(share >= kShrunkContextShare).c_str());
}

void markdown_targets(const AccuracyReport& report, std::string* md) {
  *md += "## Targets\n\n";
  if (report.has_raw) {
    *md += "| target | shrunk | raw | result |\n|---|---|---|---|\n";
    markdown_shrunk_targets(report, md);
  } else {
    *md += "| target | with context | base only | result |\n|---|---|---|---|\n";
  }
  for (const std::string& atom : report.target_atoms) {
    if (report.has_raw) break;
    const AtomAccuracy* context = find_atom(report.context, atom);
    const AtomAccuracy* baseline = find_atom(report.baseline, atom);
    if (context == nullptr || baseline == nullptr || context->predicted == 0) {
      *md += "| RMSE " + markdown_atom(atom) + " below base only | - | - | no observations |\n";
      continue;
    }
    const double difference = context->rmse() - baseline->rmse();
    std::string result = difference < 0
                             ? format_message("met (%.3f ppm, %.1f %% lower)", -difference,
                                              -100 * difference / baseline->rmse())
                             : format_message("missed by %.3f ppm (%.1f %%)", difference,
                                              100 * difference / baseline->rmse());
    *md += "| RMSE " + markdown_atom(atom) + " below base only | " +
           format_message("%.3f ppm", context->rmse()) + " | " +
           format_message("%.3f ppm", baseline->rmse()) + " | " + result + " |\n";
  }
  for (size_t level = report.first_target_level; level <= report.last_target_level; ++level) {
    const double nominal = report.nominal[level - 1];
    const double coverage = report.context.total.coverage(level);
    const double off = std::fabs(coverage - nominal);
    const std::string result =
        off <= report.coverage_tolerance
            ? format_message("met (%.1f points off)", off)
            : format_message("missed by %.1f points (%.1f off, %g allowed)",
                             off - report.coverage_tolerance, off, report.coverage_tolerance);
    *md += format_message("| coverage at level %zu within %g points of ", level,
                          report.coverage_tolerance) +
           nominal_text(nominal) + " | " + percent_text(coverage) + " % | " +
           percent_text((report.has_raw ? report.raw : report.baseline).total.coverage(level)) +
           " % | " + result + " |\n";
  }
  *md += "\n";
}

void markdown_levels(const AccuracyReport& report, std::string* md) {
  *md += "## Coverage per level, all atoms\n\n";
  *md += "| level | nominal | with context | base only |\n|---|---|---|---|\n";
  for (size_t level = 1; level <= kLevelCount; ++level) {
    *md += format_message("| %zu | ", level) + nominal_text(report.nominal[level - 1]) + " | " +
           percent_text(report.context.total.coverage(level)) + " % | " +
           percent_text(report.baseline.total.coverage(level)) + " % |\n";
  }
  *md += "\n";
}

void markdown_atoms(const AccuracyReport& report, std::string* md) {
  *md += "## Per atom\n\n";
  *md +=
      "Observed: held-out shifts compared; predicted: share of them with a prediction; "
      "context: share of the predictions taken from context statistics. Coverage in % at "
      "levels " +
      format_message("%zu to %zu", report.first_target_level, report.last_target_level) + " (";
  for (size_t level = report.first_target_level; level <= report.last_target_level; ++level) {
    *md += nominal_text(report.nominal[level - 1]);
    if (level < report.last_target_level) *md += ", ";
  }
  *md += "), with context / base only.\n\n";
  *md += "| atom | observed | predicted | context | RMSE with context | RMSE base only |";
  for (size_t level = report.first_target_level; level <= report.last_target_level; ++level) {
    *md += format_message(" level %zu |", level);
  }
  *md += "\n|---|---|---|---|---|---|";
  for (size_t level = report.first_target_level; level <= report.last_target_level; ++level) {
    *md += "---|";
  }
  *md += "\n";
  auto row = [&](const AtomAccuracy& context, const AtomAccuracy* baseline,
                 const std::string& name) {
    const double observed = static_cast<double>(std::max<size_t>(context.observed, 1));
    const double predicted = static_cast<double>(std::max<size_t>(context.predicted, 1));
    *md += "| " + name +
           format_message(" | %zu | %.1f %% | %.1f %% | %.3f | ", context.observed,
                          100 * static_cast<double>(context.predicted) / observed,
                          100 * static_cast<double>(context.from_context) / predicted,
                          context.rmse()) +
           (baseline != nullptr ? format_message("%.3f", baseline->rmse()) : std::string("-")) +
           " |";
    for (size_t level = report.first_target_level; level <= report.last_target_level; ++level) {
      *md += " " + percent_text(context.coverage(level)) + " / " +
             (baseline != nullptr ? percent_text(baseline->coverage(level)) : std::string("-")) +
             " |";
    }
    *md += "\n";
  };
  for (const AtomAccuracy& atom : report.context.atoms) {
    if (atom.observed == 0) continue;
    row(atom, find_atom(report.baseline, atom.atom), markdown_atom(atom.atom));
  }
  row(report.context.total, &report.baseline.total, "all");
  *md += "\n";
}

void markdown_side_by_side(const AccuracyReport& report, std::string* md) {
  if (!report.has_raw) return;
  *md += "## Shrunk and raw tables side by side\n\n";
  *md +=
      "Both tables built in every fold from the same training RNAs. Context: share of the "
      "predictions taken from context statistics. Coverage in %, shrunk / raw.\n\n";
  *md += "| level | nominal | shrunk | raw | base only |\n|---|---|---|---|---|\n";
  for (size_t level = 1; level <= kLevelCount; ++level) {
    *md += format_message("| %zu | ", level) + nominal_text(report.nominal[level - 1]) + " | " +
           percent_text(report.context.total.coverage(level)) + " % | " +
           percent_text(report.raw.total.coverage(level)) + " % | " +
           percent_text(report.baseline.total.coverage(level)) + " % |\n";
  }
  *md += "\n| atom | RMSE shrunk | RMSE raw | change | context shrunk | context raw |";
  for (size_t level = 1; level <= kLevelCount; ++level)
    *md += format_message(" level %zu |", level);
  *md += "\n|---|---|---|---|---|---|";
  for (size_t level = 1; level <= kLevelCount; ++level) *md += "---|";
  *md += "\n";
  auto share = [](const AtomAccuracy& a) {
    return a.predicted == 0
               ? 0.0
               : 100 * static_cast<double>(a.from_context) / static_cast<double>(a.predicted);
  };
  auto row = [&](const AtomAccuracy& shrunk, const AtomAccuracy& raw, const std::string& name) {
    const double change = raw.rmse() == 0 ? 0 : 100 * (shrunk.rmse() - raw.rmse()) / raw.rmse();
    *md += "| " + name +
           format_message(" | %.3f | %.3f | %+.1f %% | %.1f %% | %.1f %% |", shrunk.rmse(),
                          raw.rmse(), change, share(shrunk), share(raw));
    for (size_t level = 1; level <= kLevelCount; ++level) {
      *md += " " + percent_text(shrunk.coverage(level)) + " / " +
             percent_text(raw.coverage(level)) + " |";
    }
    *md += "\n";
  };
  for (const AtomAccuracy& atom : report.context.atoms) {
    const AtomAccuracy* raw = find_atom(report.raw, atom.atom);
    if (atom.observed == 0 || raw == nullptr) continue;
    row(atom, *raw, markdown_atom(atom.atom));
  }
  row(report.context.total, report.raw.total, "all");
  *md += "\n";
}

void markdown_trials(const AccuracyReport& report, std::string* md) {
  if (report.trials.empty()) return;
  *md += "## Settings compared\n\n";
  *md +=
      "Each setting evaluated in the same way, with context statistics. k: outlier filter, in "
      "scaled median absolute deviations from the median of each base and atom; r: distinct "
      "RNAs a context statistics record needs. Calibration: mean "
      "distance of coverage from nominal over levels " +
      format_message("%zu to %zu", report.first_target_level, report.last_target_level) +
      ", in points.\n\n";
  *md +=
      "| setting | observations left out by the filter | RMSE H1' | RMSE C1' | RMSE all | "
      "calibration |";
  for (size_t level = report.first_target_level; level <= report.last_target_level; ++level) {
    *md += format_message(" level %zu |", level);
  }
  *md += "\n|---|---|---|---|---|---|";
  for (size_t level = report.first_target_level; level <= report.last_target_level; ++level) {
    *md += "---|";
  }
  *md += "\n";
  for (const FilterTrial& trial : report.trials) {
    const AtomAccuracy* h1 = find_atom(trial.accuracy, "H1'");
    const AtomAccuracy* c1 = find_atom(trial.accuracy, "C1'");
    *md += "| " + trial.label + format_message(" | %zu | ", trial.removed) +
           (h1 != nullptr ? format_message("%.3f", h1->rmse()) : std::string("-")) + " | " +
           (c1 != nullptr ? format_message("%.3f", c1->rmse()) : std::string("-")) + " | " +
           format_message("%.3f", trial.accuracy.total.rmse()) + " | " +
           format_message("%.1f", calibration_error(report, trial.accuracy.total)) + " |";
    for (size_t level = report.first_target_level; level <= report.last_target_level; ++level) {
      *md += " " + percent_text(trial.accuracy.total.coverage(level)) + " |";
    }
    *md += "\n";
  }
  *md += "\n";
}

}  // namespace

const AtomAccuracy* find_atom(const ModelAccuracy& model, const std::string& atom) {
  for (const AtomAccuracy& a : model.atoms) {
    if (a.atom == atom) return &a;
  }
  return nullptr;
}

double AtomAccuracy::rmse() const {
  return predicted == 0 ? 0 : std::sqrt(squared_error / static_cast<double>(predicted));
}

double AtomAccuracy::coverage(size_t level) const {
  if (predicted == 0 || level < 1 || level > kLevelCount) return 0;
  return 100 * static_cast<double>(inside[level - 1]) / static_cast<double>(predicted);
}

void AtomAccuracy::add(const AtomAccuracy& other) {
  observed += other.observed;
  predicted += other.predicted;
  from_context += other.from_context;
  squared_error += other.squared_error;
  for (size_t i = 0; i < kLevelCount; ++i) inside[i] += other.inside[i];
}

std::string format_accuracy_markdown(const AccuracyReport& report) {
  std::string md = "# " + report.title + "\n\n";
  for (const std::string& paragraph : report.description) md += paragraph + "\n\n";
  markdown_targets(report, &md);
  markdown_levels(report, &md);
  markdown_atoms(report, &md);
  markdown_side_by_side(report, &md);
  markdown_trials(report, &md);
  return md;
}

}  // namespace mirelon
