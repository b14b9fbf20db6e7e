// How mirelon-check finds the residue of an observed shift: offsets per file
// or per chain, CT column 6 with -N, and how the shift file's numbers are
// named.
#include "check/residue_numbering.h"

#include <gtest/gtest.h>

#include <string>

namespace mirelon {
namespace {

ObservedShift shift(const std::string& chain, long residue) {
  ObservedShift observed;
  observed.chain = chain;
  observed.residue = residue;
  return observed;
}

ResidueMapping mapping(const std::string& offsets) {
  ResidueMapping result;
  EXPECT_TRUE(parse_shift_offsets(offsets, &result.offsets)) << offsets;
  return result;
}

Structure ct_structure(const std::string& content) {
  Structure structure;
  std::string error;
  EXPECT_TRUE(parse_structure(content, "rna.ct", &structure, &error)) << error;
  return structure;
}

constexpr size_t kNone = 99;

TEST(ResidueNumberingTest, PositionsOfOffsetsAndOfColumnSix) {
  ResidueMapping natural = mapping("100");
  natural.natural = std::map<long, size_t>{{119, 0}, {120, 1}, {122, 2}};
  const struct {
    ResidueMapping mapping;
    ObservedShift shift;
    size_t position;  // in a structure of 5, counting from 0; kNone: none
  } cases[] = {
      {mapping("0"), shift("", 1), 0},
      {mapping("0"), shift("A", 5), 4},
      {mapping("0"), shift("", 0), kNone},
      {mapping("0"), shift("", 6), kNone},
      {mapping("-10"), shift("", 11), 0},
      {mapping("A:0,B:-5"), shift("B", 7), 1},
      {mapping("A:0,B:-5"), shift("C", 1), kNone},
      // With -N the number plus the offset is a column 6 number, wherever it lies.
      {natural, shift("", 20), 1},
      {natural, shift("", 21), kNone},
      {natural, shift("", 2), kNone},
  };
  for (const auto& c : cases) {
    const std::optional<size_t> position = c.mapping.position(c.shift, 5);
    EXPECT_EQ(position.value_or(kNone), c.position) << c.shift.chain << c.shift.residue;
  }
  // The shift file's number, with its chain where -O maps chains one by one.
  EXPECT_EQ(mapping("3").shift_residue(shift("B", 12)), "12");
  EXPECT_EQ(mapping("A:0,B:-5").shift_residue(shift("B", 12)), "B:12");
}

TEST(ResidueNumberingTest, ColumnSixMapsNucleotidesWithPredictions) {
  ShiftOffsets offsets;
  offsets.offset = 7;
  ResidueMapping result;
  std::string error;
  // A nucleotide without predictions needs no number in column 6.
  ASSERT_TRUE(natural_mapping(ct_structure("4 rna\n1 G 0 2 4 19\n2 g 1 3 0 x\n3 A 2 4 0 22\n"
                                           "4 C 3 0 1 -3\n"),
                              "rna.ct", offsets, &result, &error))
      << error;
  EXPECT_EQ(result.offsets.offset, 7);
  EXPECT_EQ(*result.natural, (std::map<long, size_t>{{-3, 3}, {19, 0}, {22, 2}}));

  const struct {
    std::string content;
    std::string error;
  } faults[] = {
      {">t\nGGAC\n(..)\n",
       "rna.ct: -N takes the residue numbers from CT column 6, and this is no CT file\n"},
      {"2 rna\n1 G 0 2 0 5\n2 G 1 0 0 6a\n",
       "rna.ct: nucleotide 2: column 6 '6a' is no whole number, so -N cannot use it\n"},
      {"3 rna\n1 G 0 2 0 5\n2 G 1 0 0 6\n3 C 0 0 0 5\n",
       "rna.ct: nucleotide 3: column 6 number 5 is also that of nucleotide 1, so -N cannot tell "
       "them apart: number every residue once in column 6, or use -O\n"},
  };
  for (const auto& fault : faults) {
    EXPECT_FALSE(natural_mapping(ct_structure(fault.content), "rna.ct", offsets, &result, &error))
        << fault.content;
    EXPECT_EQ(error, fault.error);
  }
}

}  // namespace
}  // namespace mirelon
