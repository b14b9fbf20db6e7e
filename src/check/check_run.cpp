#include "check/check_run.h"

#include <cmath>

#include "common/messages.h"

namespace mirelon {

std::string candidate_name(const std::string& file, size_t k, size_t count) {
  return count > 1 ? format_message("%s #%zu", file.c_str(), k + 1) : file;
}

bool same_sequences(const std::vector<Candidate>& candidates, std::string* error) {
  for (const Candidate& candidate : candidates) {
    if (candidate.structure.bases != candidates.front().structure.bases) {
      *error =
          format_message("Structures to rank must have the same sequence: %s differs from %s\n",
                         candidate.name.c_str(), candidates.front().name.c_str());
      return false;
    }
  }
  return true;
}

size_t shown_structure(const StructureRanking& ranking) {
  return ranking.order.empty() ? 0 : ranking.order.front().structure;
}

double printed_lead(const StructureRanking& ranking) {
  return std::round((ranking.order[0].log_likelihood - ranking.order[1].log_likelihood) * 100) /
         100;
}

std::string ranking_note(const StructureRanking& ranking, const std::vector<std::string>& names) {
  if (ranking.order.size() > 1) {
    const double lead = printed_lead(ranking);
    if (lead >= kClearLead) return "";
    return format_message(
        "Note: %s leads %s by %.2f log-likelihood units only (under %g): the observed shifts "
        "hardly tell them apart\n",
        names[ranking.order[0].structure].c_str(), names[ranking.order[1].structure].c_str(), lead,
        kClearLead);
  }
  if (ranking.order.empty() && names.size() > 1) {
    return format_message(
        "Note: %zu structures and no observed shifts to rank them: the outputs show the first, "
        "%s\n",
        names.size(), names.front().c_str());
  }
  return "";
}

std::string unmatched_warning(const AssignmentCheck& check, const std::string& shift_file,
                              const std::string& structure_name) {
  if (!check.atoms.empty()) return "";
  return format_message(
      "Warning: no observed shift of %s matches a predicted atom of %s (check -O)\n",
      shift_file.c_str(), structure_name.c_str());
}

std::string offsets_removed_note(const AssignmentCheck& check) {
  std::string note;
  for (size_t nucleus = 0; nucleus < kReferencedNuclei; ++nucleus) {
    const Referencing& referencing = check.referencing[nucleus];
    if (!referencing.applied) continue;
    note += format_message(
        "%s%s %+.2f ppm", note.empty() ? "Observed shown with referencing offsets removed: " : ", ",
        nucleus_name(static_cast<Nucleus>(nucleus)), referencing.median);
  }
  return note;
}

std::vector<PredictedPeak> picture_peaks(const std::vector<PredictedPeak>& peaks,
                                         const PredictionIndex& picture_index) {
  std::vector<PredictedPeak> out = peaks;
  for (PredictedPeak& peak : out) {
    const PredictedShift* heavy = picture_index.find(peak.position, peak.atoms.heavy);
    const PredictedShift* proton = picture_index.find(peak.position, peak.atoms.proton);
    if (heavy != nullptr) peak.heavy.tolerance = heavy->tolerance;
    if (proton != nullptr) peak.proton.tolerance = proton->tolerance;
  }
  return out;
}

std::vector<ExperimentOutput> experiment_outputs(const ShownPredictions& shown,
                                                 const AssignmentCheck* check,
                                                 const PictureLegend& legend,
                                                 const std::string& prefix) {
  std::vector<ExperimentOutput> outputs;
  for (const Experiment& experiment : experiments()) {
    ExperimentOutput output;
    output.experiment = &experiment;
    output.peaks = predicted_peaks(*shown.index, experiment);
    SpectrumInput input;
    input.experiment = &experiment;
    input.index = shown.index;
    input.peaks = picture_peaks(output.peaks, *shown.picture_index);
    if (check != nullptr) input.observed = observed_peaks(*check, output.peaks);
    input.partnered = shown.partnered;
    output.picture = spectrum_picture(input, legend);
    output.svg_file = prefix + "-" + std::string(experiment.id) + ".svg";
    output.list_file = prefix + "-" + std::string(experiment.id) + ".list";
    outputs.push_back(std::move(output));
  }
  return outputs;
}

}  // namespace mirelon
