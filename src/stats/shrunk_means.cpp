#include "stats/shrunk_means.h"

#include <set>

namespace mirelon {
namespace {

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
  for (size_t i = 0; i < kContextKeyLength; ++i) name += kMasks[level][i] == 'x' ? key[i] : '.';
  return name;
}

const CellMean* find_cell(const CellModel& model, const std::string& atom, const std::string& key,
                          int level) {
  const auto found = model.cells.find(cell_name(atom, key, level));
  return found == model.cells.end() ? nullptr : &found->second;
}

}  // namespace

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

double shrunk_mean(const CellModel& model, const std::string& atom, const std::string& key,
                   double base_mean, double strength) {
  const double own =
      shrink(find_cell(model, atom, key, kOwn), base_mean, kCoarseStrengthShare * strength);
  const double marks =
      shrink(find_cell(model, atom, key, kMarks), own, kCoarseStrengthShare * strength);
  const double before = shrink(find_cell(model, atom, key, kBefore), marks, strength);
  const double after = shrink(find_cell(model, atom, key, kAfter), marks, strength);
  const double both = shrink(find_cell(model, atom, key, kBoth), before + after - marks, strength);
  return shrink(find_cell(model, atom, key, kFull), both, strength);
}

std::vector<Residual> cross_validate(const std::vector<const Observation*>& kept,
                                     const std::vector<const Observation*>& screened,
                                     const std::vector<double>& strengths, size_t folds) {
  std::set<size_t> rna_set;
  for (const Observation* o : kept) rna_set.insert(o->rna);
  std::map<size_t, size_t> fold_of;
  for (size_t rna : rna_set) fold_of.emplace(rna, fold_of.size() % folds);
  std::vector<Residual> residuals;
  for (size_t fold = 0; fold < folds; ++fold) {
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
      for (double strength : strengths) {
        r.by_strength.push_back(o->value -
                                shrunk_mean(model, o->atom, o->key, base->second, strength));
      }
      residuals.push_back(std::move(r));
    }
  }
  return residuals;
}

}  // namespace mirelon
