// STAR text, the syntax of NMR-STAR entries and NEF files: data blocks,
// saveframes, tag-value items and loops. The tokenizer serves every reader
// of such files; each reader picks the loops it needs from the tokens.
#ifndef MIRELON_COMMON_STAR_H_
#define MIRELON_COMMON_STAR_H_

#include <string>
#include <string_view>
#include <vector>

namespace mirelon {

// One value or keyword of a STAR file.
struct StarToken {
  std::string_view text;
  int line = 0;
  bool quoted = false;  // a quoted string or text field is never a keyword
};

// Splits STAR content into tokens: blank-separated words, values in single
// or double quotes (closed by the quote followed by white space), text
// fields between lines that begin with ';', and '#' comments (dropped).
// Returns false with "FILE:LINE: reason" in `error` when a quoted value or
// text field is not closed.
bool tokenize_star(std::string_view content, const std::string& file_name,
                   std::vector<StarToken>* tokens, std::string* error);

// True for an unquoted "loop_", "stop_", "save_...", "data_...", "global_..."
// or tag ("_...").
bool is_star_keyword(const StarToken& token);

// "FILE:LINE: reason", the form of every error of a STAR reader.
std::string star_error(const std::string& file_name, int line, const std::string& reason);

}  // namespace mirelon

#endif  // MIRELON_COMMON_STAR_H_
