// The NEF file that mirelon-nef writes: the molecular system of an RNA
// secondary structure, its predicted chemical shifts, and hydrogen-bond and
// backbone dihedral restraints for its Watson-Crick stems, in the NMR
// Exchange Format 1.1. Builds the whole text in memory; nothing here prints
// or exits.
#ifndef MIRELON_NEF_NEF_WRITER_H_
#define MIRELON_NEF_NEF_WRITER_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "prediction/structure_prediction.h"
#include "structure/structure.h"

namespace mirelon {

// Hydrogen-bond distance limits in angstrom: hydrogen to acceptor and donor
// to acceptor, the bounds KESTA's own hydrogen-bond restraints use.
inline constexpr double kHydrogenAcceptorLower = 1.8;
inline constexpr double kHydrogenAcceptorUpper = 2.0;
inline constexpr double kDonorAcceptorLower = 2.7;
inline constexpr double kDonorAcceptorUpper = 3.0;

// What the file is built from besides the structure and its prediction.
struct NefSettings {
  std::string input_name;          // structure file, named in warnings and errors
  std::string name;                // data block "nef_NAME"; a valid NEF name (nef_name_fault())
  std::string table_path;          // statistics table: its file name gives the shift list's name
  std::string table_name;          // and this names it in the shift list's label and warnings
  long level = 2;                  // prediction level 1 to 11
  bool natural_numbering = false;  // sequence codes from CT column 6
  bool wobble_pairs = false;       // G-U wobble pairs get hydrogen bonds too
  std::string creation_date;       // ISO 8601 time stamp, "2026-12-07T14:00:00"
  std::string uuid;                // unique identifier of the data set
  std::string program_version;     // written as the creator's version
};

// Empty when `name` can name a data block and a saveframe (printable ASCII
// without blanks, quotes or '#'); otherwise the reason it cannot.
std::string nef_name_fault(std::string_view name);

// `text` with every character that nef_name_fault() refuses replaced by '_'
// ("my rna" -> "my_rna"); "rna" for an empty text.
std::string nef_safe_name(std::string_view text);

// The chain code of strand `strand` (counting from 0): "A" to "Z", then
// "AA", "AB", ...
std::string chain_code(size_t strand);

// The creation date of a reproducible build: `epoch` seconds since 1970 in
// UTC as "YYYY-MM-DDTHH:MM:SS". Returns false when the date cannot be
// represented.
bool format_creation_date(int64_t epoch, std::string* date);

// A 64-bit FNV-1a hash of `text`, for identifiers derived from the input.
uint64_t text_hash(std::string_view text);

// Builds the NEF file of `structure` and its `prediction` (made from the same
// structure). Nucleotides whose base is not exactly A, C, G or U are left out
// with a "Warning: " line each in `warnings`, and so is a second predicted
// entry for the same atom. Returns false with a message (ended by a line
// feed) in `error` when no nucleotide is left, when -N is asked of a
// structure without CT column 6 or column 6 holds no whole number, or a
// sequence code repeats within a chain.
bool build_nef(const Structure& structure, const StructurePrediction& prediction,
               const NefSettings& settings, std::string* text, std::vector<std::string>* warnings,
               std::string* error);

}  // namespace mirelon

#endif  // MIRELON_NEF_NEF_WRITER_H_
