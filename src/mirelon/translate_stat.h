// The pieces of the chemical shift step (translate_stat): its capacities and
// the layout of the chemical shift list "kesta.prot".
#ifndef MIRELON_TRANSLATE_STAT_H_
#define MIRELON_TRANSLATE_STAT_H_

#include <cstddef>
#include <string>
#include <vector>

#include "prediction/shift_prediction.h"

namespace mirelon {

inline constexpr const char* kShiftListFileName = "kesta.prot";
// Residues the chemical shift step reads from the residue-ID file.
inline constexpr size_t kMaxShiftResidues = 20000;

// The "Note: " line after the message for an entry bound `bound` above the
// capacity: the bound, the capacity of the list and what the user can do.
std::string entry_bound_note(long long bound);

// One line of "kesta.prot": number (width 4, right), mean shift and tolerance
// read with strtod and written as printf "%.4f" (widths 10 and 9, right), two
// blanks, atom name (4, left), residue number (4, right), origin mark (4,
// right), a line feed. Wider texts are written whole.
std::string format_shift_line(const ShiftEntry& entry);

// The content of "kesta.prot": the line of every entry, in order.
std::string format_shift_list(const std::vector<ShiftEntry>& entries);

// The "Warning: " lines about values of the statistics table `file` that the
// step takes as they stand (table_value_problems()): among the means and
// spreads of the records that gave `entries` and the multipliers of every
// row, one line per kind of fault (not finite, negative, no number) naming
// at most 10 lines of the table.
std::vector<std::string> table_value_warnings(const char* file, const StatTable& table,
                                              const std::vector<ShiftEntry>& entries);

}  // namespace mirelon

#endif  // MIRELON_TRANSLATE_STAT_H_
