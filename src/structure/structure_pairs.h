// The pair table of the formats that name every nucleotide's partner by
// number (CT column 5, BPSEQ column 3), checked the same way for both.
#ifndef MIRELON_STRUCTURE_PAIRS_H_
#define MIRELON_STRUCTURE_PAIRS_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mirelon {

// The partner column of one nucleotide line: a whole number (checked by the
// reader), 0 for unpaired, else the partner's position counting from 1.
struct PartnerField {
  std::string_view text;
  int line = 0;
};

// Builds the pair table from the partner column of every nucleotide, in
// order. Fails at the first nucleotide, in order, whose partner lies outside
// the sequence, is itself, or does not name it back (a one-sided pair, or a
// partner that pairs with another nucleotide: one nucleotide paired twice);
// the message names `file_name` and the nucleotide's line.
bool pair_partners(const std::vector<PartnerField>& fields, std::string_view file_name,
                   std::vector<std::optional<size_t>>* partners, std::string* error);

}  // namespace mirelon

#endif  // MIRELON_STRUCTURE_PAIRS_H_
