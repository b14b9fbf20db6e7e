#include "stats/shrinkage_builder.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <utility>

#include "common/prediction_levels.h"
#include "stats/shift_statistics.h"

namespace mirelon {
namespace {

// Positions in a context key: base and mark of two before (0, 1), one
// before (2, 3), the nucleotide itself (4, 5) and the one after (6, 7).
constexpr size_t kKeyLength = 8;

// The contexts of the hierarchy, coarse to fine, as the key positions each
// keeps (the others are masked):
//   own      own base and mark
//   marks    mark before, own base and mark, mark after
//   before   base and mark before, own, mark after
//   after    mark before, own, base and mark after
//   both     base and mark before, own, base and mark after
//   full     the whole key
enum Level { kOwn, kMarks, kBefore, kAfter, kBoth, kFull, kLevels };
constexpr const char* kMasks[kLevels] = {"....xx..", "...xxx.x", "..xxxx.x",
                                         "...xxxxx", "..xxxxxx", "xxxxxxxx"};

std::string cell_name(const std::string& atom, const std::string& key, int level) {
  std::string name = atom;
  name += ' ';
  for (size_t i = 0; i < kKeyLength; ++i) name += kMasks[level][i] == 'x' ? key[i] : '.';
  return name;
}

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

bool is_proton(const std::string& atom) { return !atom.empty() && atom[0] == 'H'; }

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

// The mean of the per-RNA means of every cell of the hierarchy, and the mean
// of each base and atom, from one set of observations.
struct CellModel {
  std::unordered_map<std::string, CellMean> cells;
  std::map<std::pair<std::string, std::string>, double> base_means;  // (base, atom)
};

CellModel fit_cells(const std::vector<const Observation*>& observations) {
  CellModel model;
  // (cell, rna) -> sum and count
  std::unordered_map<std::string, std::map<size_t, std::pair<double, size_t>>> per_rna;
  std::map<std::pair<std::string, std::string>, std::pair<double, size_t>> base_sums;
  for (const Observation* o : observations) {
    auto& base = base_sums[{o->base, o->atom}];
    base.first += o->value;
    ++base.second;
    for (int level = 0; level < kLevels; ++level) {
      auto& sum = per_rna[cell_name(o->atom, o->key, level)][o->rna];
      sum.first += o->value;
      ++sum.second;
    }
  }
  for (const auto& [name, rnas] : per_rna) {
    CellMean cell;
    double sum = 0;
    for (const auto& [rna, values] : rnas) sum += values.first / static_cast<double>(values.second);
    cell.rnas = rnas.size();
    cell.mean = sum / static_cast<double>(cell.rnas);
    model.cells.emplace(name, cell);
  }
  for (const auto& [base_atom, sum] : base_sums) {
    model.base_means[base_atom] = sum.first / static_cast<double>(sum.second);
  }
  return model;
}

const CellMean* find_cell(const CellModel& model, const std::string& atom, const std::string& key,
                          int level) {
  const auto found = model.cells.find(cell_name(atom, key, level));
  return found == model.cells.end() ? nullptr : &found->second;
}

// The shrunk mean of `atom` in `key`, from the base mean `prior` down the
// hierarchy: the two coarse levels with 0.3 L, the finer ones with L; the
// context of both neighbours starts from the sum of the one-sided contexts
// minus the level they share.
double shrunk_mean(const CellModel& model, const std::string& atom, const std::string& key,
                   double base_mean, double strength) {
  const double own = shrink(find_cell(model, atom, key, kOwn), base_mean, 0.3 * strength);
  const double marks = shrink(find_cell(model, atom, key, kMarks), own, 0.3 * strength);
  const double before = shrink(find_cell(model, atom, key, kBefore), marks, strength);
  const double after = shrink(find_cell(model, atom, key, kAfter), marks, strength);
  const double both = shrink(find_cell(model, atom, key, kBoth), before + after - marks, strength);
  return shrink(find_cell(model, atom, key, kFull), both, strength);
}

// One cross-validated residual: the observation, its residual for every
// candidate strength and its residual from the base mean.
struct Residual {
  const Observation* observation;
  std::vector<double> by_strength;
  double from_base;
};

// Residuals of `tested` (which may hold shifts the outlier filter leaves
// out, as the shifts a table will predict do) from means learnt on `kept`,
// 5-fold by RNA.
std::vector<Residual> cross_validate(const std::vector<const Observation*>& kept,
                                     const std::vector<const Observation*>& screened,
                                     const ShrinkageSettings& settings) {
  std::set<size_t> rna_set;
  for (const Observation* o : kept) rna_set.insert(o->rna);
  std::map<size_t, size_t> fold_of;
  for (size_t rna : rna_set) fold_of.emplace(rna, fold_of.size() % settings.folds);
  std::vector<Residual> residuals;
  for (size_t fold = 0; fold < settings.folds; ++fold) {
    std::vector<const Observation*> training, tested;
    for (const Observation* o : kept) {
      if (fold_of[o->rna] != fold) training.push_back(o);
    }
    for (const Observation* o : screened) {
      const auto found = fold_of.find(o->rna);
      if (found != fold_of.end() && found->second == fold) tested.push_back(o);
    }
    if (tested.empty() || training.empty()) continue;
    const CellModel model = fit_cells(training);
    for (const Observation* o : tested) {
      const auto base = model.base_means.find({o->base, o->atom});
      if (base == model.base_means.end()) continue;
      Residual r{o, {}, o->value - base->second};
      for (double strength : settings.strengths) {
        r.by_strength.push_back(o->value -
                                shrunk_mean(model, o->atom, o->key, base->second, strength));
      }
      residuals.push_back(std::move(r));
    }
  }
  return residuals;
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

std::vector<std::string> possible_context_keys() {
  std::vector<std::string> pieces = {"0o"};
  for (const char* base : {"A", "C", "G", "U"}) {
    for (const char* mark : {"w", "o"}) pieces.push_back(std::string(base) + mark);
  }
  std::vector<std::string> keys;
  for (size_t own = 1; own < pieces.size(); ++own) {
    for (const std::string& before : pieces) {
      for (const std::string& two_before : pieces) {
        if (before == "0o" && two_before != "0o") continue;
        for (const std::string& after : pieces) {
          std::string key = two_before;
          key += before;
          key += pieces[own];
          key += after;
          keys.push_back(std::move(key));
        }
      }
    }
  }
  return keys;
}

double shrink(const CellMean* cell, double prior, double strength) {
  if (cell == nullptr || cell->rnas == 0) return prior;
  const double w = static_cast<double>(cell->rnas);
  return (w * cell->mean + strength * prior) / (w + strength);
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
    if (base == base_records.end() || o.key.size() != kKeyLength) continue;
    if (base->second->limits.contains(o.value)) kept.push_back(&o);
    if (screen.at({o.base, o.atom}).contains(o.value)) screened.push_back(&o);
  }

  // Strength per atom: the candidate of least cross-validated squared error
  // (on the kept observations: outliers would pull it).
  const std::vector<Residual> residuals = cross_validate(kept, screened, settings);
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
