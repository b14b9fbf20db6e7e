// STAR text, the syntax of NMR-STAR entries and NEF files: data blocks,
// saveframes, tag-value items and loops. The tokenizer serves every reader
// of such files; parse_star() builds the whole tree for readers that look at
// more than one loop.
#ifndef MIRELON_COMMON_STAR_H_
#define MIRELON_COMMON_STAR_H_

#include <string>
#include <string_view>
#include <utility>
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

// A loop: its tags in order and its rows, each as many values as tags.
struct StarLoop {
  std::vector<std::string> tags;
  std::vector<std::vector<std::string>> rows;
  int line = 0;  // line of "loop_"
};

// Items (tag, value) and loops of a data block or a saveframe, in file order.
struct StarFrame {
  std::string name;  // after "save_" or "data_"
  std::vector<std::pair<std::string, std::string>> items;
  std::vector<StarLoop> loops;
  int line = 0;
};

// A data block: its own items and loops, and its saveframes.
struct StarBlock {
  StarFrame own;
  std::vector<StarFrame> saveframes;
};

// Reads the whole content into data blocks. Returns false with
// "FILE:LINE: reason" in `error` when a token stands outside a data block,
// an item has no value, a loop's values do not fill whole rows, a saveframe
// is not closed or is opened inside another, or the tokenizer fails.
bool parse_star(std::string_view content, const std::string& file_name,
                std::vector<StarBlock>* blocks, std::string* error);

}  // namespace mirelon

#endif  // MIRELON_COMMON_STAR_H_
