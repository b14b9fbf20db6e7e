#include "structure/canonical_pairs.h"

#include <utility>

#include "common/nucleotides.h"
#include "common/numbers.h"
#include "structure/residue_context.h"

namespace mirelon {

PartnerColumn read_partner_column(const std::vector<CtRecord>& records) {
  std::vector<int64_t> partner_of(records.size());
  for (size_t i = 0; i < records.size(); ++i) partner_of[i] = strtol10(records[i].partner);
  return partner_column(std::move(partner_of));
}

std::vector<FivePrimePair> five_prime_pairs(const std::vector<CtRecord>& records) {
  const PartnerColumn column = read_partner_column(records);
  std::vector<FivePrimePair> pairs;
  for (size_t i = 0; i < records.size(); ++i) {
    if (pairing_mark(records, i) != kMarkPaired) continue;
    const int64_t p = column.partner_of[i];
    if (strtol10(records[i].index) >= p) continue;
    FivePrimePair pair;
    pair.record = i;
    pair.fault = pair_fault(column, i);
    if (pair.fault != PairFault::kPartnerOutside) pair.partner = static_cast<size_t>(p) - 1;
    pairs.push_back(pair);
  }
  return pairs;
}

}  // namespace mirelon
