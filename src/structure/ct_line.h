// A nucleotide line of a CT file, as both CT readers see it: mirelon's own
// (which keeps every column as text) and the structure library's.
#ifndef MIRELON_STRUCTURE_CT_LINE_H_
#define MIRELON_STRUCTURE_CT_LINE_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace mirelon {

inline constexpr size_t kCtColumnCount = 6;

// Columns of a nucleotide line, counting from 0.
enum CtColumn : size_t {
  kColumnIndex = 0,
  kColumnBase,
  kColumnBefore,
  kColumnAfter,
  kColumnPartner,
  kColumnNatural
};

// One nucleotide line of a CT file: its six columns as texts.
struct CtRecord {
  std::string index;    // column 1
  std::string base;     // column 2
  std::string before;   // column 3, "0" when no nucleotide precedes in the strand
  std::string after;    // column 4, "0" when the strand ends here
  std::string partner;  // column 5, position of the partner in the file, 0 if unpaired
  std::string natural;  // column 6, never used
};

// What check_ct_columns() finds wrong with a line's words.
struct CtColumnFault {
  enum Kind { kNone, kColumnCount, kNotWholeNumber } kind = kNone;
  size_t column = 0;  // with kNotWholeNumber: the column, counting from 1
};

// Checks the words of a nucleotide line: exactly six, and columns 1, 3, 4
// and 5 whole numbers (the base and the natural numbering may be any word).
// Reports the first fault: the column count, then the columns in order.
CtColumnFault check_ct_columns(const std::vector<std::string_view>& words);

// The record of a line whose words passed check_ct_columns().
CtRecord ct_record_from_words(const std::vector<std::string_view>& words);

}  // namespace mirelon

#endif  // MIRELON_STRUCTURE_CT_LINE_H_
