#include "check/structure_ranking.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <utility>

namespace mirelon {

namespace {

using AtomKey = std::pair<size_t, std::string>;

// Log densities of the atoms of `check` that have a z, by residue and atom.
std::map<AtomKey, double> atom_densities(const AssignmentCheck& check) {
  std::map<AtomKey, double> densities;
  for (const ComparedAtom& atom : check.atoms) {
    if (atom.spread > 0) densities.emplace(AtomKey{atom.position, atom.atom}, atom.log_density);
  }
  return densities;
}

}  // namespace

StructureRanking rank_structures(const std::vector<AssignmentCheck>& checks) {
  std::vector<std::map<AtomKey, double>> densities;
  for (const AssignmentCheck& check : checks) densities.push_back(atom_densities(check));

  // The atoms every structure has a z for.
  std::vector<AtomKey> common;
  for (const auto& [key, density] : densities.front()) {
    if (std::all_of(densities.begin(), densities.end(),
                    [&key = key](const auto& other) { return other.count(key) > 0; })) {
      common.push_back(key);
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
