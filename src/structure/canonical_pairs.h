// The canonical Watson-Crick pairs of a CT file, each named once by its 5'
// member, and whether the file names it consistently. The hydrogen-bond
// step builds its helices from the usable ones; every tool that writes
// restraints for pairs takes them from here.
#ifndef MIRELON_STRUCTURE_CANONICAL_PAIRS_H_
#define MIRELON_STRUCTURE_CANONICAL_PAIRS_H_

#include <cstddef>
#include <vector>

#include "structure/ct_line.h"
#include "structure/structure_pairs.h"

namespace mirelon {

// Column 5 of `records`, each read with strtol in base 10.
PartnerColumn read_partner_column(const std::vector<CtRecord>& records);

// A 5' pair record: its pairing mark is "w" (a canonical pair with the base
// at the file position of its column 5) and its column 1 is smaller than its
// column 5, both read with strtol in base 10.
struct FivePrimePair {
  size_t record = 0;   // file position of the 5' member, counting from 0
  size_t partner = 0;  // file position of its partner, counting from 0 (kPartnerOutside: 0)
  PairFault fault = PairFault::kNone;  // kNone: usable
};

// Every 5' pair record of `records` in file order, with the fault of its
// pair (pair_fault()), which makes it unusable, or kNone. Reads no record
// outside the table, whatever the columns hold.
std::vector<FivePrimePair> five_prime_pairs(const std::vector<CtRecord>& records);

}  // namespace mirelon

#endif  // MIRELON_STRUCTURE_CANONICAL_PAIRS_H_
