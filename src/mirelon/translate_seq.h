// The pieces of the sequence step (translate_seq): the layout of the
// sequence file "kesta.seq", which the hydrogen-bond step writes again.
#ifndef MIRELON_TRANSLATE_SEQ_H_
#define MIRELON_TRANSLATE_SEQ_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "structure/residue_context.h"

namespace mirelon {

inline constexpr const char* kSequenceFileName = "kesta.seq";

// One line of "kesta.seq": the name left-aligned in 5 characters, the number
// right-aligned in 4 (never cut), a line feed.
std::string format_sequence_line(std::string_view name, int64_t number);

// The content of "kesta.seq": a line per residue with a residue name, and a
// linker of 100 pseudo-residues after every chain break.
std::string format_sequence_file(const std::vector<Residue>& residues);

// Writes "kesta.seq" for `residues`. Ends the process with exit status 1
// after "Unable to write file" when it cannot be written.
void write_sequence_file(const std::vector<Residue>& residues);

}  // namespace mirelon

#endif  // MIRELON_TRANSLATE_SEQ_H_
