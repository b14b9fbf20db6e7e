#include "common/nucleotides.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mirelon {
namespace {

// Only exactly A, C, G and U have a residue name; the others are named by
// their position in the one warning every tool writes about them.
TEST(NucleotidesTest, BasesOtherThanACGUAreNamedInOneWarning) {
  const std::vector<std::string> bases = {"G", "a", "C", "T", "U", "PSU", "A", "N", ""};
  const std::vector<std::string> positions = odd_base_positions(bases);
  EXPECT_EQ(positions, (std::vector<std::string>{"2", "4", "6", "8", "9"}));
  EXPECT_EQ(odd_bases_warning("x.db", "get no predictions", positions),
            "Warning: x.db: nucleotides whose base is not A, C, G or U get no predictions "
            "(mirelon-ct -u writes upper-case bases): 2, 4, 6, 8, 9\n");
  EXPECT_EQ(odd_bases_warning("x.db", "get no predictions", odd_base_positions({"A", "C"})), "");
}

}  // namespace
}  // namespace mirelon
