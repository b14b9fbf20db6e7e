// Residue offsets between a shift file and its structure: the shift file's
// residue number plus the offset is the structure position (counting from
// 1). Either one whole number for every chain ("N"), or CHAIN:N pairs
// separated by commas for NMR-STAR entries of several chains.
#ifndef MIRELON_SHIFTS_SHIFT_OFFSETS_H_
#define MIRELON_SHIFTS_SHIFT_OFFSETS_H_

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace mirelon {

struct ShiftOffsets {
  int64_t offset = 0;  // for every chain, unless chain_offsets is not empty
  std::map<std::string, int64_t> chain_offsets;

  // The structure position of residue `number` of `chain`; nothing when the
  // offsets map chains one by one and `chain` is not among them.
  std::optional<int64_t> position(const std::string& chain, int64_t number) const;
};

// Reads "N" or "CHAIN:N,CHAIN:N,...". Returns false when the text is neither,
// a chain is named twice or a pair lacks its chain.
bool parse_shift_offsets(std::string_view text, ShiftOffsets* offsets);

}  // namespace mirelon

#endif  // MIRELON_SHIFTS_SHIFT_OFFSETS_H_
