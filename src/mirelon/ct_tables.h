// mirelon's reading of a CT file, shared by the sequence step and the
// hydrogen-bond step: the nucleotide lines as text tables and the residues
// built from them. (The structure library's CT reader, which checks far
// more, serves the companion tools.)
#ifndef MIRELON_CT_TABLES_H_
#define MIRELON_CT_TABLES_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "structure/ct_line.h"
#include "structure/residue_context.h"

namespace mirelon {

inline constexpr size_t kMaxNucleotides = 10000;

// What check_ct_index() finds wrong with column 1 of a nucleotide line.
enum class CtIndexFault { kNone, kOutOfRange, kNotAbove };

// Checks column 1 `index` (a whole number) of a nucleotide line against
// `before`, column 1 of the nucleotide line before it (empty for the first):
// the index must fit an int and be greater than the one before. Residue
// numbers come from column 1 (plus 100 per chain break), so an index that
// repeats or falls back would give two residues, or a residue and a linker
// pseudo-residue, the same number.
CtIndexFault check_ct_index(std::string_view index, std::string_view before);

// Parses the content of a CT file named `file_name` (the name only goes into
// messages). The first line is a header and is skipped; after it, lines that
// hold only white space are skipped, and every other line is one nucleotide
// with exactly six columns, of which columns 1, 3, 4 and 5 are whole numbers,
// and column 1 rises from line to line (check_ct_index()).
// Returns false with the exact message in `error` when there are more than
// 10000 nucleotides (tested first), or at the first line, in file order, with
// another column count, a column that is no whole number or a column 1 that
// check_ct_index() refuses (tested last). The message says what the file is
// when it can tell: a line that starts a second structure
// (starts_ct_structure()), or a whole file in dot-bracket, BPSEQ or FASTA.
bool parse_ct_records(std::string_view content, const char* file_name,
                      std::vector<CtRecord>* records, std::string* error);

// What both steps read from a CT file.
struct CtNucleotides {
  std::vector<CtRecord> records;
  std::vector<Residue> residues;
};

// Reads and classifies the CT file `file_name`. Ends the process with exit
// status 1 after the message when the file cannot be opened or read, holds
// more than 10000 nucleotides, or has a malformed line or a column 1 that
// does not rise; nothing has been written then.
CtNucleotides read_ct_nucleotides(const char* file_name);

}  // namespace mirelon

#endif  // MIRELON_CT_TABLES_H_
