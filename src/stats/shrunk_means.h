// The hierarchy of contexts behind the shrunk statistics table: cells of one
// atom in ever finer contexts, the mean of each cell shrunk towards that of
// the coarser one, and the residuals of these means cross-validated by RNA.
#ifndef MIRELON_STATS_SHRUNK_MEANS_H_
#define MIRELON_STATS_SHRUNK_MEANS_H_

#include <cstddef>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "stats/stats_builder.h"

namespace mirelon {

// Positions in a context key: base and mark of two before (0, 1), one
// before (2, 3), the nucleotide itself (4, 5) and the one after (6, 7).
inline constexpr size_t kContextKeyLength = 8;

// All context keys a structure can produce for a nucleotide of base A, C, G
// or U: neighbours A, C, G, U with mark w or o, or 0o where missing; the
// own piece never 0o; two-before is 0o whenever one-before is.
std::vector<std::string> possible_context_keys();

// A cell of the hierarchy (one atom in one context, coarse or fine) and the
// shrinkage of its mean towards the prior of the coarser level.
struct CellMean {
  double mean = 0;  // mean of the per-RNA means
  size_t rnas = 0;  // w
};
// (w y + L prior) / (w + L) with w the RNAs and y the mean of the cell; the
// prior for an absent or empty cell.
double shrink(const CellMean* cell, double prior, double strength);

// The mean of the per-RNA means of every cell of the hierarchy, and the mean
// of each base and atom, from one set of observations.
struct CellModel {
  std::unordered_map<std::string, CellMean> cells;
  std::map<std::pair<std::string, std::string>, double> base_means;  // (base, atom)
};

// Fits the cells of every level to `observations` (keys of kContextKeyLength).
CellModel fit_cells(const std::vector<const Observation*>& observations);

// The share of the strength L with which the two coarse levels of the
// hierarchy (own base and mark; marks before and after) are shrunk.
inline constexpr double kCoarseStrengthShare = 0.3;

// The shrunk mean of `atom` in `key`, from the base mean `prior` down the
// hierarchy: the two coarse levels with kCoarseStrengthShare L, the finer
// ones with L; the
// context of both neighbours starts from the sum of the one-sided contexts
// minus the level they share.
double shrunk_mean(const CellModel& model, const std::string& atom, const std::string& key,
                   double base_mean, double strength);

// One cross-validated residual: the observation, its residual for every
// candidate strength and its residual from the base mean.
struct Residual {
  const Observation* observation;
  std::vector<double> by_strength;
  double from_base;
};

// Residuals of `screened` (which may hold shifts the outlier filter leaves
// out, as the shifts a table will predict do) from means learnt on `kept`
// with each of `strengths`, `folds`-fold by RNA.
std::vector<Residual> cross_validate(const std::vector<const Observation*>& kept,
                                     const std::vector<const Observation*>& screened,
                                     const std::vector<double>& strengths, size_t folds);

}  // namespace mirelon

#endif  // MIRELON_STATS_SHRUNK_MEANS_H_
