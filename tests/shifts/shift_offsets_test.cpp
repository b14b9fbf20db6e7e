#include "shifts/shift_offsets.h"

#include <gtest/gtest.h>

#include <optional>

namespace mirelon {
namespace {

TEST(ShiftOffsetsTest, MapsResidueNumbersToStructurePositions) {
  struct Case {
    const char* text;
    const char* chain;
    long number;
    std::optional<long> position;
  } const cases[] = {
      {"0", "", 5, 5},
      {"-10", "B", 11, 1},  // one offset serves every chain, named or not
      {"+3", "", 1, 4},
      {"A:5", "A", 1, 6},
      {"A:5", "B", 1, std::nullopt},  // pairs map only the chains they name
      {"A:5", "", 1, std::nullopt},
      {"A:5,B:-3", "B", 10, 7},
      {"1:0,12:12", "12", 1, 13},  // chain names may be numbers
  };
  for (const Case& c : cases) {
    ShiftOffsets offsets;
    ASSERT_TRUE(parse_shift_offsets(c.text, &offsets)) << c.text;
    EXPECT_EQ(offsets.position(c.chain, c.number), c.position) << c.text << " " << c.chain;
  }
}

TEST(ShiftOffsetsTest, RefusesTextsThatAreNeitherNumberNorPairs) {
  // ":5" and "A:5,:6" name no chain, "A:5,A:6" names one twice.
  const char* const texts[] = {"",      "x",      "1.5",      "99999999999999999999",
                               ":5",    "A:",     "A:x",      "A:5:6",
                               "A:5,",  ",A:5",   "A:5,,B:1", "A:5,:6",
                               "A:5,B", "A:5,A:6"};
  for (const char* text : texts) {
    ShiftOffsets offsets;
    EXPECT_FALSE(parse_shift_offsets(text, &offsets)) << text;
  }
}

}  // namespace
}  // namespace mirelon
