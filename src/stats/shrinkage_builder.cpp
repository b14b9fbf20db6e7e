#include "stats/shrinkage_builder.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

#include "common/nuclei.h"
#include "common/prediction_levels.h"

namespace mirelon {
namespace {

// The calibration counts tried: the tail of Student's t with count - 1
// degrees of freedom widens the top levels against the middle ones.
constexpr long kCountCandidates[] = {3,  4,  5,  6,  7,  8,  10,  12,  15,
                                     20, 25, 30, 40, 60, 80, 100, 121, kLargeCount};

const MultiplierValues& row_of(const std::vector<MultiplierValues>& rows, long count) {
  return rows[std::min(multiplier_row_index(count), rows.size() - 1)];
}

bool is_proton(const std::string& atom) { return atom_nucleus(atom) == kProton; }

// Share of `ratios` (sorted) at or below `limit`, in percent.
double share_below(const std::vector<double>& ratios, double limit) {
  const auto end = std::upper_bound(ratios.begin(), ratios.end(), limit);
  return 100 * static_cast<double>(end - ratios.begin()) / static_cast<double>(ratios.size());
}

// The distance of the shares of `ratios` inside the intervals of `row` at
// `scale` from the nominal shares (see calibrate_intervals).
double calibration_cost(const std::vector<double>& ratios, const MultiplierValues& row,
                        double scale) {
  double cost = 0;
  for (size_t level = 0; level < kLevelCount; ++level) {
    const double off =
        share_below(ratios, scale * row.factors[level]) - 100 * kLevelCoverages[level];
    // A point matters more where few shifts are to fall outside.
    cost += off * off / std::sqrt(100 - 100 * kLevelCoverages[level]);
  }
  return cost;
}

std::string marks_of(const std::string& key) { return std::string{key[3], key[5], key[7]}; }

std::map<BaseAndAtom, const BaseStatistic*> index_base(const std::vector<BaseStatistic>& base) {
  std::map<BaseAndAtom, const BaseStatistic*> index;
  for (const BaseStatistic& b : base) index[{b.base, b.atom}] = &b;
  return index;
}

// The calibration of `atom`; for an atom without one, scale 1, the
// large-count row and the strength `strength`.
AtomCalibration calibration_of(const std::map<std::string, AtomCalibration>& calibration,
                               const std::string& atom, double strength) {
  const auto found = calibration.find(atom);
  if (found != calibration.end()) return found->second;
  AtomCalibration c;
  c.atom = atom;
  c.strength = strength;
  c.count = kLargeCount;
  return c;
}

}  // namespace

bool is_main_atom(std::string_view atom) {
  return std::find(kMainAtoms.begin(), kMainAtoms.end(), atom) != kMainAtoms.end();
}

ShrinkageSettings shrinkage_settings(const BuildSettings& build) {
  ShrinkageSettings settings;
  settings.outlier_k = build.outlier_k;
  return settings;
}

std::map<BaseAndAtom, ShiftLimits> screen_limits(const std::vector<Observation>& observations,
                                                 double k) {
  std::map<BaseAndAtom, std::vector<double>> values;
  for (const Observation& o : observations) values[{o.base, o.atom}].push_back(o.value);
  std::map<BaseAndAtom, ShiftLimits> limits;
  for (const auto& [base_atom, v] : values) limits.emplace(base_atom, outlier_limits(v, k));
  return limits;
}

ScreenedObservations screen_observations(const std::vector<Observation>& observations,
                                         const std::vector<BaseStatistic>& base, double screen_k) {
  const std::map<BaseAndAtom, const BaseStatistic*> records = index_base(base);
  const std::map<BaseAndAtom, ShiftLimits> screen = screen_limits(observations, screen_k);
  ScreenedObservations result;
  for (const Observation& o : observations) {
    const auto record = records.find({o.base, o.atom});
    if (record == records.end() || o.key.size() != kContextKeyLength) continue;
    if (record->second->limits.contains(o.value)) result.kept.push_back(&o);
    if (screen.at({o.base, o.atom}).contains(o.value)) result.screened.push_back(&o);
  }
  return result;
}

size_t StrengthChoice::index(const std::string& atom) const {
  const auto found = chosen.find(atom);
  return found == chosen.end() ? middle : found->second;
}

StrengthChoice choose_strengths(const std::vector<Residual>& residuals,
                                const std::vector<BaseStatistic>& base, size_t strength_count) {
  const std::map<BaseAndAtom, const BaseStatistic*> records = index_base(base);
  std::map<std::string, std::vector<double>> errors;  // atom -> sum of squares per strength
  for (const Residual& r : residuals) {
    const Observation& o = *r.observation;
    if (!records.at({o.base, o.atom})->limits.contains(o.value)) continue;
    auto& sums = errors[o.atom];
    sums.resize(strength_count);
    for (size_t s = 0; s < sums.size(); ++s) sums[s] += r.by_strength[s] * r.by_strength[s];
  }
  StrengthChoice choice;
  choice.middle = strength_count / 2;
  for (const auto& [atom, sums] : errors) {
    choice.chosen[atom] =
        static_cast<size_t>(std::min_element(sums.begin(), sums.end()) - sums.begin());
  }
  return choice;
}

void ResidualSpreads::SquareSum::add(double r) {
  sum += r * r;
  ++n;
}

double ResidualSpreads::SquareSum::rms() const {
  return n == 0 ? 0 : std::sqrt(sum / static_cast<double>(n));
}

ResidualSpreads::ResidualSpreads(const std::vector<Residual>& residuals,
                                 const StrengthChoice& choice, double pseudo_count)
    : pseudo_count_(pseudo_count) {
  for (const Residual& r : residuals) {
    const Observation& o = *r.observation;
    const std::string marks = marks_of(o.key);
    by_own_[{o.base, o.atom, marks.substr(1, 1)}].add(choice.residual(r));
    by_marks_[{o.base, o.atom, marks}].add(choice.residual(r));
    by_base_[{o.base, o.atom}].add(r.from_base);
  }
}

double ResidualSpreads::base_spread(const BaseStatistic& b) const {
  const auto found = by_base_.find({b.base, b.atom});
  return found == by_base_.end() || found->second.n < 2 ? b.summary.sd : found->second.rms();
}

double ResidualSpreads::context_spread(const BaseStatistic& b, const std::string& key) const {
  const std::string marks = marks_of(key);
  const auto own = by_own_.find({b.base, b.atom, marks.substr(1, 1)});
  const double coarse =
      own == by_own_.end() || own->second.n < 2 ? base_spread(b) : own->second.rms();
  const auto fine = by_marks_.find({b.base, b.atom, marks});
  if (fine == by_marks_.end()) return coarse;
  const double k = pseudo_count_;
  return std::sqrt((fine->second.sum + k * coarse * coarse) /
                   (static_cast<double>(fine->second.n) + k));
}

std::map<std::string, double> ResidualSpreads::widest(
    const std::vector<BaseStatistic>& base) const {
  const std::map<BaseAndAtom, const BaseStatistic*> records = index_base(base);
  std::map<std::string, double> widest;
  for (const auto& [group, sum] : by_marks_) {
    const BaseStatistic& b = *records.at({std::get<0>(group), std::get<1>(group)});
    const std::string& marks = std::get<2>(group);
    const std::string probe = std::string("...") + marks[0] + '.' + marks[1] + '.' + marks[2];
    double& w = widest[b.atom];
    w = std::max(w, context_spread(b, probe));
  }
  return widest;
}

std::pair<double, long> calibrate_intervals(const std::vector<double>& ratios,
                                            const std::vector<MultiplierValues>& rows,
                                            const std::vector<long>& counts, double widest,
                                            double cap) {
  std::pair<double, long> best{1, kLargeCount};
  double best_cost = std::numeric_limits<double>::infinity();
  if (ratios.empty()) return best;
  for (long count : counts) {
    const MultiplierValues& row = row_of(rows, count);
    for (double scale = 0.3; scale <= 3.0; scale += 0.005) {
      if (widest > 0 && scale * widest * row.factors[kLevelCount - 1] > cap) break;
      const double cost = calibration_cost(ratios, row, scale);
      if (cost < best_cost) {
        best_cost = cost;
        best = {scale, count};
      }
    }
  }
  return best;
}

std::map<std::string, AtomCalibration> calibrate_atoms(const std::vector<Residual>& residuals,
                                                       const std::vector<BaseStatistic>& base,
                                                       const StrengthChoice& choice,
                                                       const ResidualSpreads& spreads,
                                                       const std::vector<double>& strengths,
                                                       const std::vector<MultiplierValues>& rows) {
  const std::map<BaseAndAtom, const BaseStatistic*> records = index_base(base);
  std::map<std::string, std::vector<double>> ratios, base_ratios;
  for (const Residual& r : residuals) {
    const Observation& o = *r.observation;
    const BaseStatistic& b = *records.at({o.base, o.atom});
    const double spread = spreads.context_spread(b, o.key);
    if (spread > 0) ratios[o.atom].push_back(std::fabs(choice.residual(r)) / spread);
    const double spread0 = spreads.base_spread(b);
    if (spread0 > 0) base_ratios[o.atom].push_back(std::fabs(r.from_base) / spread0);
  }
  std::map<std::string, double> widest = spreads.widest(base);
  const std::vector<long> counts(std::begin(kCountCandidates), std::end(kCountCandidates));
  std::map<std::string, AtomCalibration> calibration;
  for (auto& [atom, list] : ratios) {
    std::sort(list.begin(), list.end());
    AtomCalibration c;
    c.atom = atom;
    c.strength = strengths[choice.index(atom)];
    c.residuals = list.size();
    const double cap = is_proton(atom) ? kProtonToleranceCap : kHeavyToleranceCap;
    std::tie(c.scale, c.count) =
        calibrate_intervals(list, rows, counts, is_main_atom(atom) ? widest[atom] : 0, cap);
    auto& base_list = base_ratios[atom];
    std::sort(base_list.begin(), base_list.end());
    c.base_scale = calibrate_intervals(base_list, rows, {kLargeCount}, 0, 0).first;
    calibration[atom] = c;
  }
  return calibration;
}

double floored_spread(double spread, const std::string& atom, double level2) {
  const double floor = is_proton(atom) ? kProtonToleranceFloor : kHeavyToleranceFloor;
  const double least = floor / level2;
  return spread >= least ? spread : std::ceil(least * 1e4) / 1e4;
}

std::vector<BaseStatistic> calibrated_base_statistics(
    const std::vector<BaseStatistic>& raw,
    const std::map<std::string, AtomCalibration>& calibration, const ResidualSpreads& spreads,
    const std::vector<MultiplierValues>& rows) {
  const double level2 = row_of(rows, kLargeCount).factors[1];
  std::vector<BaseStatistic> base = raw;
  for (BaseStatistic& b : base) {
    const auto found = calibration.find(b.atom);
    const double scale = found == calibration.end() ? 1 : found->second.base_scale;
    b.summary.sd = floored_spread(scale * spreads.base_spread(b), b.atom, level2);
  }
  return base;
}

std::vector<RecordCandidate> record_candidates(
    const CellModel& model, const std::vector<BaseStatistic>& base,
    const std::map<std::string, size_t>& key_counts,
    const std::function<double(const std::string&)>& strength_of, const AtomRank& rank) {
  std::vector<RecordCandidate> candidates;
  for (const std::string& key : possible_context_keys()) {
    const std::string own(1, key[4]);
    const auto count = key_counts.find(key);
    const double frequency = count == key_counts.end() ? 0 : static_cast<double>(count->second);
    for (const BaseStatistic& b : base) {
      if (b.base != own) continue;
      const auto model_mean = model.base_means.find({b.base, b.atom});
      const double base_mean =
          model_mean != model.base_means.end() ? model_mean->second : b.summary.mean;
      const double mean = shrunk_mean(model, b.atom, key, base_mean, strength_of(b.atom));
      candidates.push_back({is_main_atom(b.atom), frequency * std::fabs(mean - b.summary.mean), &b,
                            rank(b.base, b.atom), key, mean});
    }
  }
  return candidates;
}

void select_candidates(std::vector<RecordCandidate>* candidates, size_t max_records) {
  auto table_order = [](const RecordCandidate& a, const RecordCandidate& b) {
    return std::tie(a.base->base, a.rank, a.key) < std::tie(b.base->base, b.rank, b.key);
  };
  auto order = [&](const RecordCandidate& a, const RecordCandidate& b) {
    if ((a.score > 0) != (b.score > 0)) return a.score > 0;
    if (a.main != b.main) return a.main;
    if (a.score != b.score) return a.score > b.score;
    return table_order(a, b);
  };
  const size_t written = std::min(max_records, candidates->size());
  std::partial_sort(candidates->begin(), candidates->begin() + static_cast<long>(written),
                    candidates->end(), order);
  candidates->resize(written);
  std::sort(candidates->begin(), candidates->end(), table_order);
}

ContextStatistic context_record(const RecordCandidate& candidate,
                                const std::vector<const Observation*>& observed,
                                const AtomCalibration& calibration, const ResidualSpreads& spreads,
                                const std::map<std::string, size_t>& key_counts,
                                const std::vector<MultiplierValues>& rows) {
  const BaseStatistic& b = *candidate.base;
  ContextStatistic record;
  record.atom = b.atom;
  record.base = b.base;
  record.key = candidate.key;
  std::vector<double> values;
  std::set<size_t> rnas;
  for (const Observation* o : observed) {
    values.push_back(o->value);
    rnas.insert(o->rna);
  }
  record.summary = summarize(std::move(values));
  record.rnas = rnas.size();
  record.mean = candidate.mean;
  record.base_offset = candidate.mean - b.summary.mean;
  record.calibration_count = calibration.count;
  const double level2 = row_of(rows, calibration.count).factors[1];
  record.spread =
      floored_spread(calibration.scale * spreads.context_spread(b, candidate.key), b.atom, level2);
  const auto count = key_counts.find(candidate.key);
  record.key_frequency = count == key_counts.end() ? 0 : count->second;
  record.strength = calibration.strength;
  return record;
}

ShrunkTable build_shrunk_statistics(const std::vector<Observation>& observations,
                                    const std::map<std::string, size_t>& key_counts,
                                    const ShrinkageSettings& settings, const AtomRank& rank,
                                    const std::vector<MultiplierValues>& rows) {
  // Base statistics and the outlier filter as in the raw table.
  BuildSettings raw_settings;
  raw_settings.outlier_k = settings.outlier_k;
  const StatisticsTable raw = build_statistics(observations, raw_settings, rank);
  const ScreenedObservations screened =
      screen_observations(observations, raw.base, settings.screen_k);
  const std::vector<Residual> residuals =
      cross_validate(screened.kept, screened.screened, settings.strengths, settings.folds);
  const StrengthChoice choice = choose_strengths(residuals, raw.base, settings.strengths.size());
  auto strength_of = [&](const std::string& atom) {
    return settings.strengths[choice.index(atom)];
  };
  const ResidualSpreads spreads(residuals, choice, settings.spread_pseudo_count);
  const std::map<std::string, AtomCalibration> calibration =
      calibrate_atoms(residuals, raw.base, choice, spreads, settings.strengths, rows);

  ShrunkTable result;
  result.settings = settings;
  result.table.observations = raw.observations;
  result.table.removed = raw.removed;
  result.table.shrunk = true;
  result.table.base = calibrated_base_statistics(raw.base, calibration, spreads, rows);
  std::vector<RecordCandidate> candidates =
      record_candidates(fit_cells(screened.kept), raw.base, key_counts, strength_of, rank);
  result.candidates = candidates.size();
  select_candidates(&candidates, settings.max_records);
  std::map<std::pair<std::string, std::string>, std::vector<const Observation*>> cell_values;
  for (const Observation* o : screened.kept) cell_values[{o->atom, o->key}].push_back(o);
  const std::vector<const Observation*> none;
  for (const RecordCandidate& candidate : candidates) {
    const auto observed = cell_values.find({candidate.base->atom, candidate.key});
    result.table.context.push_back(context_record(
        candidate, observed == cell_values.end() ? none : observed->second,
        calibration_of(calibration, candidate.base->atom, strength_of(candidate.base->atom)),
        spreads, key_counts, rows));
  }
  for (const auto& [atom, c] : calibration) result.calibration.push_back(c);
  return result;
}

}  // namespace mirelon
