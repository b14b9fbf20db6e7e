// The pieces of the dihedral restraint step (translate_aco): the entry count
// and the content of "kesta.aco". Which nucleotides of a Watson-Crick stem
// get which backbone torsion windows is shared (structure/backbone_windows.h).
#ifndef MIRELON_TRANSLATE_ACO_H_
#define MIRELON_TRANSLATE_ACO_H_

#include <cstddef>
#include <string>
#include <vector>

#include "structure/backbone_windows.h"
#include "structure/residue_ids.h"

namespace mirelon {

inline constexpr const char* kRestraintFileName = "kesta.aco";
// Rows of the residue-ID table the step reads.
inline constexpr size_t kMaxRestraintResidues = 10000;
// Restraint entries, one per restrained angle, counted before "kesta.aco" is
// opened.
inline constexpr size_t kMaxRestraintEntries = 10000;

// The number of restraint entries of `records`: 3 per start, 6 per inner and
// 4 per end nucleotide, also for nucleotides whose base has no residue name.
size_t count_restraint_entries(const std::vector<ResidueIdRecord>& records);

// The content of "kesta.aco": for every record of a stem position, in record
// order, one line per restrained angle in the order ALPHA to ZETA, unless its
// base has no residue name. A line is the residue number right-aligned in 5,
// a blank, the residue name left-aligned in 6, the window text left-aligned
// in 22, a line feed; a longer residue number is written whole.
std::string format_restraint_file(const std::vector<ResidueIdRecord>& records);

}  // namespace mirelon

#endif  // MIRELON_TRANSLATE_ACO_H_
