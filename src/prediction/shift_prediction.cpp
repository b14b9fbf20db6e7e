#include "prediction/shift_prediction.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "common/messages.h"
#include "common/numbers.h"
#include "common/options.h"

namespace mirelon {

namespace {

// Bases with a catalogue, in the order of the masks below; any other base
// letter has class kOtherBase.
constexpr std::array<std::string_view, 4> kBases = {"A", "C", "G", "U"};
constexpr size_t kOtherBase = kBases.size();
// Entry bound charge per residue, by base class, and once per run.
constexpr std::array<long long, kBases.size() + 1> kBoundPerResidue = {27, 24, 27, 22, 30};
constexpr long long kBoundExtra = 10;
size_t base_class(std::string_view base) {
  for (size_t b = 0; b < kBases.size(); ++b) {
    if (base == kBases[b]) return b;
  }
  return kOtherBase;
}

// A name of some base's catalogue: bit b of `bases` is set when the name is
// in the catalogue of kBases[b]; `id` numbers the distinct names from 0.
struct CatalogueAtom {
  unsigned bases = 0;
  unsigned id = 0;
};

// Distinct names in all catalogues together; each has a bit in an AtomSet.
using AtomSet = uint64_t;
constexpr size_t kMostCatalogueAtoms = 64;

// Catalogue names hold at most four bytes: a name packs into one integer,
// its bytes and its length, and is found among the sorted packed names by
// binary search instead of by hashing its text.
constexpr size_t kMostNameBytes = 4;

uint64_t packed_name(std::string_view name) {
  uint64_t packed = name.size();
  for (char c : name) packed = (packed << 8) | static_cast<unsigned char>(c);
  return packed;
}

// A packed name and its catalogue entry.
using PackedAtom = std::pair<uint64_t, CatalogueAtom>;

const std::vector<PackedAtom>& catalogue_atoms() {
  static const std::vector<PackedAtom> atoms = [] {
    std::unordered_map<std::string_view, CatalogueAtom> by_name;
    for (size_t b = 0; b < kBases.size(); ++b) {
      for (std::string_view name : atom_catalogue(kBases[b])) {
        if (name.size() > kMostNameBytes) std::abort();  // the catalogues are fixed
        const auto [it, added] = by_name.try_emplace(name);
        if (added) it->second.id = static_cast<unsigned>(by_name.size() - 1);
        it->second.bases |= 1u << b;
      }
    }
    if (by_name.size() > kMostCatalogueAtoms) std::abort();
    std::vector<PackedAtom> result;
    result.reserve(by_name.size());
    for (const auto& [name, atom] : by_name) result.emplace_back(packed_name(name), atom);
    std::sort(result.begin(), result.end(),
              [](const PackedAtom& a, const PackedAtom& b) { return a.first < b.first; });
    return result;
  }();
  return atoms;
}

// The catalogue entry of `atom`; no bases for a name in no catalogue.
CatalogueAtom catalogue_atom(std::string_view atom) {
  if (atom.empty() || atom.size() > kMostNameBytes) return {};
  const std::vector<PackedAtom>& atoms = catalogue_atoms();
  const uint64_t name = packed_name(atom);
  const auto found = std::lower_bound(
      atoms.begin(), atoms.end(), name,
      [](const PackedAtom& entry, uint64_t wanted) { return entry.first < wanted; });
  return found != atoms.end() && found->first == name ? found->second : CatalogueAtom();
}

unsigned catalogue_mask(std::string_view atom) { return catalogue_atom(atom).bases; }

// The context statistics records that can give entries to residues of one
// context key, by base class, in table order.
struct KeyRecords {
  bool any = false;  // some record with this key counts, whatever its atom
  std::array<std::vector<uint32_t>, kBases.size()> by_base;
};

// Fills the shift entry list. Every lookup goes through an index built once,
// so the work grows with the table sizes plus the entries made, and the
// entries come out exactly as a scan of every record (and, for the repeat
// test, of every filled slot) would make them.
class Predictor {
 public:
  Predictor(const StatTable& table, long level, std::vector<ShiftEntry>* entries)
      : table_(table), entries_(entries) {
    // Field L + 1 of each row at the chosen level; rows the table lacks read as 0.
    for (size_t row = 0; row < kLargeCountRow; ++row) {
      row_multipliers_[row] = row < table.multipliers.size()
                                  ? strtod_text(table.multipliers[row][static_cast<size_t>(level)])
                                  : 0.0;
    }
  }

  bool run(const std::vector<ResidueIdRecord>& residues, std::string* error) {
    keys_.reserve(residues.size());
    for (const ResidueIdRecord& residue : residues) keys_.push_back(context_key(residue));
    index_context_records();
    index_base_records();
    // The repeat test compares residue numbers as texts: residues that share
    // a number share one set of the atoms that have entries.
    std::vector<size_t> number_of(residues.size());
    {
      std::unordered_map<std::string_view, size_t> numbers;
      numbers.reserve(residues.size());
      for (size_t r = 0; r < residues.size(); ++r) {
        number_of[r] =
            numbers.try_emplace(residues[r][kResidueNumber], numbers.size()).first->second;
      }
      done_.assign(numbers.size(), 0);
    }

    for (size_t r = 0; r < residues.size(); ++r) {
      const std::string& number = residues[r][kResidueNumber];
      AtomSet& done = done_[number_of[r]];
      const size_t base = base_class(residues[r][kOwnBase]);
      const KeyRecords& matches = by_key_.at(keys_[r]);
      if (base == kOtherBase) {
        // No catalogue, so no entries from either pass; a context record
        // that claims this residue's key names a base the program does not know.
        if (matches.any) {
          *error = "Unknown Residue type!";
          return false;
        }
        continue;
      }
      for (uint32_t i : matches.by_base[base]) {
        const ContextStatRecord& record = table_.context[i];
        if (!add_entry(record[kContextMean], record[kContextSpread], context_row(record),
                       record[kContextAtom], number, kOriginContext, i, error)) {
          return false;
        }
        done |= AtomSet{1} << catalogue_atom(record[kContextAtom]).id;
      }
      for (uint32_t i : first_base_records_[base]) {
        const BaseStatRecord& record = table_.base[i];
        const AtomSet atom = AtomSet{1} << catalogue_atom(record[kBaseAtom]).id;
        if ((done & atom) != 0) continue;
        if (!add_entry(record[kBaseMean], record[kBaseSpread], kLargeCountRow - 1,
                       record[kBaseAtom], number, kOriginBase, i, error)) {
          return false;
        }
        done |= atom;
      }
    }
    return true;
  }

 private:
  // Row index (from 0) of a context record that has counted.
  static size_t context_row(const ContextStatRecord& record) {
    return multiplier_row_index(strtol10(record[kContextCount]));
  }

  // Indexes the context records under the keys that some residue has.
  // Records with fewer than two observations have no spread to scale and
  // are left out, as if the table did not hold them.
  void index_context_records() {
    by_key_.reserve(keys_.size());
    for (const std::string& key : keys_) by_key_.emplace(key, KeyRecords());
    for (size_t i = 0; i < table_.context.size(); ++i) {
      const ContextStatRecord& record = table_.context[i];
      const auto found = by_key_.find(record[kContextKey]);
      if (found == by_key_.end()) continue;
      if (strtol10(record[kContextCount]) < kMinObservations) continue;
      found->second.any = true;
      const unsigned mask = catalogue_mask(record[kContextAtom]);
      for (size_t b = 0; b < kBases.size(); ++b) {
        if (((mask >> b) & 1u) != 0) found->second.by_base[b].push_back(static_cast<uint32_t>(i));
      }
    }
  }

  // Per base, the first base statistics record of each catalogue atom, in
  // table order: a later record of the same atom always meets the entry
  // (or the earlier entry) that stopped or made the first.
  void index_base_records() {
    std::array<std::unordered_set<std::string_view>, kBases.size()> seen;
    for (size_t i = 0; i < table_.base.size(); ++i) {
      const BaseStatRecord& record = table_.base[i];
      const size_t base = base_class(record[kBaseLetter]);
      if (base == kOtherBase) continue;
      if (((catalogue_mask(record[kBaseAtom]) >> base) & 1u) == 0) continue;
      if (!seen[base].insert(record[kBaseAtom]).second) continue;
      first_base_records_[base].push_back(static_cast<uint32_t>(i));
    }
  }

  bool add_entry(std::string_view mean, std::string_view spread, size_t row, std::string_view atom,
                 const std::string& residue_number, char origin, size_t record,
                 std::string* error) {
    const size_t slot = entries_->size() + 1;
    if (slot >= kMaxShiftSlots) {
      *error = capacity_message(static_cast<long long>(kMaxShiftSlots) + 1,
                                static_cast<long long>(kMaxShiftSlots));
      return false;
    }
    ShiftEntry& entry = entries_->emplace_back();
    entry.number = slot;
    entry.mean_shift = mean;
    // The tolerance keeps six significant digits, as the list has always
    // carried it, before the list prints it with four decimals.
    entry.tolerance = format_g6(row_multipliers_[row] * strtod_text(spread));
    entry.atom = atom;
    entry.residue_number = residue_number;
    entry.origin = origin;
    entry.record = record;
    return true;
  }

  const StatTable& table_;
  std::vector<ShiftEntry>* entries_;
  std::array<double, kLargeCountRow> row_multipliers_ = {};
  std::vector<std::string> keys_;                            // context key of every residue
  std::unordered_map<std::string_view, KeyRecords> by_key_;  // views of keys_
  std::array<std::vector<uint32_t>, kBases.size()> first_base_records_;
  std::vector<AtomSet> done_;  // by residue number: the atoms with an entry
};

}  // namespace

const std::vector<std::string_view>& atom_catalogue(std::string_view base) {
  // In the order of kBases, then the empty list of every other base.
  static const std::array<std::vector<std::string_view>, kBases.size() + 1> kCatalogues = {{
      {"H2",  "H61",  "H62", "H8", "H1'", "HO2'", "H2'", "H3'", "H4'",
       "H5'", "H5\"", "C2",  "C4", "C5",  "C6",   "C8",  "C1'", "C2'",
       "C3'", "C4'",  "C5'", "N1", "N3",  "N6",   "N7",  "N9",  "P"},
      {"H41", "H42", "H5", "H6",  "H1'", "HO2'", "H2'", "H3'", "H4'", "H5'", "H5\"", "C2",
       "C4",  "C5",  "C6", "C1'", "C2'", "C3'",  "C4'", "C5'", "N1",  "N3",  "N4",   "P"},
      {"H1",  "H21",  "H22", "H8", "H1'", "HO2'", "H2'", "H3'", "H4'",
       "H5'", "H5\"", "C2",  "C4", "C5",  "C6",   "C8",  "C1'", "C2'",
       "C3'", "C4'",  "C5'", "N1", "N2",  "N3",   "N7",  "N9",  "P"},
      {"H3", "H5", "H6", "H1'", "HO2'", "H2'", "H3'", "H4'", "H5'", "H5\"", "C2",
       "C4", "C5", "C6", "C1'", "C2'",  "C3'", "C4'", "C5'", "N1",  "N3",   "P"},
      {},
  }};
  return kCatalogues[base_class(base)];
}

std::string context_key(const ResidueIdRecord& residue) {
  std::string key;
  for (size_t field = kBaseTwoBefore; field <= kMarkAfter; ++field) key += residue[field];
  return key;
}

long long entry_bound(const std::vector<ResidueIdRecord>& residues) {
  long long bound = kBoundExtra;
  for (const ResidueIdRecord& residue : residues) {
    bound += kBoundPerResidue[base_class(residue[kOwnBase])];
  }
  return bound;
}

bool predict_shifts(const std::vector<ResidueIdRecord>& residues, const StatTable& table,
                    long level, std::vector<ShiftEntry>* entries, std::string* error) {
  if (level < kMinLevel || level > kMaxLevel) {
    *error = prediction_level_message(decimal(level));
    return false;
  }
  std::vector<ShiftEntry> result;
  // Without repeated context statistics the entries stay below the bound.
  result.reserve(
      static_cast<size_t>(std::min(entry_bound(residues), static_cast<long long>(kMaxShiftSlots))));
  if (!Predictor(table, level, &result).run(residues, error)) return false;
  *entries = std::move(result);
  return true;
}

std::string entry_bound_text() {
  std::string text;
  for (size_t i = 0; i < kBases.size(); ++i) {
    text += format_message("%lld per %.*s, ", kBoundPerResidue[i],
                           static_cast<int>(kBases[i].size()), kBases[i].data());
  }
  return text + format_message("%lld per other base, plus %lld", kBoundPerResidue[kOtherBase],
                               kBoundExtra);
}

std::string shift_list_size_text() {
  constexpr long long kRoomForResidues = static_cast<long long>(kMaxShiftSlots) - 1 - kBoundExtra;
  constexpr long long kHundred = 100;
  const auto [fewest, most] =
      std::minmax_element(kBoundPerResidue.begin(), kBases.size() + kBoundPerResidue.begin());
  return format_message("%lld nucleotides always fit, up to about %lld depending on composition",
                        kRoomForResidues / *most, kRoomForResidues / *fewest / kHundred * kHundred);
}

}  // namespace mirelon
