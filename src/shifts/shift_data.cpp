#include "shifts/shift_data.h"

#include <optional>

#include "common/messages.h"
#include "common/numbers.h"
#include "common/text.h"

namespace mirelon {
namespace {

constexpr std::string_view kShiftLoopPrefix = "_Atom_chem_shift.";

std::string at_line(const std::string& file_name, int line, const std::string& reason) {
  return format_message("%s:%d: %s", file_name.c_str(), line, reason.c_str());
}

// One value or keyword of an NMR-STAR file.
struct StarToken {
  std::string_view text;
  int line = 0;
  bool quoted = false;  // a quoted string or text field is never a keyword
};

bool is_star_space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Splits NMR-STAR content into tokens: blank-separated words, values in
// single or double quotes (closed by the quote followed by white space),
// text fields between lines that begin with ';', and '#' comments.
bool tokenize_star(std::string_view content, const std::string& file_name,
                   std::vector<StarToken>* tokens, std::string* error) {
  size_t i = 0;
  int line = 1;
  bool line_start = true;
  while (i < content.size()) {
    const char c = content[i];
    if (c == '\n') {
      ++line;
      ++i;
      line_start = true;
      continue;
    }
    if (is_star_space(c)) {
      ++i;
      line_start = false;
      continue;
    }
    if (c == ';' && line_start) {
      // The text field runs to the next line that begins with ';'.
      const int first_line = line;
      size_t search = i + 1;
      for (;;) {
        const size_t newline = content.find('\n', search);
        if (newline == std::string_view::npos) {
          *error = at_line(file_name, first_line, "text field opened by ';' is not closed");
          return false;
        }
        ++line;
        if (newline + 1 < content.size() && content[newline + 1] == ';') {
          tokens->push_back({content.substr(i + 1, newline - i - 1), first_line, true});
          i = newline + 2;
          break;
        }
        search = newline + 1;
      }
      line_start = false;
      continue;
    }
    line_start = false;
    if (c == '#') {
      while (i < content.size() && content[i] != '\n') ++i;
      continue;
    }
    if (c == '\'' || c == '"') {
      size_t j = i + 1;
      while (j < content.size() && content[j] != '\n' &&
             !(content[j] == c && (j + 1 == content.size() || is_star_space(content[j + 1])))) {
        ++j;
      }
      if (j >= content.size() || content[j] != c) {
        *error = at_line(file_name, line, "quoted value is not closed on its line");
        return false;
      }
      tokens->push_back({content.substr(i + 1, j - i - 1), line, true});
      i = j + 1;
      continue;
    }
    size_t j = i;
    while (j < content.size() && !is_star_space(content[j])) ++j;
    tokens->push_back({content.substr(i, j - i), line, false});
    i = j;
  }
  return true;
}

bool is_keyword(const StarToken& token) {
  if (token.quoted) return false;
  const std::string_view t = token.text;
  return t == "loop_" || t == "stop_" || t.rfind("save_", 0) == 0 || t.rfind("data_", 0) == 0 ||
         t.rfind("global_", 0) == 0 || (!t.empty() && t[0] == '_');
}

bool is_missing(std::string_view value) { return value == "." || value == "?"; }

// Reads the rows of one atom chemical shift loop whose tags are `tags` and
// whose values are tokens[first, last).
bool read_shift_loop(const std::vector<StarToken>& tokens, size_t first, size_t last,
                     const std::vector<std::string_view>& tags, int loop_line,
                     const std::string& file_name, std::vector<ObservedShift>* shifts,
                     std::string* error) {
  auto column = [&](std::string_view name) -> long {
    for (size_t t = 0; t < tags.size(); ++t) {
      if (tags[t].substr(kShiftLoopPrefix.size()) == name) return static_cast<long>(t);
    }
    return -1;
  };
  const long comp = column("Comp_ID");
  const long atom = column("Atom_ID");
  const long value = column("Val");
  const long seq = column("Seq_ID");
  const long comp_index = column("Comp_index_ID");
  const long chain = column("Entity_assembly_ID");
  for (const auto& [index, name] :
       {std::pair{comp, "Comp_ID"}, std::pair{atom, "Atom_ID"}, std::pair{value, "Val"}}) {
    if (index < 0) {
      *error = at_line(file_name, loop_line,
                       format_message("atom chemical shift loop has no tag %s", name));
      return false;
    }
  }
  if (seq < 0 && comp_index < 0) {
    *error = at_line(file_name, loop_line,
                     "atom chemical shift loop has neither Seq_ID nor Comp_index_ID");
    return false;
  }
  const size_t width = tags.size();
  if ((last - first) % width != 0) {
    *error = at_line(file_name, loop_line,
                     format_message("atom chemical shift loop has %zu values, not a multiple of "
                                    "its %zu tags",
                                    last - first, width));
    return false;
  }
  for (size_t row = first; row < last; row += width) {
    auto cell = [&](long index) { return tokens[row + static_cast<size_t>(index)]; };
    if (is_missing(cell(value).text)) continue;
    std::string_view number_text = seq >= 0 ? cell(seq).text : std::string_view(".");
    if (is_missing(number_text) && comp_index >= 0) number_text = cell(comp_index).text;
    const int line = cell(value).line;
    const std::optional<long> residue = whole_number_value(number_text);
    if (!residue) {
      *error = at_line(file_name, line,
                       "residue number '" + std::string(number_text) + "' is no whole number");
      return false;
    }
    const std::optional<double> ppm = real_number_value(cell(value).text);
    if (!ppm) {
      *error = at_line(file_name, line,
                       "shift value '" + std::string(cell(value).text) + "' is no number");
      return false;
    }
    ObservedShift shift;
    if (chain >= 0 && !is_missing(cell(chain).text)) shift.chain = std::string(cell(chain).text);
    shift.residue = *residue;
    shift.residue_name = std::string(cell(comp).text);
    shift.atom = std::string(cell(atom).text);
    shift.value = *ppm;
    shift.line = line;
    shifts->push_back(std::move(shift));
  }
  return true;
}

}  // namespace

ShiftFormat detect_shift_format(std::string_view content) {
  return content.find(kShiftLoopPrefix) != std::string_view::npos ? ShiftFormat::kNmrStar
                                                                  : ShiftFormat::kFourColumn;
}

bool parse_four_column_shifts(std::string_view content, const std::string& file_name,
                              std::vector<ObservedShift>* shifts, std::string* error) {
  LineReader reader(content);
  std::vector<std::string_view> words;
  while (reader.next_words(&words)) {
    const int number = reader.line_number();
    if (words.size() < 4) {
      *error = at_line(
          file_name, number,
          format_message("has %zu words instead of RESNAME RESID ATOM VALUE", words.size()));
      return false;
    }
    const std::optional<long> residue = whole_number_value(words[1]);
    if (!residue) {
      *error = at_line(file_name, number,
                       "residue number '" + std::string(words[1]) + "' is no whole number");
      return false;
    }
    const std::optional<double> ppm = real_number_value(words[3]);
    if (!ppm) {
      *error =
          at_line(file_name, number, "shift value '" + std::string(words[3]) + "' is no number");
      return false;
    }
    ObservedShift shift;
    shift.residue = *residue;
    shift.residue_name = std::string(words[0]);
    shift.atom = std::string(words[2]);
    shift.value = *ppm;
    shift.line = number;
    shifts->push_back(std::move(shift));
  }
  return true;
}

bool parse_nmrstar_shifts(std::string_view content, const std::string& file_name,
                          std::vector<ObservedShift>* shifts, std::string* error) {
  std::vector<StarToken> tokens;
  if (!tokenize_star(content, file_name, &tokens, error)) return false;
  bool found = false;
  size_t i = 0;
  while (i < tokens.size()) {
    if (tokens[i].quoted || tokens[i].text != "loop_") {
      ++i;
      continue;
    }
    const int loop_line = tokens[i].line;
    ++i;
    std::vector<std::string_view> tags;
    while (i < tokens.size() && !tokens[i].quoted && !tokens[i].text.empty() &&
           tokens[i].text[0] == '_') {
      tags.push_back(tokens[i].text);
      ++i;
    }
    const size_t first = i;
    while (i < tokens.size() && !is_keyword(tokens[i])) ++i;
    if (tags.empty() || tags[0].rfind(kShiftLoopPrefix, 0) != 0) continue;
    found = true;
    if (!read_shift_loop(tokens, first, i, tags, loop_line, file_name, shifts, error)) {
      return false;
    }
  }
  if (!found) {
    *error = format_message("%s: no atom chemical shift loop", file_name.c_str());
    return false;
  }
  return true;
}

bool parse_shift_file(std::string_view content, const std::string& file_name,
                      std::vector<ObservedShift>* shifts, std::string* error) {
  if (detect_shift_format(content) == ShiftFormat::kNmrStar) {
    return parse_nmrstar_shifts(content, file_name, shifts, error);
  }
  return parse_four_column_shifts(content, file_name, shifts, error);
}

std::string_view nucleotide_letter(std::string_view residue_name) {
  struct Name {
    std::string_view name;
    std::string_view letter;
  };
  static constexpr Name kNames[] = {
      {"A", "A"}, {"ADE", "A"}, {"RADE", "A"}, {"C", "C"}, {"CYT", "C"}, {"RCYT", "C"},
      {"G", "G"}, {"GUA", "G"}, {"RGUA", "G"}, {"U", "U"}, {"URA", "U"},
  };
  for (const Name& entry : kNames) {
    if (entry.name == residue_name) return entry.letter;
  }
  return {};
}

std::string table_atom_name(std::string_view atom) {
  if (atom == "H5''") return "H5\"";
  return std::string(atom);
}

}  // namespace mirelon
