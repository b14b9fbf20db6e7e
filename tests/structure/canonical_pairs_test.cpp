#include "structure/canonical_pairs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mirelon {
namespace {

// Records of "base partner" pairs, numbered 1, 2, 3, ... in one strand.
std::vector<CtRecord> records(const std::vector<std::pair<std::string, std::string>>& lines) {
  std::vector<CtRecord> result;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string index = std::to_string(i + 1);
    result.push_back(CtRecord{index, lines[i].first, std::to_string(i),
                              i + 1 == lines.size() ? "0" : std::to_string(i + 2), lines[i].second,
                              index});
  }
  return result;
}

TEST(CanonicalPairsTest, FivePrimeMembersOfCanonicalPairsWithTheirFaults) {
  // 1-6 G-C, but 4 names 1 too; 2-5 G-U (not canonical); 3 names 4 but 4
  // names 1; 7 names a position outside the file.
  std::vector<FivePrimePair> pairs = five_prime_pairs(records(
      {{"G", "6"}, {"G", "5"}, {"A", "4"}, {"U", "1"}, {"U", "2"}, {"C", "1"}, {"G", "99"}}));
  ASSERT_EQ(pairs.size(), 2u);
  EXPECT_EQ(pairs[0].record, 0u);
  EXPECT_EQ(pairs[0].partner, 5u);
  EXPECT_EQ(pairs[0].fault, PairFault::kNamedTwice);
  EXPECT_EQ(pairs[1].record, 2u);
  EXPECT_EQ(pairs[1].fault, PairFault::kNotNamedBack);

  // 1 and 2 both name 4, which names 1.
  pairs = five_prime_pairs(records({{"G", "4"}, {"G", "4"}, {"A", "0"}, {"C", "1"}}));
  ASSERT_EQ(pairs.size(), 2u);
  EXPECT_EQ(pairs[0].fault, PairFault::kNamedTwice);
  EXPECT_EQ(pairs[1].fault, PairFault::kNotNamedBack);

  const std::vector<FivePrimePair> clean =
      five_prime_pairs(records({{"G", "4"}, {"A", "3"}, {"U", "2"}, {"C", "1"}}));
  ASSERT_EQ(clean.size(), 2u);
  EXPECT_EQ(clean[0].fault, PairFault::kNone);
  EXPECT_EQ(clean[1].record, 1u);
  EXPECT_EQ(clean[1].partner, 2u);
  EXPECT_EQ(clean[1].fault, PairFault::kNone);
}

}  // namespace
}  // namespace mirelon
