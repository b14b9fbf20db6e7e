// Residue contexts: the pairing mark of every nucleotide of a CT file, its
// context record (the residue-ID record) and its residue number across
// strands. mirelon's steps, the statistics builder and every tool that
// predicts shifts see a structure through these.
#ifndef MIRELON_STRUCTURE_RESIDUE_CONTEXT_H_
#define MIRELON_STRUCTURE_RESIDUE_CONTEXT_H_

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "structure/ct_line.h"
#include "structure/residue_ids.h"

namespace mirelon {

// Residue numbers grow by this much at every chain break, where the sequence
// file holds a linker of as many pseudo-residues: "NL", 98 "LL", "LN".
inline constexpr int64_t kLinkerLength = 100;

// A nucleotide as the steps see it: its residue-ID record, its residue
// number, and whether a chain break (and so a linker) follows it.
struct Residue {
  ResidueIdRecord id;
  int64_t number = 0;
  bool break_after = false;
};

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

// The residue-ID records of `residues`, in order.
std::vector<ResidueIdRecord> residue_id_records(const std::vector<Residue>& residues);

}  // namespace mirelon

#endif  // MIRELON_STRUCTURE_RESIDUE_CONTEXT_H_
