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
      {"GUA 1 C1' 1e-400\n", "s.txt:1: shift value '1e-400' is no number"},
  };
  for (const Case& c : cases) EXPECT_EQ(read_error(c.content), c.error) << c.content;
}

// A value that is no finite number is refused with its atom in every
// format; a huge finite one is a value like any other.
TEST(ShiftValuesTest, ValuesThatAreNotFiniteAreErrorsNamingTheAtom) {
  const std::string star_head =
      "data_1\nsave_l\nloop_\n_Atom_chem_shift.Entity_assembly_ID\n_Atom_chem_shift.Seq_ID\n"
      "_Atom_chem_shift.Comp_ID\n_Atom_chem_shift.Atom_ID\n_Atom_chem_shift.Val\n";
  const std::string nef_head =
      "data_nef_x\nloop_\n_nef_chemical_shift.chain_code\n_nef_chemical_shift.sequence_code\n"
      "_nef_chemical_shift.residue_name\n_nef_chemical_shift.atom_name\n"
      "_nef_chemical_shift.value\n";
  struct Case {
    std::string content;
    const char* error;
  } const cases[] = {
      {"A 22 H1' 6.0\nA 22 H2' nan\n",
       "s.txt:2: shift value 'nan' of A22 H2' is not a finite number"},
      {"A 22 H1' -inf\n", "s.txt:1: shift value '-inf' of A22 H1' is not a finite number"},
      {"A 22 H1' INFINITY\n", "s.txt:1: shift value 'INFINITY' of A22 H1' is not a finite number"},
      {"A 22 H1' 1e400\n", "s.txt:1: shift value '1e400' of A22 H1' is not a finite number"},
      {"A 22 H1' -1e400\n", "s.txt:1: shift value '-1e400' of A22 H1' is not a finite number"},
      {"A 22 H1' 1e400x\n", "s.txt:1: shift value '1e400x' is no number"},
      {star_head + "1 22 A H1' NaN\nstop_\nsave_\n",
       "s.txt:9: shift value 'NaN' of A22 H1' (chain 1) is not a finite number"},
      {nef_head + "B 3 G H8 1e999\nstop_\n",
       "s.txt:8: shift value '1e999' of G3 H8 (chain B) is not a finite number"},
  };
  for (const Case& c : cases) EXPECT_EQ(read_error(c.content), c.error) << c.content;
  const auto shifts = read_ok("A 22 H1' 1e308\nA 22 H2' -1.7e308\n");
  ASSERT_EQ(shifts.size(), 2u);
  EXPECT_EQ(shifts[0].value, 1e308);
  EXPECT_EQ(shifts[1].value, -1.7e308);
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

// A file that ends inside a loop or a saveframe was cut short: refused,
// naming the line where the loop or saveframe began; one that closes them,
// or ends a loop by another keyword, is read.
TEST(StarShiftsTest, FilesCutShortAreErrors) {
  const std::string loop =
      "loop_\n_Atom_chem_shift.Seq_ID\n_Atom_chem_shift.Comp_ID\n_Atom_chem_shift.Atom_ID\n"
      "_Atom_chem_shift.Val\n1 G H8 7.9\n";
  const std::string nef_loop =
      "loop_\n_nef_chemical_shift.chain_code\n_nef_chemical_shift.sequence_code\n"
      "_nef_chemical_shift.residue_name\n_nef_chemical_shift.atom_name\n"
      "_nef_chemical_shift.value\nA 1 G H8 7.9\n";
  struct Case {
    std::string content;
    const char* error;  // empty: read
  } const cases[] = {
      {"data_1\nsave_list\n" + loop,
       "s.txt:3: the end of the file cuts short the loop that "
       "begins here (no stop_)"},
      {"data_1\n" + loop,
       "s.txt:2: the end of the file cuts short the loop that begins here "
       "(no stop_)"},
      {"data_1\n" + loop + "2 C",
       "s.txt:2: the end of the file cuts short the loop that begins "
       "here (no stop_)"},
      {"data_1\nsave_list\n" + loop + "stop_\n",
       "s.txt:2: the end of the file cuts short "
       "saveframe save_list that begins here (no save_)"},
      {"data_nef_x\nsave_nef_chemical_shift_list_1\n" + nef_loop,
       "s.txt:3: the end of the file cuts short the loop that begins here (no stop_)"},
      {"data_nef_x\nsave_nef_chemical_shift_list_1\n" + nef_loop + "stop_\n",
       "s.txt:2: the end of the file cuts short saveframe save_nef_chemical_shift_list_1 that "
       "begins here (no save_)"},
      // A quoted or text-field "stop_" or "save_" closes nothing.
      {"data_1\n" + loop + "'stop_'\n;\nsave_\n;\n",
       "s.txt:2: the end of the file cuts short the loop that begins here (no stop_)"},
      {"data_1\nsave_list\n" + loop + "stop_\nsave_\n", ""},
      {"data_1\nsave_list\n" + loop + "save_\n", ""},  // save_ ends the loop
      {"data_1\n" + loop + "data_2\n", ""},            // so does the next data block
  };
  for (const Case& c : cases) {
    std::vector<ObservedShift> shifts;
    std::string error;
    EXPECT_EQ(parse_shift_file(c.content, "s.txt", &shifts, &error), c.error[0] == '\0')
        << c.content;
    EXPECT_EQ(error, c.error) << c.content;
  }
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

// The whole entry is read; its first 960 lines end inside the shift loop.
TEST(NmrStarShiftsTest, TheDatabaseExampleCutShortIsRefused) {
  std::string content;
  const std::string name = MIRELON_SHARED_DATA "/shifts/nmrstar_examples/bmr5371.str";
  if (!read_input_file(name.c_str(), &content)) GTEST_SKIP() << "no shared data";
  std::vector<ObservedShift> shifts;
  std::string error;
  ASSERT_TRUE(parse_shift_file(content, "bmr5371.str", &shifts, &error)) << error;
  EXPECT_EQ(shifts.size(), 266u);
  size_t end = 0;
  for (int line = 0; line < 960; ++line) end = content.find('\n', end) + 1;
  EXPECT_FALSE(parse_shift_file(content.substr(0, end), "bmr5371.str", &shifts, &error));
  EXPECT_EQ(error,
            "bmr5371.str:825: the end of the file cuts short the loop that begins here (no stop_)");
}

TEST(DifferingRepeatsTest, WarningNamesResidueAtomAndBothValues) {
  ObservedShift first;
  first.residue_name = "A";
  first.residue = 22;
  first.atom = "H1'";
  first.value = 6.038;
  ObservedShift repeat = first;
  repeat.value = 5.1;
  EXPECT_EQ(differing_repeat_text(first, repeat), "A22 H1' 6.038 and 5.1");
  first.chain = repeat.chain = "B";
  repeat.value = 6.03812345678;
  EXPECT_EQ(differing_repeat_text(first, repeat), "A22 H1' (chain B) 6.038 and 6.038123457");
  EXPECT_EQ(differing_repeats_warning("s.str", {}), "");
  EXPECT_EQ(differing_repeats_warning("s.str", {"A22 H1' 6.038 and 5.1"}),
            "Warning: s.str: atoms listed again with another value (the first value is used, "
            "the others are left out): A22 H1' 6.038 and 5.1\n");
}

TEST(ShiftFormatTest, AStarFileWithoutAShiftLoopIsReadAsWhatItIs) {
  const struct {
    const char* content;
    ShiftFormat format;
    const char* error;  // of parse_shift_file(), "" when it reads the content
  } cases[] = {
      {"data_r\nsave_nef_nmr_meta_data\n_nef_nmr_meta_data.sf_category x\nsave_\n",
       ShiftFormat::kNef, "s.txt: no NEF chemical shift loop"},
      {"# entry\n\ndata_1\nsave_entry\n_Entry.ID 1\nsave_\n", ShiftFormat::kNmrStar,
       "s.txt: no atom chemical shift loop"},
      // A list stays a list, whatever its comments name.
      {"# from r_nef_file\nG 1 H8 7.9\n", ShiftFormat::kFourColumn, ""},
      {"G 1 data_x 7.9\n", ShiftFormat::kFourColumn, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(detect_shift_format(c.content), c.format) << c.content;
    std::vector<ObservedShift> shifts;
    std::string error;
    EXPECT_EQ(parse_shift_file(c.content, "s.txt", &shifts, &error), *c.error == '\0') << c.content;
    EXPECT_EQ(error, c.error) << c.content;
  }
}

TEST(NameMappingTest, ResidueNamesAndAtomNames) {
  const std::pair<const char*, const char*> residues[] = {
      {"A", "A"},   {"ADE", "A"},  {"RADE", "A"}, {"CYT", "C"}, {"RCYT", "C"}, {"G", "G"},
      {"GUA", "G"}, {"U", "U"},    {"URA", "U"},  {"PSU", ""},  {"GTP", ""},   {"a", "A"},
      {"gua", "G"}, {"Rcyt", "C"}, {"uRa", "U"},  {"psu", ""},  {"T", ""},     {"LYS", ""},
      {"", ""},     {"GU", ""},    {"GUAN", ""},
  };
  for (const auto& [name, letter] : residues) EXPECT_EQ(nucleotide_letter(name), letter) << name;
  EXPECT_EQ(table_atom_name("H5''"), "H5\"");
  EXPECT_EQ(table_atom_name("H5'"), "H5'");
  EXPECT_EQ(table_atom_name("HO2'"), "HO2'");
  EXPECT_EQ(table_atom_name("H5\""), "H5\"");
  EXPECT_EQ(table_atom_name("H5x"), "H5'");
  EXPECT_EQ(table_atom_name("H5y"), "H5\"");
}

// A NEF file as spectrum programs write it: the shift list after the
// molecular system, whose own loop is not read.
constexpr const char* kNefFile = R"(data_nef_test
save_nef_molecular_system
   _nef_molecular_system.sf_category   nef_molecular_system
   loop_
      _nef_sequence.index
      _nef_sequence.chain_code
      _nef_sequence.sequence_code
      _nef_sequence.residue_name
      1 A 1 G
   stop_
save_
save_nef_chemical_shift_list_1
   _nef_chemical_shift_list.sf_category   nef_chemical_shift_list
   loop_
      _nef_chemical_shift.chain_code
      _nef_chemical_shift.sequence_code
      _nef_chemical_shift.residue_name
      _nef_chemical_shift.atom_name
      _nef_chemical_shift.value
      _nef_chemical_shift.value_uncertainty
      A  1    G  H1'   5.81  0.02
      A  1    G  H5x   4.4   .
      A  24B  G  H8    7.9   .
      @2 @5   .  H     8.1   .
      B  -3   C  H6    .     .
      B  -2   U  H6    ?     .
      B  -3   C  H5''  5.2   .
   stop_
save_
)";

TEST(NefShiftsTest, ReadsTheShiftListAndPassesOverUnnumberedRows) {
  EXPECT_EQ(detect_shift_format(kNefFile), ShiftFormat::kNef);
  const auto shifts = read_ok(kNefFile);
  ASSERT_EQ(shifts.size(), 3u);
  EXPECT_EQ(shifts[0].chain, "A");
  EXPECT_EQ(shifts[0].residue, 1);
  EXPECT_EQ(shifts[0].atom, "H1'");
  EXPECT_EQ(shifts[0].line, 21);
  EXPECT_EQ(shifts[1].atom, "H5x");
  // 24B and @5 are no residue numbers; the rows without a value are skipped.
  EXPECT_EQ(shifts[2].chain, "B");
  EXPECT_EQ(shifts[2].residue, -3);
  EXPECT_EQ(shifts[2].residue_name, "C");
  EXPECT_DOUBLE_EQ(shifts[2].value, 5.2);
}

TEST(NefShiftsTest, BrokenListsAreErrors) {
  const std::string head =
      "data_nef_x\nloop_\n_nef_chemical_shift.chain_code\n_nef_chemical_shift.sequence_code\n"
      "_nef_chemical_shift.residue_name\n_nef_chemical_shift.atom_name\n"
      "_nef_chemical_shift.value\n";
  EXPECT_EQ(read_error(head + "A 1 G H8 7.9\nA 2 C H6\nstop_\n"),
            "s.txt:2: NEF chemical shift loop has 9 values, not a multiple of its 5 tags");
  EXPECT_EQ(read_error(head + "A 1 G H8 7,9\nstop_\n"), "s.txt:8: shift value '7,9' is no number");
  EXPECT_EQ(read_error("data_nef_x\nloop_\n_nef_chemical_shift.chain_code\n"
                       "_nef_chemical_shift.sequence_code\n_nef_chemical_shift.atom_name\n"
                       "_nef_chemical_shift.value\nA 1 H8 7\nstop_\n"),
            "s.txt:2: NEF chemical shift loop has no tag residue_name");
  EXPECT_EQ(read_error("data_nef_x\nloop_\n_nef_chemical_shift.residue_name\n"
                       "_nef_chemical_shift.atom_name\n_nef_chemical_shift.value\nG H8 7\nstop_\n"),
            "s.txt:2: NEF chemical shift loop has no tag sequence_code");
  // A short tag of another category in the loop is no column of it.
  EXPECT_EQ(
      read_error("data_nef_x\nloop_\n_nef_chemical_shift.chain_code\n_x\n"
                 "_nef_chemical_shift.atom_name\n_nef_chemical_shift.value\nA 1 H8 7\nstop_\n"),
      "s.txt:2: NEF chemical shift loop has no tag residue_name");
  EXPECT_EQ(read_error("data_1\nloop_\n_Atom_chem_shift.Val\n_V\n7 1\nstop_\n"),
            "s.txt:2: atom chemical shift loop has no tag Comp_ID");
  EXPECT_EQ(read_error(head + "A 1 G \"H8 7.9\nstop_\n"),
            "s.txt:8: quoted value is not closed on its line");
  std::vector<ObservedShift> shifts;
  std::string error;
  EXPECT_FALSE(parse_nef_shifts("data_nef_x\n", "e.nef", &shifts, &error));
  EXPECT_EQ(error, "e.nef: no NEF chemical shift loop");
}

}  // namespace
}  // namespace mirelon
