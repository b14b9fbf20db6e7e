#include "structure/canonical_pairs.h"

#include "common/nucleotides.h"
#include "common/numbers.h"
#include "structure/residue_context.h"

namespace mirelon {

PartnerColumn read_partner_column(const std::vector<CtRecord>& records) {
  const size_t n = records.size();
  PartnerColumn column{std::vector<long>(n), std::vector<size_t>(n + 1, 0)};
  for (size_t i = 0; i < n; ++i) {
    const long p = strtol10(records[i].partner);
    column.partner_of[i] = p;
    if (p >= 1 && static_cast<unsigned long>(p) <= n) ++column.named[static_cast<size_t>(p)];
  }
  return column;
}

std::vector<FivePrimePair> five_prime_pairs(const std::vector<CtRecord>& records) {
  const size_t n = records.size();
  const PartnerColumn column = read_partner_column(records);
  const std::vector<long>& partner_of = column.partner_of;
  const std::vector<size_t>& named = column.named;
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
