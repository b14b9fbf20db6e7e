#include "structure/ct_structures.h"

#include <string>

#include "common/numbers.h"
#include "common/text.h"
#include "structure/ct_line.h"

namespace mirelon {

namespace {

bool is_nucleotide_line(const std::vector<std::string_view>& words) {
  return check_ct_columns(words).kind == CtColumnFault::kNone;
}

}  // namespace

bool starts_ct_structure(std::string_view line, std::string_view next) {
  const std::vector<std::string_view> words = split_words(line);
  if (words.empty() || is_nucleotide_line(words) || !is_whole_number(words[0])) return false;
  const std::vector<std::string_view> next_words = split_words(next);
  return is_nucleotide_line(next_words) && strtol10(std::string(next_words[kColumnIndex])) == 1;
}

std::vector<CtStructureText> split_ct_structures(std::string_view content) {
  std::vector<CtStructureText> structures(1, CtStructureText{content, 1});
  LineReader lines(content);
  std::string_view line;
  bool terminated = false;
  if (!lines.next(&line, &terminated)) return structures;  // the first header
  while (lines.next(&line, &terminated)) {
    if (is_blank(line)) continue;
    LineReader ahead = lines;
    std::string_view next;
    if (!ahead.next_nonblank(&next) || !starts_ct_structure(line, next)) continue;
    // The structure before ends where this header starts.
    const size_t start = static_cast<size_t>(line.data() - content.data());
    CtStructureText& before = structures.back();
    before.text =
        before.text.substr(0, start - static_cast<size_t>(before.text.data() - content.data()));
    structures.push_back(CtStructureText{content.substr(start), lines.line_number()});
  }
  return structures;
}

}  // namespace mirelon
