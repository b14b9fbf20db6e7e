// RNA secondary structures in the three file formats users hold them in: CT
// (what mirelon reads), dot-bracket and BPSEQ. One model, a reader and a
// writer per format, and the bridge to mirelon's own CT records.
//
// Readers take the whole file content and the file name (used in messages
// only); on bad input they return false with one exact message of the form
// "FILE:LINE: ..." (dot-bracket: "FILE:LINE:COLUMN: ..."), ended by a line
// feed. Nothing here prints or exits.
#ifndef MIRELON_STRUCTURE_H_
#define MIRELON_STRUCTURE_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "structure/ct_line.h"

namespace mirelon {

// A secondary structure: nucleotides in 5' to 3' order, strand after strand.
struct Structure {
  // Title: CT header after the count, dot-bracket ">" line, BPSEQ "Filename:".
  std::string name;
  // One base per nucleotide, as the file has it ("G", "u", "T", "I", ...);
  // never empty, never holding white space.
  std::vector<std::string> bases;
  // Per nucleotide the position (counting from 0) of its partner, or none.
  // Pairs are symmetric and no nucleotide pairs with itself.
  std::vector<std::optional<size_t>> partners;
  // Positions (counting from 0) of the last nucleotide of every strand but
  // the last, ascending; each is below bases.size() - 1.
  std::vector<size_t> breaks;
  // CT column 6 (natural numbering) per nucleotide when the structure was
  // read from a CT file; empty otherwise, and CT is then written with the
  // positions 1, 2, 3, ...
  std::vector<std::string> natural_numbers;

  size_t size() const { return bases.size(); }
};

// Columns of a BPSEQ line: index, base, partner.
inline constexpr size_t kBpseqColumnCount = 3;

enum class StructureFormat { kCt, kBpseq, kDotBracket, kFasta };

// Guesses the format of a structure file from its first two non-blank lines:
// when the first starts with ">", FASTA (a sequence without a structure) if
// at least one further line follows and none of the lines after it that do
// not start with ">" holds a bracket or a dot, dot-bracket otherwise; BPSEQ when it starts with
// "#", or with a word that is no whole number and holds ":" (a header such as "Filename:"), or is
// an "i base j" line not followed by a six-column line; CT when it starts with a whole number (a
// header "N name") or a six-column line follows it; dot-bracket otherwise (a sequence line).
StructureFormat detect_structure_format(std::string_view content);

// What a file that is no structure recognisably is, for the message that
// names the mistake: "a statistics table" (a line that starts with ':' and a
// record whose third word is a context key such as 0oGwCwAo), "a shift list
// (NEF)" or "a shift list (NMR-STAR)" (its first line that is neither blank
// nor a comment starts with "data_"); empty for anything else.
std::string_view recognise_other_file(std::string_view content);

// Reads `content` in the format detect_structure_format() names. Content
// that holds nothing but white space is an error too, and so is FASTA. When
// the content is recognisably no structure (recognise_other_file()), the
// message says so: "FILE:1: this is a statistics table, not a structure".
bool parse_structure(std::string_view content, std::string_view file_name, Structure* structure,
                     std::string* error);

// Reads a CT file holding one structure: a header whose first word is the
// number N of nucleotides, then N lines of six columns (blank lines are
// skipped). Column 1 must be the position 1..N; column 3 is "0" where a strand
// starts and the position before otherwise, column 4 "0" where a strand ends
// and the position after otherwise (columns 1, 3 and 4 in plain decimals,
// compared as texts as mirelon compares them) (the first column 3 and the last column 4
// may hold any whole number: circular RNAs, "N+1" at the end); column 5 is the
// partner or 0. Fails on any other line, on a line after the N nucleotides
// (a second structure), and on pairs that are one-sided, reach outside the
// sequence or pair a nucleotide with itself.
// `first_line` is the line of the file that `content` starts at, for the
// messages (a structure after the first of a file: see ct_structures.h).
bool parse_structure_ct(std::string_view content, std::string_view file_name, Structure* structure,
                        std::string* error, int first_line = 1);

// Reads every structure of `content`: the structures of a CT file that holds
// several, one after the other (split_ct_structures()), each read as
// parse_structure_ct() reads one; the one structure of any other file, as
// parse_structure() reads it. Fails at the first structure that fails.
bool parse_structures(std::string_view content, std::string_view file_name,
                      std::vector<Structure>* structures, std::string* error);

// Reads a dot-bracket file: an optional ">name" line, a sequence line and a
// structure line (blank lines between them are skipped). Brackets "()", "[]",
// "{}", "<>" and letter pairs "Aa" to "Zz" pair, "." is unpaired, and "&"
// separates strands at the same column of both lines. A free energy in
// parentheses after the structure, such as " (-12.30)", is ignored. Fails on
// other characters, on lines of different lengths, on unbalanced brackets
// and on any further line.
bool parse_structure_dot_bracket(std::string_view content, std::string_view file_name,
                                 Structure* structure, std::string* error);

// Reads a BPSEQ file: "i base j" lines numbered 1, 2, 3, ... with j the
// partner or 0. Blank lines and lines starting with "#" are skipped anywhere,
// header lines (such as "Filename: NAME", whose NAME becomes the name) before
// the first nucleotide. Fails on other lines, on a file without nucleotides,
// and on pairs that are one-sided, reach outside the sequence or pair a
// nucleotide with itself. BPSEQ knows no strand breaks.
bool parse_structure_bpseq(std::string_view content, std::string_view file_name,
                           Structure* structure, std::string* error);

// The CT records of `structure`, exactly as mirelon's parse_ct_records() reads them back from
// format_structure_ct(): column 3 "0" at every strand start, column 4 "0" at
// every strand end, so that build_residues() numbers the strands with
// linkers. REQUIRES: a structure as the readers return it.
std::vector<CtRecord> to_ct_records(const Structure& structure);

// The structure as a CT file: a header "N  name" (the count right-aligned in
// five characters, no blanks after it when the name is empty), then one line
// per nucleotide with the columns of to_ct_records().
std::string format_structure_ct(const Structure& structure);

// The structure as a BPSEQ file: "Filename: name" when the name is not
// empty, then one "i base j" line per nucleotide. Strand breaks are lost:
// BPSEQ lists the strands one after the other.
std::string format_structure_bpseq(const Structure& structure);

// The structure as dot-bracket: ">name" when the name is not empty, the
// sequence line and the structure line, "&" between strands. Bracket kinds
// are given helix by helix in 5' order, each the first kind that crosses no
// helix already holding it, so pseudoknots read back unchanged. Fails when a
// base is not one letter or the pairs need more kinds than "()", "[]", "{}",
// "<>" and "Aa" to "Zz".
bool format_structure_dot_bracket(const Structure& structure, std::string* text,
                                  std::string* error);

// Writes every base in upper case, with T as U.
void convert_to_upper_rna(Structure* structure);

// Option -N of mirelon-nef and mirelon-check numbers residues by CT column 6
// (the natural numbering). The fault that keeps -N from `structure`, read
// from `file_name`: "FILE: -N takes the WHAT from CT column 6, and this is
// no CT file\n" (`what`: "sequence codes", "residue numbers"); empty when
// the structure holds column 6.
std::string natural_numbering_fault(const Structure& structure, std::string_view file_name,
                                    std::string_view what);

// The number in CT column 6 of the nucleotide at `position` (counting from
// 0). Returns false with "FILE: nucleotide P: column 6 'TEXT' is no whole
// number, so -N cannot use it\n" in `error` when it holds no whole number.
// REQUIRES: natural_numbering_fault() is empty.
bool natural_number(const Structure& structure, size_t position, std::string_view file_name,
                    int64_t* number, std::string* error);

}  // namespace mirelon

#endif  // MIRELON_STRUCTURE_H_
