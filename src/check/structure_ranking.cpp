#include "check/structure_ranking.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <utility>

namespace mirelon {

namespace {

using AtomKey = std::pair<size_t, std::string>;

// The atoms of `check` that have a z, by residue and atom.
std::map<AtomKey, const ComparedAtom*> scored_atoms(const AssignmentCheck& check) {
  std::map<AtomKey, const ComparedAtom*> atoms;
  for (const ComparedAtom& atom : check.atoms) {
    if (atom.spread > 0) atoms.emplace(AtomKey{atom.position, atom.atom}, &atom);
  }
  return atoms;
}

}  // namespace

StructureRanking rank_structures(const std::vector<AssignmentCheck>& checks) {
  std::vector<std::map<AtomKey, const ComparedAtom*>> atoms;
  atoms.reserve(checks.size());
  for (const AssignmentCheck& check : checks) atoms.push_back(scored_atoms(check));

  // The atoms every structure has a z for.
  std::vector<AtomKey> common;
  for (const auto& [key, atom] : atoms.front()) {
    if (std::all_of(atoms.begin(), atoms.end(),
                    [&key = key](const auto& other) { return other.count(key) > 0; })) {
      common.push_back(key);
    }
  }

  // Every structure's atom is judged with the same spread, the geometric
  // mean of the structures' spreads for it: a prediction that is merely
  // vaguer must not win on the atoms that fit no structure.
  std::vector<std::map<AtomKey, double>> densities(checks.size());
  for (const AtomKey& key : common) {
    double log_spread = 0;
    for (const auto& by_key : atoms) log_spread += std::log(by_key.at(key)->spread);
    const double spread = std::exp(log_spread / static_cast<double>(atoms.size()));
    for (size_t s = 0; s < checks.size(); ++s) {
      const ComparedAtom& atom = *atoms[s].at(key);
      densities[s][key] = fit_log_density((atom.corrected - atom.predicted.mean) / spread, spread);
    }
  }
  StructureRanking ranking;
  ranking.atoms = common.size();
  for (size_t s = 0; s < checks.size(); ++s) {
    double sum = 0;
    for (const AtomKey& key : common) sum += densities[s].at(key);
    ranking.order.push_back({s, sum, 0});
  }
  std::stable_sort(ranking.order.begin(), ranking.order.end(),
                   [](const RankedStructure& a, const RankedStructure& b) {
                     return a.log_likelihood > b.log_likelihood;
                   });
  const double best = ranking.order.front().log_likelihood;
  for (RankedStructure& ranked : ranking.order) ranked.difference = ranked.log_likelihood - best;

  if (ranking.order.size() < 2) return ranking;
  const size_t first = ranking.order[0].structure;
  const size_t second = ranking.order[1].structure;
  std::map<size_t, double> by_residue;
  for (const AtomKey& key : common) {
    by_residue[key.first] += densities[first].at(key) - densities[second].at(key);
  }
  for (const auto& [position, difference] : by_residue) {
    if (difference != 0) ranking.discriminating.push_back({position, difference});
  }
  std::stable_sort(ranking.discriminating.begin(), ranking.discriminating.end(),
                   [](const ResidueEvidence& a, const ResidueEvidence& b) {
                     return std::fabs(a.difference) > std::fabs(b.difference);
                   });
  if (ranking.discriminating.size() > kDiscriminatingResidues) {
    ranking.discriminating.resize(kDiscriminatingResidues);
  }
  return ranking;
}

}  // namespace mirelon
