// The one rule of pair consistency, for every format that names each
// nucleotide's partner by number (CT column 5, BPSEQ column 3): the
// structure readers refuse a file that breaks it, mirelon warns about the
// pairs that break it and leaves them out of its helices, and mirelon-nef
// writes no hydrogen bonds for them.
#ifndef MIRELON_STRUCTURE_PAIRS_H_
#define MIRELON_STRUCTURE_PAIRS_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mirelon {

// The partner numbers of a structure, one per nucleotide in order (0 for
// unpaired, else the partner's position counting from 1, or whatever number
// the file holds), and how often each position is named among them.
struct PartnerColumn {
  std::vector<int64_t> partner_of;
  std::vector<size_t> named;  // named[p]: nucleotides naming position p (1..N); named[0] unused
};

// The column of the partner numbers `partner_of`.
PartnerColumn partner_column(std::vector<int64_t> partner_of);

// Why the pair that a nucleotide names is not consistent, in the order
// pair_fault() checks.
enum class PairFault {
  kNone,              // unpaired, or a consistent pair
  kPartnerOutside,    // the number names no position 1..N
  kPairedWithItself,  // the number is the nucleotide's own position
  kNotNamedBack,      // the partner names no nucleotide or another one
  kNamedTwice,        // a third nucleotide names the partner or this one
};

// The first fault of the pair that nucleotide `i` (counting from 0) names.
// A pair is consistent when both members name each other and no third
// nucleotide names either. Reads nothing outside the column.
PairFault pair_fault(const PartnerColumn& column, size_t i);

// The partner column of one nucleotide line: a whole number (checked by the
// reader), 0 for unpaired, else the partner's position counting from 1.
struct PartnerField {
  std::string_view text;
  int line = 0;
};

// Builds the pair table from the partner column of every nucleotide, in
// order. Fails when a pair is not consistent: first at the first nucleotide
// whose partner lies outside the sequence or is itself, else at the first
// whose partner does not name it back (a one-sided pair, or a partner that
// pairs with another nucleotide: one nucleotide paired twice); the message
// names `file_name` and the nucleotide's line.
bool pair_partners(const std::vector<PartnerField>& fields, std::string_view file_name,
                   std::vector<std::optional<size_t>>* partners, std::string* error);

}  // namespace mirelon

#endif  // MIRELON_STRUCTURE_PAIRS_H_
