// The STAR text of mirelon-nef's file, shared by its saveframes: values,
// aligned items and loops, saveframe bounds, and the residue columns of a
// loop row. Internal to mirelon-nef.
#ifndef MIRELON_NEF_NEF_STAR_TEXT_H_
#define MIRELON_NEF_NEF_STAR_TEXT_H_

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mirelon {

// The value of an item or cell that is not given.
inline constexpr std::string_view kMissing = ".";
// The indent of every line inside a saveframe.
inline constexpr const char* kIndent = "   ";

// A nucleotide of the molecular system: the residue that NEF names.
struct NefResidue {
  std::string chain;
  std::string sequence_code;
  std::string name;  // "A", "C", "G" or "U"
  std::string linking;
};

// Rows of a loop, each a value per tag.
using Rows = std::vector<std::vector<std::string>>;

// A value as STAR writes it: "." for an empty text, quoted where a bare word
// would be read as something else.
std::string star_value(std::string_view value);

// `value` with exactly `decimals` decimals.
std::string fixed(double value, int decimals);

// Appends one saveframe's items to `out`, "_category.tag" names aligned.
void append_items(const std::string& category,
                  const std::vector<std::pair<std::string, std::string>>& items, std::string* out);

// Appends a loop with its columns aligned to `out`; a loop without rows is
// written with its tags only.
void append_loop(const std::string& category, const std::vector<std::string>& tags,
                 const Rows& rows, std::string* out);

// Appends the line that opens saveframe `framecode`, after an empty line.
void open_saveframe(const std::string& framecode, std::string* out);

// Appends the line that closes a saveframe.
void close_saveframe(std::string* out);

// Appends the chain code, sequence code, residue name of `residue` and
// `atom` to a loop row.
void append_residue(const NefResidue& residue, std::string_view atom,
                    std::vector<std::string>* row);

}  // namespace mirelon

#endif  // MIRELON_NEF_NEF_STAR_TEXT_H_
