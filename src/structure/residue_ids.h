// Residue-ID records: ten text fields per nucleotide, its residue number,
// CT index and the bases and pairing marks of its context. mirelon's steps
// pass them on in the residue-ID file "idarrayke.txt" in the layout below;
// the prediction reads its context key from them.
#ifndef MIRELON_STRUCTURE_RESIDUE_IDS_H_
#define MIRELON_STRUCTURE_RESIDUE_IDS_H_

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace mirelon {

inline constexpr size_t kResidueIdFieldCount = 10;

// Positions of the ten fields of a residue-ID record (field 1 is position 0).
enum ResidueIdField : size_t {
  kResidueNumber = 0,  // residue number, plus 100 per chain break before it
  kCtIndex = 1,        // CT column 1, verbatim
  kBaseTwoBefore = 2,
  kMarkTwoBefore = 3,
  kBaseBefore = 4,
  kMarkBefore = 5,
  kOwnBase = 6,
  kOwnMark = 7,
  kBaseAfter = 8,
  kMarkAfter = 9,
};

using ResidueIdRecord = std::array<std::string, kResidueIdFieldCount>;

// The content of "idarrayke.txt" (and of the echo on standard output): per
// record its ten fields, each followed by one blank, then a line feed.
std::string format_residue_id_lines(const std::vector<ResidueIdRecord>& records);

// Reads residue-ID records from `content`: the number of records R is the
// number of lines ended by a line feed, and record r takes words 10r to
// 10r+9 of the whole text, whatever the line breaks (missing words stay
// empty, words beyond the R records are not stored). Returns false with the
// capacity message in `error` when R exceeds `capacity`.
bool parse_residue_ids(std::string_view content, size_t capacity,
                       std::vector<ResidueIdRecord>* records, std::string* error);

}  // namespace mirelon

#endif  // MIRELON_STRUCTURE_RESIDUE_IDS_H_
