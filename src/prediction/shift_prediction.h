// Chemical shift prediction: the atom catalogue, the context key and the
// shift entries predicted from the statistics table. The lines of "kesta.prot"
// are the shift step's (translate_stat.h).
#ifndef MIRELON_PREDICTION_SHIFT_PREDICTION_H_
#define MIRELON_PREDICTION_SHIFT_PREDICTION_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/prediction_levels.h"
#include "prediction/stat_table.h"
#include "structure/residue_ids.h"

namespace mirelon {

// Slots of the shift entry list; slot 0 is never filled, so at most
// kMaxShiftSlots - 1 entries fit. Also the limit of the entry bound.
inline constexpr size_t kMaxShiftSlots = 20000;

// Origin marks of an entry: from the context statistics or the base statistics.
inline constexpr char kOriginContext = 's';
inline constexpr char kOriginBase = 'o';

// The atom names of `base` ("A", "C", "G" or "U", exact text) in catalogue
// order; an empty list for any other text.
const std::vector<std::string_view>& atom_catalogue(std::string_view base);

// The context key of a residue: the base letters and pairing marks of the
// nucleotide two before, the one before, itself and the one after, joined
// without separators ("0oGwCwAo").
std::string context_key(const ResidueIdRecord& residue);

// The entry bound: 27, 24, 27 or 22 per residue of base "A", "C", "G" or "U"
// (the catalogue sizes), 30 per residue of any other base, plus 10. The step
// refuses residues whose bound exceeds kMaxShiftSlots.
long long entry_bound(const std::vector<ResidueIdRecord>& residues);

// How the entry bound is charged, in words: "27 per A, 24 per C, 27 per G,
// 22 per U, 30 per other base, plus 10".
std::string entry_bound_text();

// How many nucleotides fit in the shift list, in the words every message and
// document uses: "740 nucleotides always fit, up to about 900 depending on
// composition" (the bound of the largest base class, and of the smallest
// rounded down to hundreds).
std::string shift_list_size_text();

// One predicted shift: a slot of the shift entry list.
struct ShiftEntry {
  size_t number = 0;           // slot number, 1 for the first entry
  std::string mean_shift;      // mean shift text of the statistics record
  std::string tolerance;       // multiplier x spread, formatted as printf "%g"
  std::string atom;            // catalogue atom name
  std::string residue_number;  // field 1 of the residue-ID record
  char origin = kOriginContext;
  size_t record = 0;  // its statistics record: index into the section of `origin`
};

// Predicts the shift entries of `residues` from `table` at prediction level
// `level`, residue by residue in order: first one entry per context
// statistics record whose key is the residue's context key and whose atom is
// in the catalogue of the residue's base (records with an observation count
// below 2 are passed over), then, for every catalogue atom of the base that
// no entry of the same residue number has yet, one entry from its first base
// statistics record. Returns false with the message in `error` when a
// context statistics record matches a residue whose base is not "A", "C",
// "G" or "U" ("Unknown Residue type!"), when more than kMaxShiftSlots - 1
// entries are needed, or when `level` lies outside 1 to 11.
bool predict_shifts(const std::vector<ResidueIdRecord>& residues, const StatTable& table,
                    long level, std::vector<ShiftEntry>* entries, std::string* error);

}  // namespace mirelon

#endif  // MIRELON_PREDICTION_SHIFT_PREDICTION_H_
