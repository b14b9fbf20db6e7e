#include "stats/shrinkage_builder.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <string_view>
#include <tuple>
#include <utility>

#include "common/nuclei.h"
#include "common/prediction_levels.h"
#include "stats/shift_statistics.h"
#include "stats/shrunk_means.h"

namespace mirelon {
namespace {

// The interval count written in field 4 for the large-count row.
constexpr long kLargeCount = kMaxCountedObservations + 1;

// The calibration counts tried: the tail of Student's t with count - 1
// degrees of freedom widens the top levels against the middle ones.
constexpr long kCountCandidates[] = {3,  4,  5,  6,  7,  8,  10,  12,  15,
                                     20, 25, 30, 40, 60, 80, 100, 121, kLargeCount};

const MultiplierValues& row_of(const std::vector<MultiplierValues>& rows, long count) {
  const size_t index =
      count > kMaxCountedObservations ? kLargeCountRow - 1 : static_cast<size_t>(count - 2);
  return rows[std::min(index, rows.size() - 1)];
}

bool is_proton(const std::string& atom) { return atom_nucleus(atom) == kProton; }

double tolerance_floor(const std::string& atom) {
  return is_proton(atom) ? kProtonToleranceFloor : kHeavyToleranceFloor;
}

// `spread`, raised where its level-2 tolerance (with the level-2 multiplier
// `level2`) would fall under the floor of `atom`; the table prints spreads
// with four decimals, so a raised spread is rounded up to them.
double floored_spread(double spread, const std::string& atom, double level2) {
  const double least = tolerance_floor(atom) / level2;
  return spread >= least ? spread : std::ceil(least * 1e4) / 1e4;
}

// Root mean square of residuals, grouped.
struct SquareSum {
  double sum = 0;
  size_t n = 0;
  void add(double r) {
    sum += r * r;
    ++n;
  }
  double rms() const { return n == 0 ? 0 : std::sqrt(sum / static_cast<double>(n)); }
};

// Share of `ratios` (sorted) at or below `limit`, in percent.
double share_below(const std::vector<double>& ratios, double limit) {
  const auto end = std::upper_bound(ratios.begin(), ratios.end(), limit);
  return 100 * static_cast<double>(end - ratios.begin()) / static_cast<double>(ratios.size());
}

// The scale and count whose intervals hold shares of the sorted `ratios`
// (|residual| / spread) closest to the nominal shares of the levels: the
// least sum of squared differences in points, each divided by the square
// root of the level's nominal share of misses (100 - nominal); `widest` (the largest spread of a
// main atom, 0 otherwise) times the level-11 multiplier may not pass `cap`.
std::pair<double, long> calibrate(const std::vector<double>& ratios,
                                  const std::vector<MultiplierValues>& rows,
                                  const std::vector<long>& counts, double widest, double cap) {
  std::pair<double, long> best{1, kLargeCount};
  double best_cost = std::numeric_limits<double>::infinity();
  if (ratios.empty()) return best;
  for (long count : counts) {
    const MultiplierValues& row = row_of(rows, count);
    for (double scale = 0.3; scale <= 3.0; scale += 0.005) {
      if (widest > 0 && scale * widest * row.factors[kLevelCount - 1] > cap) break;
      double cost = 0;
      for (size_t level = 0; level < kLevelCount; ++level) {
        const double off =
            share_below(ratios, scale * row.factors[level]) - 100 * kLevelCoverages[level];
        // A point matters more where few shifts are to fall outside.
        cost += off * off / std::sqrt(100 - 100 * kLevelCoverages[level]);
      }
      if (cost < best_cost) {
        best_cost = cost;
        best = {scale, count};
      }
    }
  }
  return best;
}

std::string marks_of(const std::string& key) { return std::string{key[3], key[5], key[7]}; }

}  // namespace

bool is_main_atom(const std::string& atom) {
  static const std::set<std::string> kMain = {"H1'", "H2'", "H8", "H6", "H5",
                                              "H2",  "C1'", "C8", "C6", "C5"};
  return kMain.count(atom) != 0;
}

ShrunkTable build_shrunk_statistics(const std::vector<Observation>& observations,
                                    const std::map<std::string, size_t>& key_counts,
                                    const ShrinkageSettings& settings, const AtomRank& rank,
                                    const std::vector<MultiplierValues>& rows) {
  ShrunkTable result;
  // Base statistics and the outlier filter as in the raw table.
  BuildSettings raw_settings;
  raw_settings.outlier_k = settings.outlier_k;
  StatisticsTable raw = build_statistics(observations, raw_settings, rank);
  std::map<std::pair<std::string, std::string>, const BaseStatistic*> base_records;
  for (const BaseStatistic& b : raw.base) base_records[{b.base, b.atom}] = &b;
  // Kept: inside the outlier filter, for the means. Screened: inside the
  // wider limits within which shifts to predict are taken as real (the
  // evaluation's screen for errors of the data), for spreads and calibration.
  std::map<std::pair<std::string, std::string>, std::vector<double>> shifts_by_atom;
  for (const Observation& o : observations) shifts_by_atom[{o.base, o.atom}].push_back(o.value);
  std::map<std::pair<std::string, std::string>, ShiftLimits> screen;
  for (const auto& [base_atom, v] : shifts_by_atom) {
    screen.emplace(base_atom, outlier_limits(v, settings.screen_k));
  }
  std::vector<const Observation*> kept, screened;
  for (const Observation& o : observations) {
    const auto base = base_records.find({o.base, o.atom});
    if (base == base_records.end() || o.key.size() != kContextKeyLength) continue;
    if (base->second->limits.contains(o.value)) kept.push_back(&o);
    if (screen.at({o.base, o.atom}).contains(o.value)) screened.push_back(&o);
  }

  // Strength per atom: the candidate of least cross-validated squared error
  // (on the kept observations: outliers would pull it).
  const std::vector<Residual> residuals =
      cross_validate(kept, screened, settings.strengths, settings.folds);
  std::map<std::string, std::vector<double>> errors;  // atom -> sum of squares per strength
  for (const Residual& r : residuals) {
    if (!base_records.at({r.observation->base, r.observation->atom})
             ->limits.contains(r.observation->value)) {
      continue;
    }
    auto& sums = errors[r.observation->atom];
    sums.resize(settings.strengths.size());
    for (size_t s = 0; s < sums.size(); ++s) sums[s] += r.by_strength[s] * r.by_strength[s];
  }
  std::map<std::string, size_t> strength_index;
  for (const auto& [atom, sums] : errors) {
    strength_index[atom] =
        static_cast<size_t>(std::min_element(sums.begin(), sums.end()) - sums.begin());
  }
  auto strength_of = [&](const std::string& atom) {
    const auto found = strength_index.find(atom);
    const size_t middle = settings.strengths.size() / 2;
    return settings.strengths[found == strength_index.end() ? middle : found->second];
  };
  auto residual_of = [&](const Residual& r) {
    const auto found = strength_index.find(r.observation->atom);
    return r
        .by_strength[found == strength_index.end() ? settings.strengths.size() / 2 : found->second];
  };

  // Spreads: RMS residual per base, atom and own mark, refined per marks of
  // the neighbours with spread_pseudo_count pseudo-observations; from the
  // base mean per base and atom.
  using Group = std::tuple<std::string, std::string, std::string>;
  std::map<Group, SquareSum> by_own, by_marks;
  std::map<std::pair<std::string, std::string>, SquareSum> by_base;
  for (const Residual& r : residuals) {
    const Observation& o = *r.observation;
    const std::string marks = marks_of(o.key);
    by_own[{o.base, o.atom, marks.substr(1, 1)}].add(residual_of(r));
    by_marks[{o.base, o.atom, marks}].add(residual_of(r));
    by_base[{o.base, o.atom}].add(r.from_base);
  }
  auto base_spread = [&](const BaseStatistic& b) {
    const auto found = by_base.find({b.base, b.atom});
    return found == by_base.end() || found->second.n < 2 ? b.summary.sd : found->second.rms();
  };
  auto context_spread = [&](const BaseStatistic& b, const std::string& key) {
    const std::string marks = marks_of(key);
    const auto own = by_own.find({b.base, b.atom, marks.substr(1, 1)});
    const double coarse =
        own == by_own.end() || own->second.n < 2 ? base_spread(b) : own->second.rms();
    const auto fine = by_marks.find({b.base, b.atom, marks});
    if (fine == by_marks.end()) return coarse;
    const double k = settings.spread_pseudo_count;
    return std::sqrt((fine->second.sum + k * coarse * coarse) /
                     (static_cast<double>(fine->second.n) + k));
  };

  // Calibration per atom name: scale and count of the context records, the
  // scale of the base statistics (large-count row).
  std::map<std::string, std::vector<double>> ratios, base_ratios;
  std::map<std::string, double> widest;
  for (const Residual& r : residuals) {
    const Observation& o = *r.observation;
    const BaseStatistic& b = *base_records.at({o.base, o.atom});
    const double spread = context_spread(b, o.key);
    if (spread > 0) ratios[o.atom].push_back(std::fabs(residual_of(r)) / spread);
    const double spread0 = base_spread(b);
    if (spread0 > 0) base_ratios[o.atom].push_back(std::fabs(r.from_base) / spread0);
  }
  for (const auto& [group, sum] : by_marks) {
    const BaseStatistic& b = *base_records.at({std::get<0>(group), std::get<1>(group)});
    const std::string& marks = std::get<2>(group);
    const std::string probe = std::string("...") + marks[0] + '.' + marks[1] + '.' + marks[2];
    double& w = widest[b.atom];
    w = std::max(w, context_spread(b, probe));
  }
  const std::vector<long> counts(std::begin(kCountCandidates), std::end(kCountCandidates));
  const std::vector<long> large_only = {kLargeCount};
  std::map<std::string, AtomCalibration> calibration;
  for (auto& [atom, list] : ratios) {
    std::sort(list.begin(), list.end());
    AtomCalibration c;
    c.atom = atom;
    c.strength = strength_of(atom);
    c.residuals = list.size();
    const double cap = is_proton(atom) ? kProtonToleranceCap : kHeavyToleranceCap;
    std::tie(c.scale, c.count) =
        calibrate(list, rows, counts, is_main_atom(atom) ? widest[atom] : 0, cap);
    auto& base_list = base_ratios[atom];
    std::sort(base_list.begin(), base_list.end());
    c.base_scale = calibrate(base_list, rows, large_only, 0, 0).first;
    calibration[atom] = c;
  }
  auto calibration_of = [&](const std::string& atom) {
    const auto found = calibration.find(atom);
    if (found != calibration.end()) return found->second;
    AtomCalibration c;
    c.atom = atom;
    c.strength = strength_of(atom);
    c.count = kLargeCount;
    return c;
  };
  const double level2_large = row_of(rows, kLargeCount).factors[1];

  // Base statistics: calibrated spreads, never below the floor at level 2.
  result.table.observations = raw.observations;
  result.table.removed = raw.removed;
  result.table.shrunk = true;
  result.table.base = raw.base;
  for (BaseStatistic& b : result.table.base) {
    const AtomCalibration c = calibration_of(b.atom);
    b.summary.sd = floored_spread(c.base_scale * base_spread(b), b.atom, level2_large);
  }

  // Candidates: every possible key for every atom with base statistics,
  // ranked by how often the key occurs times how far its shrunk mean lies
  // from the base mean, main atoms first.
  const CellModel model = fit_cells(kept);
  std::map<std::pair<std::string, std::string>, std::vector<const Observation*>> cell_values;
  for (const Observation* o : kept) cell_values[{o->atom, o->key}].push_back(o);
  struct Candidate {
    bool main;
    double score;
    const BaseStatistic* base;
    int rank;
    std::string key;
    double mean;
  };
  std::vector<Candidate> candidates;
  for (const std::string& key : possible_context_keys()) {
    const std::string own(1, key[4]);
    const auto count = key_counts.find(key);
    const double frequency = count == key_counts.end() ? 0 : static_cast<double>(count->second);
    for (const BaseStatistic& b : raw.base) {
      if (b.base != own) continue;
      const double base_mean = model.base_means.count({b.base, b.atom}) != 0
                                   ? model.base_means.at({b.base, b.atom})
                                   : b.summary.mean;
      const double mean = shrunk_mean(model, b.atom, key, base_mean, strength_of(b.atom));
      candidates.push_back({is_main_atom(b.atom), frequency * std::fabs(mean - b.summary.mean), &b,
                            rank(b.base, b.atom), key, mean});
    }
  }
  result.candidates = candidates.size();
  auto order = [](const Candidate& a, const Candidate& b) {
    if ((a.score > 0) != (b.score > 0)) return a.score > 0;
    if (a.main != b.main) return a.main;
    if (a.score != b.score) return a.score > b.score;
    return std::tie(a.base->base, a.rank, a.key) < std::tie(b.base->base, b.rank, b.key);
  };
  const size_t written = std::min(settings.max_records, candidates.size());
  std::partial_sort(candidates.begin(), candidates.begin() + static_cast<long>(written),
                    candidates.end(), order);
  candidates.resize(written);
  std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
    return std::tie(a.base->base, a.rank, a.key) < std::tie(b.base->base, b.rank, b.key);
  });

  for (const Candidate& candidate : candidates) {
    const BaseStatistic& b = *candidate.base;
    const AtomCalibration c = calibration_of(b.atom);
    ContextStatistic record;
    record.atom = b.atom;
    record.base = b.base;
    record.key = candidate.key;
    std::vector<double> values;
    std::set<size_t> rnas;
    const auto found = cell_values.find({b.atom, candidate.key});
    if (found != cell_values.end()) {
      for (const Observation* o : found->second) {
        values.push_back(o->value);
        rnas.insert(o->rna);
      }
    }
    record.summary = summarize(std::move(values));
    record.rnas = rnas.size();
    record.mean = candidate.mean;
    record.base_offset = candidate.mean - b.summary.mean;
    record.calibration_count = c.count;
    const double level2 = row_of(rows, c.count).factors[1];
    record.spread = floored_spread(c.scale * context_spread(b, candidate.key), b.atom, level2);
    const auto count = key_counts.find(candidate.key);
    record.key_frequency = count == key_counts.end() ? 0 : count->second;
    record.strength = c.strength;
    result.table.context.push_back(std::move(record));
  }
  for (const auto& [atom, c] : calibration) result.calibration.push_back(c);
  return result;
}

}  // namespace mirelon
