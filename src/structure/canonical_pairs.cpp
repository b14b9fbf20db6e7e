#include "structure/canonical_pairs.h"

#include "common/nucleotides.h"
#include "common/numbers.h"
#include "structure/residue_context.h"

namespace mirelon {

std::vector<FivePrimePair> five_prime_pairs(const std::vector<CtRecord>& records) {
  const size_t n = records.size();
  // How many records name each position 1..N in column 5.
  std::vector<size_t> named(n + 1, 0);
  std::vector<long> partner_of(n);
  for (size_t i = 0; i < n; ++i) {
    partner_of[i] = strtol10(records[i].partner);
    if (partner_of[i] >= 1 && static_cast<unsigned long>(partner_of[i]) <= n) {
      ++named[static_cast<size_t>(partner_of[i])];
    }
  }
  std::vector<FivePrimePair> pairs;
  for (size_t i = 0; i < n; ++i) {
    if (pairing_mark(records, i) != kMarkPaired) continue;
    if (strtol10(records[i].index) >= partner_of[i]) continue;
    FivePrimePair pair;
    pair.record = i;
    const long p = partner_of[i];
    if (p < 1 || static_cast<unsigned long>(p) > n) {
      pair.fault = PairFault::kPartnerOutside;
    } else {
      pair.partner = static_cast<size_t>(p) - 1;
      if (partner_of[pair.partner] != static_cast<long>(i) + 1) {
        pair.fault = PairFault::kNotNamedBack;
      } else if (named[static_cast<size_t>(p)] > 1) {
        pair.fault = PairFault::kPartnerShared;
      }
    }
    pairs.push_back(pair);
  }
  return pairs;
}

}  // namespace mirelon
