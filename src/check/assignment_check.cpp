#include "check/assignment_check.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <utility>

#include "common/prediction_levels.h"

namespace mirelon {

namespace {

// The normal quantile of the two-sided 95 % interval of the median: that of
// prediction level 6 (95 %).
constexpr size_t kLevel95 = 6;
constexpr double kMedianIntervalQuantile = kLevelNormalQuantiles[kLevel95 - kMinLevel];

// Atom pairs of one residue whose shifts are commonly exchanged: the two
// hydrogens at C5' and the two amino hydrogens of C, A and G.
constexpr std::array<std::pair<std::string_view, std::string_view>, 4> kExchangeablePairs = {{
    {"H5'", "H5\""},
    {"H41", "H42"},
    {"H61", "H62"},
    {"H21", "H22"},
}};

bool exchangeable(const ComparedAtom& a, const ComparedAtom& b) {
  if (a.position != b.position) return a.atom == b.atom;
  for (const auto& [one, other] : kExchangeablePairs) {
    if ((a.atom == one && b.atom == other) || (a.atom == other && b.atom == one)) return true;
  }
  return false;
}

std::string upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// The atoms of `shifts` that have a residue and a prediction, without their
// z (the referencing comes first).
std::vector<ComparedAtom> match_shifts(const PredictionIndex& index,
                                       const std::vector<ObservedShift>& shifts,
                                       const ResidueMapping& mapping, AssignmentCheck* check) {
  std::vector<ComparedAtom> atoms;
  // The first listing of every atom compared, by position and atom name.
  std::map<std::pair<size_t, std::string>, const ObservedShift*> first_listing;
  check->shift_numbers.assign(index.size(), "");
  std::vector<bool> numbered(index.size(), false);
  for (const ObservedShift& shift : shifts) {
    const std::optional<size_t> position = mapping.position(shift, index.size());
    if (!position) {
      ++check->unmatched;
      continue;
    }
    const size_t at = *position;
    if (nucleotide_letter(shift.residue_name) != upper(index.base(at))) {
      ++check->unmatched;
      ++check->base_mismatches;
      continue;
    }
    ComparedAtom atom;
    atom.position = at;
    atom.atom = table_atom_name(shift.atom);
    const PredictedShift* predicted = index.find(at, atom.atom);
    if (predicted == nullptr) {
      ++check->unmatched;
      continue;
    }
    // An atom listed twice (several shift lists of one entry) counts once,
    // with its first value.
    const auto [first, is_new] = first_listing.emplace(std::make_pair(at, atom.atom), &shift);
    if (!is_new) {
      ++check->unmatched;
      if (first->second->value != shift.value) {
        check->differing_repeats.push_back(differing_repeat_text(*first->second, shift));
      }
      continue;
    }
    atom.shift_residue = mapping.shift_residue(shift);
    if (!numbered[at]) {
      numbered[at] = true;
      if (shift.residue != index.number(at)) check->shift_numbers[at] = atom.shift_residue;
    }
    atom.nucleus = atom_nucleus(atom.atom);
    atom.observed = shift.value;
    atom.corrected = shift.value;
    atom.predicted = *predicted;
    atoms.push_back(std::move(atom));
  }
  return atoms;
}

// z, outlier flag and log density of every atom, the nucleus offsets removed.
void score_atoms(long level, AssignmentCheck* check) {
  const double quantile = kLevelNormalQuantiles[static_cast<size_t>(level - kMinLevel)];
  for (ComparedAtom& atom : check->atoms) {
    if (atom.nucleus < kReferencedNuclei && check->referencing[atom.nucleus].applied) {
      atom.corrected = atom.observed - check->referencing[atom.nucleus].median;
    }
    const double difference = atom.corrected - atom.predicted.mean;
    atom.spread = atom.predicted.tolerance / quantile;
    atom.outlier = std::fabs(difference) > atom.predicted.tolerance;
    if (atom.spread > 0) {
      atom.z = difference / atom.spread;
      atom.log_density = fit_log_density(atom.z, atom.spread);
      check->log_likelihood += atom.log_density;
    }
  }
}

std::vector<SwapCandidate> find_swaps(std::vector<ComparedAtom>* atoms) {
  std::vector<SwapCandidate> candidates;
  for (size_t i = 0; i < atoms->size(); ++i) {
    const ComparedAtom& a = (*atoms)[i];
    if (a.spread <= 0) continue;
    for (size_t j = i + 1; j < atoms->size(); ++j) {
      const ComparedAtom& b = (*atoms)[j];
      if (b.spread <= 0 || !exchangeable(a, b)) continue;
      const double a_difference = b.corrected - a.predicted.mean;
      const double b_difference = a.corrected - b.predicted.mean;
      if (std::fabs(a_difference) > a.predicted.tolerance ||
          std::fabs(b_difference) > b.predicted.tolerance) {
        continue;
      }
      const double a_z = a_difference / a.spread;
      const double b_z = b_difference / b.spread;
      const double gain = a.z * a.z + b.z * b.z - a_z * a_z - b_z * b_z;
      if (gain >= kMinSwapGain) candidates.push_back({i, j, gain});
    }
  }
  std::stable_sort(candidates.begin(), candidates.end(),
                   [](const SwapCandidate& x, const SwapCandidate& y) { return x.gain > y.gain; });
  // Every exchange that fits is named: an atom holding another residue's
  // value often fits a third residue better still, and hiding its weaker
  // candidates would hide the true partner.
  for (const SwapCandidate& candidate : candidates) {
    (*atoms)[candidate.first].swap = true;
    (*atoms)[candidate.second].swap = true;
  }
  return candidates;
}

}  // namespace

double fit_log_density(double z, double spread) {
  const double nu = kFitDegreesOfFreedom;
  return std::lgamma((nu + 1) / 2) - std::lgamma(nu / 2) - 0.5 * std::log(nu * M_PI) -
         std::log(spread) - (nu + 1) / 2 * std::log1p(z * z / nu);
}

Referencing median_interval(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  Referencing result;
  const size_t n = values.size();
  result.count = n;
  result.median = n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
  // The ranks n/2 -+ 1.96 sqrt(n)/2 of the order statistics bound the
  // median's 95 % interval whatever the distribution.
  const double half_width = kMedianIntervalQuantile * std::sqrt(static_cast<double>(n)) / 2;
  const double lower_rank = std::floor(static_cast<double>(n) / 2 - half_width);
  const size_t lower = lower_rank < 0 ? 0 : static_cast<size_t>(lower_rank);
  result.low = values[std::min(lower, n - 1)];
  result.high = values[n - 1 - std::min(lower, n - 1)];
  return result;
}

AssignmentCheck check_assignment(const PredictionIndex& index,
                                 const std::vector<ObservedShift>& shifts,
                                 const ResidueMapping& mapping, long level) {
  AssignmentCheck check;
  check.atoms = match_shifts(index, shifts, mapping, &check);
  for (size_t nucleus = 0; nucleus < kReferencedNuclei; ++nucleus) {
    std::vector<double> differences;
    for (const ComparedAtom& atom : check.atoms) {
      if (atom.nucleus == nucleus) differences.push_back(atom.observed - atom.predicted.mean);
    }
    if (differences.empty()) continue;
    Referencing& referencing = check.referencing[nucleus];
    referencing = median_interval(std::move(differences));
    referencing.applied = referencing.count >= kMinReferencingAtoms &&
                          std::fabs(referencing.median) >= kReferencingThresholds[nucleus] &&
                          (referencing.low > 0 || referencing.high < 0);
  }
  score_atoms(level, &check);
  check.swaps = find_swaps(&check.atoms);

  std::vector<double> sums(index.size(), 0);
  std::vector<size_t> counts(index.size(), 0);
  for (const ComparedAtom& atom : check.atoms) {
    if (atom.spread <= 0) continue;
    sums[atom.position] += std::fabs(atom.z);
    ++counts[atom.position];
  }
  check.residue_mean_abs_z.assign(index.size(), -1);
  for (size_t i = 0; i < index.size(); ++i) {
    if (counts[i] > 0) check.residue_mean_abs_z[i] = sums[i] / static_cast<double>(counts[i]);
  }
  return check;
}

std::string residue_name(const PredictionIndex& index, const AssignmentCheck* check,
                         size_t position) {
  if (check == nullptr || position >= check->shift_numbers.size() ||
      check->shift_numbers[position].empty()) {
    return index.label(position);
  }
  return index.label(position) + " (" + check->shift_numbers[position] + " in the shift file)";
}

bool renumbered(const AssignmentCheck& check) {
  return std::any_of(check.shift_numbers.begin(), check.shift_numbers.end(),
                     [](const std::string& number) { return !number.empty(); });
}

}  // namespace mirelon
