// CT files of several structures, as folding programs write them: each
// structure is a header line and its nucleotide lines, and the next header
// follows the last nucleotide line.
#ifndef MIRELON_STRUCTURE_CT_STRUCTURES_H_
#define MIRELON_STRUCTURE_CT_STRUCTURES_H_

#include <string_view>
#include <vector>

namespace mirelon {

// True when `line` is the header of a further structure: it is not a valid
// nucleotide line (check_ct_columns() finds a fault), its first word is a
// whole number, and `next`, the next non-blank line, is a valid nucleotide
// line whose column 1 reads as the whole number 1.
bool starts_ct_structure(std::string_view line, std::string_view next);

// One structure of a CT file: its text from its header line on, and the
// line of the file that the header stands on (counting from 1).
struct CtStructureText {
  std::string_view text;
  int first_line = 1;
};

// The structures of the CT file `content`: the first starts at the start of
// the content, every further one at a line after the first for which
// starts_ct_structure() holds. A file of one structure gives one text, the
// whole content (an empty content gives one empty text).
std::vector<CtStructureText> split_ct_structures(std::string_view content);

}  // namespace mirelon

#endif  // MIRELON_STRUCTURE_CT_STRUCTURES_H_
