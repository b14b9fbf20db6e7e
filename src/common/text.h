// Line and word splitting shared by the readers of the input files.
#ifndef MIRELON_TEXT_H_
#define MIRELON_TEXT_H_

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "common/numbers.h"

namespace mirelon {

// Walks a file's content line by line. A line is the bytes up to a line feed,
// the line feed not included.
class LineReader {
 public:
  explicit LineReader(std::string_view content) : rest_(content) {}
  // A reader of `content` whose first line is line `first_line` of its file.
  LineReader(std::string_view content, int first_line)
      : rest_(content), line_number_(first_line - 1) {}

  // Stores the next line in `line` and whether a line feed ended it in
  // `terminated`. Returns false at the end of the content; a last line
  // without a line feed is returned only when it is not empty.
  bool next(std::string_view* line, bool* terminated);

  // Like next(), but skips the lines that hold only white space (is_blank).
  bool next_nonblank(std::string_view* line);

  // The words of the next line that has words and whose first word does not
  // begin with '#' (a comment line). Returns false at the end of the content.
  bool next_words(std::vector<std::string_view>* words);

  // Number of the line last returned, counting from 1.
  int line_number() const { return line_number_; }

 private:
  std::string_view rest_;
  int line_number_ = 0;
};

// is_space() of every byte, looked up in one load: the word scan of a large
// table tests every byte of it.
constexpr std::array<bool, 256> space_bytes() {
  std::array<bool, 256> table = {};
  for (size_t c = 0; c < table.size(); ++c) table[c] = is_space(static_cast<char>(c));
  return table;
}
inline constexpr std::array<bool, 256> kSpaceBytes = space_bytes();

// Walks the words of a text, separated by white space as a formatted stream
// extraction separates them (see is_space), without copying them.
class WordScanner {
 public:
  explicit WordScanner(std::string_view text)
      : rest_(text.data()), end_(text.data() + text.size()) {}

  // Stores the next word in `word`; returns false when no word is left.
  // Defined here so that a reader's loop over the words of a large file
  // keeps its place in registers.
  bool next(std::string_view* word) {
    const char* p = rest_;
    while (p < end_ && kSpaceBytes[static_cast<unsigned char>(*p)]) ++p;
    const char* const start = p;
    while (p < end_ && !kSpaceBytes[static_cast<unsigned char>(*p)]) ++p;
    rest_ = p;
    if (p == start) return false;
    *word = std::string_view(start, static_cast<size_t>(p - start));
    return true;
  }

 private:
  const char* rest_;
  const char* end_;
};

// The words of `text`, separated by white space as a formatted stream
// extraction separates them (see is_space).
std::vector<std::string_view> split_words(std::string_view text);

// True when `text` holds nothing but white space (or nothing at all).
bool is_blank(std::string_view text);

// `text` without the white space (see is_space) at its start and end.
std::string_view trim_space(std::string_view text);

// Counts the lines of `content` that end in a line feed.
long long count_terminated_lines(std::string_view content);

// `text` with &, <, >, " and ' written as XML entities, for SVG and HTML
// files.
std::string xml_escape(std::string_view text);

}  // namespace mirelon

#endif  // MIRELON_TEXT_H_
