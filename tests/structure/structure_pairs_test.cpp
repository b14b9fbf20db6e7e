#include "structure/structure_pairs.h"

#include <gtest/gtest.h>

#include <vector>

namespace mirelon {
namespace {

// The fault of every nucleotide's pair, one case per way of breaking the
// rule; the members of the broken pair and the third nucleotide are all
// named, and nothing else is.
TEST(PairFaultTest, EachNucleotideGetsTheFirstFaultOfItsPair) {
  using F = PairFault;
  struct Case {
    const char* what;
    std::vector<long> partners;
    std::vector<F> faults;
  } const cases[] = {
      {"consistent", {4, 3, 2, 1, 0}, {F::kNone, F::kNone, F::kNone, F::kNone, F::kNone}},
      {"outside", {0, 5, 0, -1}, {F::kNone, F::kPartnerOutside, F::kNone, F::kPartnerOutside}},
      {"itself", {0, 2, 0}, {F::kNone, F::kPairedWithItself, F::kNone}},
      {"one-sided", {3, 0, 0}, {F::kNotNamedBack, F::kNone, F::kNone}},
      // 1 and 3 name each other; 2 names 3 too, or 1 too.
      {"partner named twice", {3, 3, 1}, {F::kNamedTwice, F::kNotNamedBack, F::kNamedTwice}},
      {"own position named twice", {3, 1, 1}, {F::kNamedTwice, F::kNotNamedBack, F::kNamedTwice}},
      {"empty", {}, {}},
  };
  for (const Case& c : cases) {
    const PartnerColumn column = partner_column(c.partners);
    std::vector<F> faults;
    for (size_t i = 0; i < c.partners.size(); ++i) faults.push_back(pair_fault(column, i));
    EXPECT_EQ(faults, c.faults) << c.what;
  }
}

}  // namespace
}  // namespace mirelon
