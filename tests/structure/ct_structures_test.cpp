#include "structure/ct_structures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "structure/structure.h"

namespace mirelon {
namespace {

// Two structures of one sequence, as a folding program writes them.
constexpr const char* kTwoStructures =
    "    3  dG = -1.2  first\n"
    "    1 G       0    2    3    1\n"
    "    2 A       1    3    0    2\n"
    "    3 C       2    0    1    3\n"
    "    3  dG = -0.4  second\n"
    "\n"
    "    1 G       0    2    0    1\n"
    "    2 A       1    3    0    2\n"
    "    3 C       2    0    0    3\n";

TEST(CtStructuresTest, HeadersFollowedByIndexOneStartStructures) {
  const std::vector<CtStructureText> parts = split_ct_structures(kTwoStructures);
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_EQ(parts[0].first_line, 1);
  EXPECT_EQ(parts[1].first_line, 5);
  EXPECT_EQ(parts[0].text.substr(0, 25), "    3  dG = -1.2  first\n ");
  EXPECT_EQ(parts[1].text.substr(0, 24), "    3  dG = -0.4  second");
  EXPECT_EQ(std::string(parts[0].text) + std::string(parts[1].text), kTwoStructures);

  // Not a header: a nucleotide line, a line without a number first, a header
  // not followed by index 1.
  EXPECT_FALSE(starts_ct_structure("4 G 3 5 0 4", "1 G 0 2 0 1"));
  EXPECT_FALSE(starts_ct_structure("dG 3 tRNA", "1 G 0 2 0 1"));
  EXPECT_FALSE(starts_ct_structure("3 tRNA", "2 G 0 2 0 1"));
  EXPECT_FALSE(starts_ct_structure("3 tRNA", "1 G 0 2 0"));
  EXPECT_TRUE(starts_ct_structure("3 tRNA", "+1 G 0 2 0 1"));
  EXPECT_EQ(split_ct_structures("").size(), 1u);
  EXPECT_EQ(split_ct_structures("3 x\n1 G 0 2 0 1\n").size(), 1u);
}

TEST(CtStructuresTest, EveryStructureReadsWithLinesOfTheWholeFile) {
  std::vector<Structure> structures;
  std::string error;
  ASSERT_TRUE(parse_structures(kTwoStructures, "fold.ct", &structures, &error)) << error;
  ASSERT_EQ(structures.size(), 2u);
  EXPECT_EQ(structures[0].name, "dG = -1.2  first");
  EXPECT_EQ(structures[0].partners[0], 2u);
  EXPECT_EQ(structures[1].partners[0], std::nullopt);

  const std::string broken = std::string(kTwoStructures) + "    4 U       3    0    0    4\n";
  EXPECT_FALSE(parse_structures(broken, "fold.ct", &structures, &error));
  EXPECT_EQ(error,
            "fold.ct:10: more than one structure in this CT file (the header announces 3 "
            "nucleotides)\n");
  EXPECT_TRUE(structures.empty());

  ASSERT_TRUE(parse_structures(">x\nGAC\n(.)\n", "x.db", &structures, &error)) << error;
  EXPECT_EQ(structures.size(), 1u);
}

}  // namespace
}  // namespace mirelon
