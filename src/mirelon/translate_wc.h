// The pieces of the hydrogen-bond step (translate_wc): the helices of
// canonical Watson-Crick pairs in a CT file and the text of the macro.
#ifndef MIRELON_TRANSLATE_WC_H_
#define MIRELON_TRANSLATE_WC_H_

#include <cstddef>
#include <string>
#include <vector>

#include "ct_tables.h"
#include "structure/canonical_pairs.h"

namespace mirelon {

// Helices the macro may hold: 2 x the helix count is tested against this.
inline constexpr size_t kMaxHelixEnds = 10000;

// A helix: a maximal chain of usable 5' pair records that stack on each
// other (continues_helix()), named by its first and last record.
struct Helix {
  FivePrimePair first;
  FivePrimePair last;
};

// What the step needs to test "does record i+1 stack on record i" in
// constant time: per file position, how many records before it are paired
// (column 5 not 0) and how many end a strand (column 4 "0").
class HelixRule {
 public:
  explicit HelixRule(const std::vector<CtRecord>& records);

  // True when `inner`, the usable 5' pair record right after the usable 5'
  // pair record `outer` in the file, continues its helix: `outer` does not
  // end a strand, the partner of `inner` lies before the partner of `outer`,
  // every record strictly between the two partners is unpaired, and none
  // from the partner of `inner` up to the one before the partner of `outer`
  // ends a strand.
  bool continues_helix(const FivePrimePair& outer, const FivePrimePair& inner) const;

 private:
  std::vector<size_t> paired_before_;
  std::vector<size_t> ends_before_;
};

// The helices of `records` in file order of their first pairs, from the 5'
// pair records `pairs` (five_prime_pairs(records)). Records with a fault
// belong to no helix and end the chain they would continue.
std::vector<Helix> find_helices(const std::vector<CtRecord>& records,
                                const std::vector<FivePrimePair>& pairs);

// Returns false with the capacity message in `error` when 2 x `helix_count`
// exceeds 10000 (the macro is then not written).
bool check_helix_capacity(size_t helix_count, std::string* error);

// The macro: one "hbond watsoncrick=a-b,c-d\n" line per helix, in order: a
// and b the residue numbers of its first and last 5' members, c that of the
// partner of the last, d that of the partner of the first.
std::string format_hbond_macro(const std::vector<Residue>& residues,
                               const std::vector<Helix>& helices);

}  // namespace mirelon

#endif  // MIRELON_TRANSLATE_WC_H_
