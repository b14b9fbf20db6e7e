// How the residue numbers of a shift file find the residues of a structure:
// the number plus the residue offset of its chain (-O) is the position in
// the structure, or, with -N, the number in CT column 6 (the natural
// numbering) of a residue.
#ifndef MIRELON_CHECK_RESIDUE_NUMBERING_H_
#define MIRELON_CHECK_RESIDUE_NUMBERING_H_

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "shifts/shift_data.h"
#include "shifts/shift_offsets.h"
#include "structure/structure.h"

namespace mirelon {

struct ResidueMapping {
  ShiftOffsets offsets;
  // With -N: the position (counting from 0) of every CT column 6 number;
  // without: none, and the number plus its offset is the position counting
  // from 1.
  std::optional<std::map<int64_t, size_t>> natural;

  // The position (counting from 0) of the residue of `shift` in a structure
  // of `size` nucleotides; none when it names no residue there.
  std::optional<size_t> position(const ObservedShift& shift, size_t size) const;

  // How the outputs name the residue of `shift` as the shift file numbers
  // it: "112", or "B:112" where -O maps chains one by one (chain:number, as
  // -O writes them).
  std::string shift_residue(const ObservedShift& shift) const;
};

// The mapping of -N for `structure`, read from `file_name`, with `offsets`:
// every A, C, G and U (the nucleotides with predictions) by its column 6
// number. Returns false with the message (ended by a line feed) when the
// structure was not read from a CT file, a column 6 of such a nucleotide
// holds no whole number, or two of them hold the same number.
bool natural_mapping(const Structure& structure, std::string_view file_name,
                     const ShiftOffsets& offsets, ResidueMapping* mapping, std::string* error);

}  // namespace mirelon

#endif  // MIRELON_CHECK_RESIDUE_NUMBERING_H_
