#include "stats/shrunk_means.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace mirelon {
namespace {

TEST(ShrunkMeansTest, ShrinkWeighsRnasAgainstThePrior) {
  EXPECT_DOUBLE_EQ(shrink(nullptr, 7.5, 10), 7.5);
  const CellMean empty;
  EXPECT_DOUBLE_EQ(shrink(&empty, 7.5, 10), 7.5);
  // Two RNAs at mean 8 against a prior of 7 with L = 2: halfway.
  const CellMean two{8, 2};
  EXPECT_DOUBLE_EQ(shrink(&two, 7, 2), 7.5);
  // Many RNAs outweigh a weak prior.
  const CellMean many{8, 98};
  EXPECT_DOUBLE_EQ(shrink(&many, 7, 2), 7.98);
}

TEST(ShrunkMeansTest, PossibleKeysAreWhatAStructureCanProduce) {
  const std::vector<std::string> keys = possible_context_keys();
  // Own piece 8 ways; one before 9 (0o or a base with w or o); two before 1
  // way after 0o, 9 otherwise; one after 9.
  EXPECT_EQ(keys.size(), 8u * (1 + 8 * 9) * 9);
  EXPECT_EQ(std::set<std::string>(keys.begin(), keys.end()).size(), keys.size());
  for (const std::string& key : keys) {
    ASSERT_EQ(key.size(), 8u);
    EXPECT_NE(key.substr(4, 2), "0o") << key;
    if (key.substr(2, 2) == "0o") {
      EXPECT_EQ(key.substr(0, 2), "0o") << key;
    }
    for (size_t i = 0; i < 8; i += 2) {
      if (key[i] == '0') {
        EXPECT_EQ(key[i + 1], 'o') << key;
      }
    }
  }
}

}  // namespace
}  // namespace mirelon
