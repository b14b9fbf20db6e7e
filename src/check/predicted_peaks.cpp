#include "check/predicted_peaks.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

#include "common/nucleotides.h"
#include "common/numbers.h"
#include "structure/residue_ids.h"

namespace mirelon {

namespace {

constexpr size_t kAssignmentWidth = 16;
constexpr size_t kShiftWidth = 11;
constexpr const char* kPeakListHeader = "      Assignment         w1         w2\n";

}  // namespace

const std::vector<Experiment>& experiments() {
  static const std::vector<Experiment> kExperiments = {
      {"h1c1",
       "H1'-C1'",
       "13C",
       {{"A", "C1'", "H1'"}, {"C", "C1'", "H1'"}, {"G", "C1'", "H1'"}, {"U", "C1'", "H1'"}}},
      {"h6h8",
       "H6/H8-C6/C8",
       "13C",
       {{"A", "C8", "H8"}, {"C", "C6", "H6"}, {"G", "C8", "H8"}, {"U", "C6", "H6"}}},
      {"h2c2", "H2-C2", "13C", {{"A", "C2", "H2"}}},
      {"h5c5", "H5-C5", "13C", {{"C", "C5", "H5"}, {"U", "C5", "H5"}}},
      {"imino", "H1-N1 / H3-N3 (imino)", "15N", {{"G", "N1", "H1"}, {"U", "N3", "H3"}}, true},
  };
  return kExperiments;
}

std::vector<bool> partnered_positions(const Structure& structure) {
  std::vector<bool> partnered(structure.size(), false);
  for (size_t i = 0; i < structure.size(); ++i) {
    const std::optional<size_t>& j = structure.partners[i];
    if (!j) continue;
    const std::string& own = structure.bases[i];
    const std::string& other = structure.bases[*j];
    partnered[i] =
        is_watson_crick(own, other) || (own == "G" && other == "U") || (own == "U" && other == "G");
  }
  return partnered;
}

PredictionIndex::PredictionIndex(const StructurePrediction& prediction) {
  std::unordered_map<std::string_view, size_t> position_of_number;  // views of the residues
  position_of_number.reserve(prediction.residues.size());
  for (size_t i = 0; i < prediction.residues.size(); ++i) {
    const Residue& residue = prediction.residues[i];
    numbers_.push_back(residue.number);
    bases_.push_back(residue.id[kOwnBase]);
    labels_.push_back(residue.id[kOwnBase] + decimal(residue.number));
    // Residue numbers are unique in a structure read by the structure
    // library (positions 1..N plus 100 per chain break).
    position_of_number.emplace(residue.id[kResidueNumber], i);
  }
  shifts_.resize(prediction.residues.size());
  for (const ShiftEntry& entry : prediction.entries) {
    const auto found = position_of_number.find(entry.residue_number);
    if (found == position_of_number.end()) continue;
    // A residue has a few dozen atoms at most: a list searched in turn.
    if (find(found->second, entry.atom) != nullptr) continue;  // the first entry stays
    // The values as "kesta.prot" prints them: the texts read with strtod.
    shifts_[found->second].emplace_back(
        entry.atom, PredictedShift{strtod_text(entry.mean_shift), strtod_text(entry.tolerance)});
  }
}

const PredictedShift* PredictionIndex::find(size_t position, std::string_view atom) const {
  if (position >= shifts_.size()) return nullptr;
  for (const auto& [name, shift] : shifts_[position]) {
    if (name == atom) return &shift;
  }
  return nullptr;
}

std::vector<PredictedPeak> predicted_peaks(const PredictionIndex& index,
                                           const Experiment& experiment) {
  std::vector<PredictedPeak> peaks;
  for (size_t position = 0; position < index.size(); ++position) {
    for (const AtomPair& pair : experiment.pairs) {
      if (index.base(position) != pair.base) continue;
      const PredictedShift* heavy = index.find(position, pair.heavy);
      const PredictedShift* proton = index.find(position, pair.proton);
      if (heavy != nullptr && proton != nullptr) {
        peaks.push_back({position, pair, *heavy, *proton});
      }
    }
  }
  return peaks;
}

std::string peak_assignment(const PredictionIndex& index, const PredictedPeak& peak) {
  return index.label(peak.position) + std::string(peak.atoms.heavy) + "-" +
         std::string(peak.atoms.proton);
}

std::string format_peak_list(const PredictionIndex& index,
                             const std::vector<PredictedPeak>& peaks) {
  std::string out = kPeakListHeader;
  out += '\n';
  auto append_shift = [&out](double shift) {
    char value[64];
    size_t length = fixed_text(shift, 3, value);
    if (length == 0)
      length = static_cast<size_t>(std::snprintf(value, sizeof value, "%.3f", shift));
    append_pad_left(&out, std::string_view(value, std::min(length, sizeof value - 1)), kShiftWidth);
  };
  for (const PredictedPeak& peak : peaks) {
    append_pad_left(&out, peak_assignment(index, peak), kAssignmentWidth);
    append_shift(peak.heavy.mean);
    append_shift(peak.proton.mean);
    out += '\n';
  }
  return out;
}

}  // namespace mirelon
