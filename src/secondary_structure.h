// The secondary structure input shared by the sequence step and the
// hydrogen-bond step: reading the CT file, marking every nucleotide's
// pairing, building its context record and residue number, and the sequence
// file "kesta.seq".
#ifndef MIRELON_SECONDARY_STRUCTURE_H_
#define MIRELON_SECONDARY_STRUCTURE_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "residue_ids.h"

namespace mirelon {

inline constexpr size_t kMaxNucleotides = 10000;
inline constexpr size_t kCtColumnCount = 6;
// Pseudo-residues of the linker written at every chain break: "NL", 98 "LL", "LN".
inline constexpr int64_t kLinkerLength = 100;
inline constexpr const char* kSequenceFileName = "kesta.seq";

// One nucleotide line of a CT file: its six columns as texts.
struct CtRecord {
  std::string index;    // column 1
  std::string base;     // column 2
  std::string before;   // column 3, "0" when no nucleotide precedes in the strand
  std::string after;    // column 4, "0" when the strand ends here
  std::string partner;  // column 5, position of the partner in the file, 0 if unpaired
  std::string natural;  // column 6, never used
};

// A nucleotide as the steps see it: its residue-ID record, its residue
// number, and whether a chain break (and so a linker) follows it.
struct Residue {
  ResidueIdRecord id;
  int64_t number = 0;
  bool break_after = false;
};

// Parses the content of a CT file named `file_name` (the name only goes into
// messages). The first line is a header and is skipped; after it, lines that
// hold only white space are skipped, and every other line is one nucleotide
// with exactly six columns, of which columns 1, 3, 4 and 5 are whole numbers.
// Returns false with the exact message in `error` when there are more than
// 10000 nucleotides (tested first), or at the first line, in file order, with
// another column count or a column that is no whole number.
bool parse_ct(std::string_view content, const char* file_name, std::vector<CtRecord>* records,
              std::string* error);

// Pairing mark of record `j`: "w" when its column 5 names a record (counting
// from 1 in file order) and the two base letters form a canonical
// Watson-Crick pair, "o" otherwise.
std::string_view pairing_mark(const std::vector<CtRecord>& records, size_t j);

// Builds the residue of every record in file order: context record, residue
// number (column 1 read as a stream int, plus 100 per chain break before it)
// and chain break. The first record has no nucleotide before it and the last
// none after it, whatever columns 3 and 4 say; a chain break follows a record
// whose column 4 is "0" unless it is the last.
std::vector<Residue> build_residues(const std::vector<CtRecord>& records);

// One line of "kesta.seq": the name left-aligned in 5 characters, the number
// right-aligned in 4 (never cut), a line feed.
std::string format_sequence_line(std::string_view name, int64_t number);

// The content of "kesta.seq": a line per residue with a residue name, and a
// linker of 100 pseudo-residues after every chain break.
std::string format_sequence_file(const std::vector<Residue>& residues);

// The residue-ID records of `residues`, in order.
std::vector<ResidueIdRecord> residue_id_records(const std::vector<Residue>& residues);

// Writes "kesta.seq" for `residues` (format_sequence_file). Ends the process
// with exit status 1 after "Unable to write file" when it cannot be written.
void write_sequence_file(const std::vector<Residue>& residues);

// The content of "idarrayke.txt" for `residues`, which the sequence step also
// echoes on standard output.
std::string format_residue_id_file(const std::vector<Residue>& residues);

// Writes `content` (from format_residue_id_file) as "idarrayke.txt". Ends the
// process with exit status 1 after "Unable to write file" when it cannot be
// written.
void write_residue_id_file(std::string_view content);

// What both steps read from a CT file.
struct SecondaryStructure {
  std::vector<CtRecord> records;
  std::vector<Residue> residues;
};

// Reads and classifies the CT file `file_name`. Ends the process with exit
// status 1 after the message when the file cannot be opened or read, holds
// more than 10000 nucleotides, or has a malformed line; nothing has been
// written then.
SecondaryStructure read_secondary_structure(const char* file_name);

}  // namespace mirelon

#endif  // MIRELON_SECONDARY_STRUCTURE_H_
