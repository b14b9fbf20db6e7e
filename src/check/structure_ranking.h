// Ranking structures of one sequence by how well the observed shifts fit
// their predictions.
#ifndef MIRELON_CHECK_STRUCTURE_RANKING_H_
#define MIRELON_CHECK_STRUCTURE_RANKING_H_

#include <cstddef>
#include <vector>

#include "check/assignment_check.h"

namespace mirelon {

// How many residues the ranking names as discriminating most.
inline constexpr size_t kDiscriminatingResidues = 5;

// The least lead in log-likelihood of the best structure over the second
// that counts as the shifts telling them apart: a likelihood ratio of
// e^3, about 20, where the evidence of a ratio is called strong.
inline constexpr double kClearLead = 3;

struct RankedStructure {
  size_t structure = 0;       // index into the checks ranked
  double log_likelihood = 0;  // over the atoms that every structure predicts
  double difference = 0;      // to the best: 0 for it, negative for the others
};

struct ResidueEvidence {
  size_t position = 0;    // counting from 0
  double difference = 0;  // log-likelihood of the best minus the second, this residue's atoms
};

struct StructureRanking {
  std::vector<RankedStructure> order;           // best first; ties keep the input order
  size_t atoms = 0;                             // observed atoms summed over
  std::vector<ResidueEvidence> discriminating;  // largest |difference| first
};

// Ranks the assignment checks of structures with the same sequence by the
// sum of fit_log_density() over the observed atoms that all of them have a
// z for, so that every structure is judged on the same shifts. Each atom is
// scored against each structure's predicted mean with one spread for all
// structures, the geometric mean of their spreads for it: with each
// structure's own spread, the heavy tails reward a vaguer prediction on
// atoms that fit no structure.
// REQUIRES: checks not empty.
StructureRanking rank_structures(const std::vector<AssignmentCheck>& checks);

}  // namespace mirelon

#endif  // MIRELON_CHECK_STRUCTURE_RANKING_H_
