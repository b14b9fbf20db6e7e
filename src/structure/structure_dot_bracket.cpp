// Dot-bracket: a sequence line over a structure line of brackets and dots.
#include <algorithm>
#include <array>
#include <cctype>
#include <string>
#include <utility>
#include <vector>

#include "common/messages.h"
#include "common/numbers.h"
#include "common/text.h"
#include "structure/structure.h"

namespace mirelon {

namespace {

// Bracket kinds in the order the writer hands them out: the plain
// parentheses for the first helix, the others for helices that cross it.
constexpr size_t kLetterKinds = 26;
constexpr std::array<std::pair<char, char>, 4> kBracketKinds = {
    {{'(', ')'}, {'[', ']'}, {'{', '}'}, {'<', '>'}}};
constexpr size_t kKindCount = kBracketKinds.size() + kLetterKinds;

constexpr char kStrandSeparator = '&';
constexpr char kUnpaired = '.';
constexpr size_t kNoKind = kKindCount;

char opening_char(size_t kind) {
  return kind < kBracketKinds.size() ? kBracketKinds[kind].first
                                     : static_cast<char>('A' + (kind - kBracketKinds.size()));
}

char closing_char(size_t kind) {
  return kind < kBracketKinds.size() ? kBracketKinds[kind].second
                                     : static_cast<char>('a' + (kind - kBracketKinds.size()));
}

// The kind that `c` opens (an upper-case letter opens a letter pair), or kNoKind.
size_t kind_opened_by(char c) {
  for (size_t kind = 0; kind < kBracketKinds.size(); ++kind) {
    if (kBracketKinds[kind].first == c) return kind;
  }
  if (c >= 'A' && c <= 'Z') return kBracketKinds.size() + static_cast<size_t>(c - 'A');
  return kNoKind;
}

// The kind that `c` closes (a lower-case letter closes a letter pair), or kNoKind.
size_t kind_closed_by(char c) {
  for (size_t kind = 0; kind < kBracketKinds.size(); ++kind) {
    if (kBracketKinds[kind].second == c) return kind;
  }
  if (c >= 'a' && c <= 'z') return kBracketKinds.size() + static_cast<size_t>(c - 'a');
  return kNoKind;
}

bool is_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// A character for a message: 'x', or its byte value when it does not print.
std::string show_char(char c) {
  const unsigned char byte = static_cast<unsigned char>(c);
  if (std::isprint(byte) != 0) return std::string("'") + c + "'";
  return format_message("byte 0x%02x", byte);
}

// `line` without the white space at its end (a carriage return among it).
std::string_view trim_end(std::string_view line) {
  while (!line.empty() && is_space(line.back())) line.remove_suffix(1);
  return line;
}

// True for a free energy as folding programs print it after the structure:
// "(", a decimal number, ")", blanks allowed inside the parentheses.
bool is_free_energy(std::string_view text) {
  if (text.size() < 2 || text.front() != '(' || text.back() != ')') return false;
  const std::string_view number = trim_space(text.substr(1, text.size() - 2));
  size_t i = 0;
  if (i < number.size() && (number[i] == '-' || number[i] == '+')) ++i;
  bool digits = false;
  bool point = false;
  for (; i < number.size(); ++i) {
    if (number[i] >= '0' && number[i] <= '9') {
      digits = true;
    } else if (number[i] == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return digits;
}

// Checks the sequence line: letters, with "&" only between two of them.
bool check_sequence(std::string_view sequence, const std::string& file, int line,
                    std::string* error) {
  for (size_t c = 0; c < sequence.size(); ++c) {
    const char here = sequence[c];
    if (here == kStrandSeparator) {
      if (c == 0 || c + 1 == sequence.size() || sequence[c - 1] == kStrandSeparator) {
        *error = format_message("%s:%d:%zu: '&' must stand between two nucleotides\n", file.c_str(),
                                line, c + 1);
        return false;
      }
    } else if (!is_letter(here)) {
      *error = format_message("%s:%d:%zu: %s is not a base letter\n", file.c_str(), line, c + 1,
                              show_char(here).c_str());
      return false;
    }
  }
  return true;
}

// Reads the pairs of the structure line into `structure`, whose bases are
// those of the sequence line of the same length.
bool read_brackets(std::string_view brackets, std::string_view sequence, const std::string& file,
                   int line, Structure* structure, std::string* error) {
  // Per kind the columns of the brackets still open, innermost last.
  std::array<std::vector<size_t>, kKindCount> open;
  std::vector<size_t> position_of(brackets.size());
  size_t position = 0;
  for (size_t c = 0; c < brackets.size(); ++c) {
    const char here = brackets[c];
    if ((here == kStrandSeparator) != (sequence[c] == kStrandSeparator)) {
      *error = format_message("%s:%d:%zu: %s in the structure, but %s in the sequence above it\n",
                              file.c_str(), line, c + 1, show_char(here).c_str(),
                              show_char(sequence[c]).c_str());
      return false;
    }
    if (here == kStrandSeparator) {
      structure->breaks.push_back(position - 1);
      continue;
    }
    position_of[c] = position++;
    if (here == kUnpaired) continue;
    const size_t opened = kind_opened_by(here);
    if (opened != kNoKind) {
      open[opened].push_back(c);
      continue;
    }
    const size_t closed = kind_closed_by(here);
    if (closed == kNoKind) {
      *error = format_message("%s:%d:%zu: %s is not a bracket, a dot or '&'\n", file.c_str(), line,
                              c + 1, show_char(here).c_str());
      return false;
    }
    if (open[closed].empty()) {
      *error = format_message("%s:%d:%zu: '%c' closes no '%c'\n", file.c_str(), line, c + 1, here,
                              opening_char(closed));
      return false;
    }
    const size_t partner = position_of[open[closed].back()];
    open[closed].pop_back();
    structure->partners[partner] = position_of[c];
    structure->partners[position_of[c]] = partner;
  }
  // The leftmost bracket that nothing closes.
  size_t unclosed = brackets.size();
  for (const std::vector<size_t>& columns : open) {
    if (!columns.empty() && columns.front() < unclosed) unclosed = columns.front();
  }
  if (unclosed < brackets.size()) {
    *error = format_message("%s:%d:%zu: '%c' is never closed\n", file.c_str(), line, unclosed + 1,
                            brackets[unclosed]);
    return false;
  }
  return true;
}

}  // namespace

bool parse_structure_dot_bracket(std::string_view content, std::string_view file_name,
                                 Structure* structure, std::string* error) {
  const std::string file(file_name);
  *structure = Structure();
  LineReader lines(content);
  // Lines without the white space at their end (a carriage return among it).
  const auto next_nonblank = [&lines](std::string_view* found) {
    if (!lines.next_nonblank(found)) return false;
    *found = trim_end(*found);
    return true;
  };

  std::string_view sequence;
  if (!next_nonblank(&sequence)) {
    *error = format_message("%s:%d: the file ends before the sequence line\n", file.c_str(),
                            lines.line_number() + 1);
    return false;
  }
  if (sequence.front() == '>') {
    structure->name = std::string(trim_space(sequence.substr(1)));
    if (!next_nonblank(&sequence)) {
      *error = format_message("%s:%d: the file ends before the sequence line\n", file.c_str(),
                              lines.line_number() + 1);
      return false;
    }
  }
  const int sequence_line = lines.line_number();
  if (!check_sequence(sequence, file, sequence_line, error)) return false;

  std::string_view brackets;
  if (!next_nonblank(&brackets)) {
    *error = format_message("%s:%d: the file ends before the structure line\n", file.c_str(),
                            lines.line_number() + 1);
    return false;
  }
  const int structure_line = lines.line_number();
  // The structure ends at the first blank; only a free energy may follow.
  size_t end = 0;
  while (end < brackets.size() && !is_space(brackets[end])) ++end;
  const std::string_view rest = trim_space(brackets.substr(end));
  if (!rest.empty() && !is_free_energy(rest)) {
    *error = format_message("%s:%d:%zu: unexpected text after the structure\n", file.c_str(),
                            structure_line, static_cast<size_t>(rest.data() - brackets.data()) + 1);
    return false;
  }
  brackets = brackets.substr(0, end);
  if (brackets.size() != sequence.size()) {
    *error =
        format_message("%s:%d:%zu: the structure has %zu characters, the sequence %zu\n",
                       file.c_str(), structure_line, std::min(brackets.size(), sequence.size()) + 1,
                       brackets.size(), sequence.size());
    return false;
  }

  for (char c : sequence) {
    if (c != kStrandSeparator) structure->bases.emplace_back(1, c);
  }
  structure->partners.assign(structure->bases.size(), std::nullopt);
  if (!read_brackets(brackets, sequence, file, structure_line, structure, error)) return false;

  std::string_view extra;
  if (next_nonblank(&extra)) {
    *error = format_message("%s:%d: unexpected line after the structure (one structure per file)\n",
                            file.c_str(), lines.line_number());
    return false;
  }
  return true;
}

bool format_structure_dot_bracket(const Structure& structure, std::string* text,
                                  std::string* error) {
  const size_t n = structure.size();
  for (size_t i = 0; i < n; ++i) {
    const std::string& base = structure.bases[i];
    if (base.size() != 1 || !is_letter(base[0])) {
      *error = format_message(
          "nucleotide %zu is \"%s\", but dot-bracket holds one letter per nucleotide\n", i + 1,
          base.c_str());
      return false;
    }
  }

  // Kinds pair by pair in 5' order, each the first kind whose pairs it
  // neither crosses; stacked pairs cross the same pairs, so a helix keeps one
  // kind. Per kind the closing positions of its pairs still open, innermost
  // last: a new pair fits the kind when it nests inside the innermost.
  std::string brackets(n, kUnpaired);
  std::array<std::vector<size_t>, kKindCount> open;
  for (size_t i = 0; i < n; ++i) {
    const std::optional<size_t>& partner = structure.partners[i];
    if (!partner || *partner < i) continue;
    const size_t j = *partner;
    size_t kind = 0;
    for (; kind < kKindCount; ++kind) {
      std::vector<size_t>& closing = open[kind];
      while (!closing.empty() && closing.back() < i) closing.pop_back();
      if (closing.empty() || closing.back() > j) break;
    }
    if (kind == kKindCount) {
      *error = format_message(
          "the pair of nucleotides %zu and %zu crosses pairs of all %zu bracket kinds of "
          "dot-bracket\n",
          i + 1, j + 1, kKindCount);
      return false;
    }
    open[kind].push_back(j);
    brackets[i] = opening_char(kind);
    brackets[j] = closing_char(kind);
  }

  std::string sequence_line;
  std::string structure_line;
  size_t next_break = 0;
  for (size_t i = 0; i < n; ++i) {
    sequence_line += structure.bases[i];
    structure_line += brackets[i];
    if (next_break < structure.breaks.size() && structure.breaks[next_break] == i) {
      sequence_line += kStrandSeparator;
      structure_line += kStrandSeparator;
      ++next_break;
    }
  }
  text->clear();
  if (!structure.name.empty()) *text += ">" + structure.name + "\n";
  *text += sequence_line + "\n" + structure_line + "\n";
  return true;
}

}  // namespace mirelon
