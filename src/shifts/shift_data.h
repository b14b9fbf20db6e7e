// Assigned chemical shifts as open data sets and spectrum programs publish
// them: the atom chemical shift loop of an NMR-STAR 3 entry, the chemical
// shift list of a NEF file, or a four-column list
// "RESNAME RESID ATOM VALUE" (further columns ignored). The readers keep the
// residue and atom names as the file spells them; the mapping to the base
// letters and atom names of the statistics table is separate.
#ifndef MIRELON_SHIFT_DATA_H_
#define MIRELON_SHIFT_DATA_H_

#include <string>
#include <string_view>
#include <vector>

namespace mirelon {

// One assigned shift as read from a shift file.
struct ObservedShift {
  std::string chain;         // entity assembly of an NMR-STAR entry; empty in four-column lists
  int64_t residue = 0;       // residue number in the shift file's own numbering
  std::string residue_name;  // as in the file: "G", "GUA", "LYS", ...
  std::string atom;          // as in the file: "H1'", "H5''", ...
  double value = 0;          // ppm
  int line = 0;              // line of the file that holds it, counting from 1
};

enum class ShiftFormat { kNef, kNmrStar, kFourColumn };

// NEF when the content holds a NEF chemical shift tag ("_nef_chemical_shift."),
// else NMR-STAR when it holds an atom chemical shift loop tag
// ("_Atom_chem_shift."); else, for a STAR file without a shift loop (its
// first line that is neither blank nor a comment starts with "data_"), NEF
// when it holds a NEF tag ("_nef_") and NMR-STAR otherwise, so that its
// reader says that the loop is missing; the four-column list otherwise.
ShiftFormat detect_shift_format(std::string_view content);

// Reads a four-column list: every line that is neither blank nor begins with
// '#' holds at least four words RESNAME RESID ATOM VALUE, RESID a whole
// number and VALUE a finite real number. Returns false with
// "FILE:LINE: reason" in `error` at the first line that breaks this; a value
// that is not finite (nan, inf, beyond the range of a double) is named with
// its atom (observed_atom_label()).
bool parse_four_column_shifts(std::string_view content, const std::string& file_name,
                              std::vector<ObservedShift>* shifts, std::string* error);

// Reads every atom chemical shift loop of an NMR-STAR 3 entry (all assigned
// shift lists, in file order). Uses the tags Comp_ID, Atom_ID, Val, Seq_ID
// (Comp_index_ID where Seq_ID is ".") and Entity_assembly_ID when present.
// Rows whose value is "." or "?" are skipped. Returns false with
// "FILE:LINE: reason" in `error` when a loop lacks a needed tag, its values
// do not fill whole rows, a quoted value or text field is not closed, or a
// residue number is no whole number or a value no finite number (as in
// parse_four_column_shifts()); also when no such loop is found, and when the
// end of the file cuts short a loop (no stop_) or a saveframe (no save_),
// naming the line where it began.
bool parse_nmrstar_shifts(std::string_view content, const std::string& file_name,
                          std::vector<ObservedShift>* shifts, std::string* error);

// Reads every chemical shift loop of a NEF file (all nef_chemical_shift_list
// saveframes, in file order) with the STAR syntax of parse_nmrstar_shifts().
// Uses the tags chain_code, sequence_code, residue_name, atom_name and value.
// Rows whose value is "." or "?" are skipped, and so are rows whose
// sequence code is no whole number (insertion codes such as "24B",
// unassigned resonances such as "@5"). Fails as parse_nmrstar_shifts() does.
bool parse_nef_shifts(std::string_view content, const std::string& file_name,
                      std::vector<ObservedShift>* shifts, std::string* error);

// Reads `content` with the reader that detect_shift_format() chooses.
bool parse_shift_file(std::string_view content, const std::string& file_name,
                      std::vector<ObservedShift>* shifts, std::string* error);

// How messages name an observed atom, in the shift file's own terms:
// residue name and number, then the atom ("A22 H1'"), and the chain where
// the file names one ("A22 H1' (chain B)").
std::string observed_atom_label(const ObservedShift& shift);

// "A22 H1' 6.038 and 5.1": an atom listed a second time with another value
// than at first, with both values, as a warning names it.
std::string differing_repeat_text(const ObservedShift& first, const ObservedShift& repeat);

// The "Warning: " line for the atoms that `file` lists again with another
// value than at first (differing_repeat_text() of each, at most 10 named,
// then "and N more"): the first value is used, the repeats are left out.
// Empty when `repeats` is empty.
std::string differing_repeats_warning(const std::string& file,
                                      const std::vector<std::string>& repeats);

// The base letter "A", "C", "G" or "U" of a standard ribonucleotide residue
// name (one-letter, three-letter "ADE" "CYT" "GUA" "URA", or KESTA's "RADE"
// "RCYT" "RGUA"), in any case ("gua", "Gua"); an empty view for every other
// name, modified nucleotides such as "PSU" or "GTP" included.
std::string_view nucleotide_letter(std::string_view residue_name);

// The atom name as the statistics table spells it: the second hydrogen at C5'
// is "H5''" in NMR-STAR and PDB files and H5" (one double quote) in the
// table; NEF's names for the two hydrogens where they are not
// stereospecifically assigned, "H5x" and "H5y", stand for the table's H5'
// (the downfield one) and H5"; every other name is returned unchanged.
std::string table_atom_name(std::string_view atom);

}  // namespace mirelon

#endif  // MIRELON_SHIFT_DATA_H_
