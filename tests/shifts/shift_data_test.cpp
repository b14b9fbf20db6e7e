#include "shifts/shift_data.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/files.h"

namespace mirelon {
namespace {

std::vector<ObservedShift> read_ok(const std::string& content) {
  std::vector<ObservedShift> shifts;
  std::string error;
  EXPECT_TRUE(parse_shift_file(content, "s.txt", &shifts, &error)) << error;
  return shifts;
}

std::string read_error(const std::string& content) {
  std::vector<ObservedShift> shifts;
  std::string error;
  EXPECT_FALSE(parse_shift_file(content, "s.txt", &shifts, &error)) << content;
  return error;
}

TEST(FourColumnShiftsTest, ReadsWordsAndSkipsCommentsAndBlankLines) {
  const auto shifts = read_ok("# list\nGUA 1 C1' 92.7 .\n\n  \r\nADE 12 H5'' 4.1\r\nLYS 3 CA 56\n");
  ASSERT_EQ(shifts.size(), 3u);
  EXPECT_EQ(shifts[0].residue_name, "GUA");
  EXPECT_EQ(shifts[0].residue, 1);
  EXPECT_EQ(shifts[0].atom, "C1'");
  EXPECT_DOUBLE_EQ(shifts[0].value, 92.7);
  EXPECT_EQ(shifts[0].line, 2);
  EXPECT_EQ(shifts[1].atom, "H5''");
  EXPECT_EQ(shifts[1].line, 5);
  EXPECT_EQ(shifts[1].chain, "");
  EXPECT_EQ(shifts[2].residue_name, "LYS");  // kept here; the builder decides
}

TEST(FourColumnShiftsTest, MalformedLinesNameFileAndLine) {
  struct Case {
    const char* content;
    const char* error;
  } const cases[] = {
      {"GUA 1 C1'\n", "s.txt:1: has 3 words instead of RESNAME RESID ATOM VALUE"},
      {"GUA 1 C1' 92\nGUA x1 C1' 92\n", "s.txt:2: residue number 'x1' is no whole number"},
      {"GUA 1.5 C1' 92\n", "s.txt:1: residue number '1.5' is no whole number"},
      {"GUA 1 C1' 92,7\n", "s.txt:1: shift value '92,7' is no number"},
      {"GUA 1 C1' .\n", "s.txt:1: shift value '.' is no number"},
  };
  for (const Case& c : cases) EXPECT_EQ(read_error(c.content), c.error) << c.content;
}

// A minimal entry in the layout of the database's files: a sequence loop
// first (not read), then two shift lists, quoted values and a text field.
constexpr const char* kStarEntry = R"(data_9
save_entity
  _Entity.Details
;
loop_ text inside a text field is no loop
;
  loop_
    _Entity_comp_index.ID
    _Entity_comp_index.Comp_ID
    1 G
    2 C
  stop_
save_
save_list_1
  loop_
    _Atom_chem_shift.ID
    _Atom_chem_shift.Entity_assembly_ID
    _Atom_chem_shift.Comp_index_ID
    _Atom_chem_shift.Seq_ID
    _Atom_chem_shift.Comp_ID
    _Atom_chem_shift.Atom_ID
    _Atom_chem_shift.Val
    _Atom_chem_shift.Details
    1 1 1 1 G "H1'" 5.834 .
    2 1 1 1 G H5'' 4.268 'a note, it's fine'
    3 2 7 . C H6 . .
    4 2 7 . C H5 5.1 .
  stop_
save_
save_list_2
  loop_
    _Atom_chem_shift.ID
    _Atom_chem_shift.Seq_ID
    _Atom_chem_shift.Comp_ID
    _Atom_chem_shift.Atom_ID
    _Atom_chem_shift.Val
    1 2 C N4 97.5
  stop_
save_
)";

TEST(NmrStarShiftsTest, ReadsEveryShiftLoopWithChainsAndNumbers) {
  const auto shifts = read_ok(kStarEntry);
  ASSERT_EQ(shifts.size(), 4u);
  EXPECT_EQ(shifts[0].atom, "H1'");
  EXPECT_EQ(shifts[0].chain, "1");
  EXPECT_EQ(shifts[0].residue, 1);
  EXPECT_EQ(shifts[0].line, 24);
  EXPECT_EQ(shifts[1].atom, "H5''");
  EXPECT_DOUBLE_EQ(shifts[1].value, 4.268);
  // The row without a value is skipped; Seq_ID "." falls back to Comp_index_ID.
  EXPECT_EQ(shifts[2].atom, "H5");
  EXPECT_EQ(shifts[2].chain, "2");
  EXPECT_EQ(shifts[2].residue, 7);
  // A loop without Entity_assembly_ID has no chain.
  EXPECT_EQ(shifts[3].atom, "N4");
  EXPECT_EQ(shifts[3].chain, "");
  EXPECT_EQ(shifts[3].residue, 2);
}

TEST(NmrStarShiftsTest, BrokenLoopsAreErrors) {
  const std::string head =
      "data_1\nloop_\n_Atom_chem_shift.Seq_ID\n_Atom_chem_shift.Comp_ID\n"
      "_Atom_chem_shift.Atom_ID\n_Atom_chem_shift.Val\n";
  EXPECT_EQ(read_error(head + "1 G H8 7.9\n2 C H6\nstop_\n"),
            "s.txt:2: atom chemical shift loop has 7 values, not a multiple of its 4 tags");
  EXPECT_EQ(read_error(head + "1 G H8 seven\nstop_\n"),
            "s.txt:7: shift value 'seven' is no number");
  EXPECT_EQ(read_error(head + "1 G H8 'open\nstop_\n"),
            "s.txt:7: quoted value is not closed on its line");
  EXPECT_EQ(read_error("data_1\nloop_\n_Atom_chem_shift.Atom_ID\n_Atom_chem_shift.Val\nH8 7\n"
                       "stop_\n"),
            "s.txt:2: atom chemical shift loop has no tag Comp_ID");
  EXPECT_EQ(read_error("data_1\n;\nopen text _Atom_chem_shift.Val\n"),
            "s.txt:2: text field opened by ';' is not closed");
  std::vector<ObservedShift> shifts;
  std::string error;
  EXPECT_FALSE(parse_nmrstar_shifts("data_1\n", "e.str", &shifts, &error));
  EXPECT_EQ(error, "e.str: no atom chemical shift loop");
}

TEST(NmrStarShiftsTest, ReadsTheDatabaseExamples) {
  std::string content;
  const std::string name = MIRELON_SHARED_DATA "/shifts/nmrstar_examples/bmr15157.str";
  if (!read_input_file(name.c_str(), &content)) GTEST_SKIP() << "no shared data";
  std::vector<ObservedShift> shifts;
  std::string error;
  ASSERT_TRUE(parse_shift_file(content, name, &shifts, &error)) << error;
  ASSERT_FALSE(shifts.empty());
  // The first shift of the first list: G 1 H1 11.22.
  EXPECT_EQ(shifts[0].residue_name, "G");
  EXPECT_EQ(shifts[0].atom, "H1");
  EXPECT_EQ(shifts[0].residue, 1);
  EXPECT_DOUBLE_EQ(shifts[0].value, 11.22);
  for (const ObservedShift& s : shifts) {
    EXPECT_FALSE(nucleotide_letter(s.residue_name).empty()) << s.residue_name;
    EXPECT_GE(s.residue, 1);
    EXPECT_LE(s.residue, 8);
  }
}

TEST(NameMappingTest, ResidueNamesAndAtomNames) {
  const std::pair<const char*, const char*> residues[] = {
      {"A", "A"},  {"ADE", "A"}, {"RADE", "A"}, {"CYT", "C"}, {"RCYT", "C"},
      {"G", "G"},  {"GUA", "G"}, {"U", "U"},    {"URA", "U"}, {"PSU", ""},
      {"GTP", ""}, {"a", ""},    {"T", ""},     {"LYS", ""},  {"", ""},
  };
  for (const auto& [name, letter] : residues) EXPECT_EQ(nucleotide_letter(name), letter) << name;
  EXPECT_EQ(table_atom_name("H5''"), "H5\"");
  EXPECT_EQ(table_atom_name("H5'"), "H5'");
  EXPECT_EQ(table_atom_name("HO2'"), "HO2'");
  EXPECT_EQ(table_atom_name("H5\""), "H5\"");
}

}  // namespace
}  // namespace mirelon
