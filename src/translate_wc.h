// The pieces of the hydrogen-bond step (translate_wc): finding the helices
// of canonical Watson-Crick pairs in a CT file and the text of the macro.
#ifndef MIRELON_TRANSLATE_WC_H_
#define MIRELON_TRANSLATE_WC_H_

#include <cstddef>
#include <string>
#include <vector>

#include "ct_tables.h"

namespace mirelon {

// Entries of the helix-end list: a first and a last pair per helix.
inline constexpr size_t kMaxHelixEnds = 10000;

// A pair of the helix-end list: the residue numbers, as "kesta.seq" shows
// them, of the records at the file positions named by CT column 1 (c1) and
// column 5 (c5) of a 5' pair record. A position outside the file gives an
// empty text.
struct PairEntry {
  std::string five_prime;  // record at position c1
  std::string partner;     // record at position c5
};

// The helices of a CT file. `entries` holds, per 5' pair record in file
// order, its entry once if it is a first pair and once more if it is a last
// pair; it is padded with empty entries to at least 2 x `helix_count`, so
// that helix h always finds its entries 2h and 2h+1.
struct HelixEnds {
  size_t helix_count = 0;
  std::vector<PairEntry> entries;
};

// Finds the helices of `structure`. A 5' pair record has own mark "w" and c1
// smaller than c5 (both read with strtol in base 10); it is a first pair when
// its mark before is "o" and a last pair when its mark after is "o", and the
// helix count is the number of first pairs. Returns false with the capacity
// message in `error` when 2 x the helix count, or else the number of first
// plus last pairs, exceeds 10000.
bool find_helix_ends(const CtTables& structure, HelixEnds* ends, std::string* error);

// The macro: one "hbond watsoncrick=a-b,c-d\n" line per helix, in order, with
// a and d from the helix's first pair entry and b and c from its last.
std::string format_hbond_macro(const HelixEnds& ends);

}  // namespace mirelon

#endif  // MIRELON_TRANSLATE_WC_H_
