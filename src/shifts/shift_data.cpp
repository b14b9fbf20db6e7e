#include "shifts/shift_data.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>

#include "common/messages.h"
#include "common/numbers.h"
#include "common/star.h"
#include "common/text.h"

namespace mirelon {
namespace {

constexpr std::string_view kShiftLoopPrefix = "_Atom_chem_shift.";
constexpr std::string_view kNefShiftLoopPrefix = "_nef_chemical_shift.";
// Every NMR-STAR and NEF file starts with a data block; every NEF tag starts
// with kNefTagStart.
constexpr std::string_view kDataBlockStart = "data_";
constexpr std::string_view kNefTagStart = "_nef_";

// The tags of a shift loop that the reader uses, after the loop's prefix.
struct ShiftLoopTags {
  std::string_view prefix;
  std::string_view loop_name;  // for messages
  std::string_view residue_name;
  std::string_view atom;
  std::string_view value;
  std::string_view number;       // residue number
  std::string_view number_else;  // where `number` is "." (empty: none)
  std::string_view chain;
  // NEF sequence codes are texts: insertion codes ("24B") and unassigned
  // resonances ("@5") are skipped instead of refused.
  bool skip_other_numbers;
};

constexpr ShiftLoopTags kNmrStarTags = {
    kShiftLoopPrefix, "atom chemical shift loop", "Comp_ID", "Atom_ID", "Val", "Seq_ID",
    "Comp_index_ID",  "Entity_assembly_ID",       false};
constexpr ShiftLoopTags kNefTags = {kNefShiftLoopPrefix,
                                    "NEF chemical shift loop",
                                    "residue_name",
                                    "atom_name",
                                    "value",
                                    "sequence_code",
                                    "",
                                    "chain_code",
                                    true};

std::string at_line(const std::string& file_name, int line, const std::string& reason) {
  return format_message("%s:%d: %s", file_name.c_str(), line, reason.c_str());
}

bool is_missing(std::string_view value) { return value == "." || value == "?"; }

// Reads the value text `text` of `shift`, whose other fields are set.
// Returns false with "FILE:LINE: reason" in `error` when the text is no
// number, or a number that is not finite (nan, inf, or beyond the range of a
// double, which strtod reads as inf): such a value would spoil every mean and
// median it enters.
bool read_shift_value(std::string_view text, const std::string& file_name, ObservedShift* shift,
                      std::string* error) {
  const std::optional<double> ppm = real_number_value(text);
  if (ppm && std::isfinite(*ppm)) {
    shift->value = *ppm;
    return true;
  }
  const std::optional<double> beyond = real_number_value_any_range(text);
  if (ppm || (beyond && std::isinf(*beyond))) {
    *error = at_line(file_name, shift->line,
                     "shift value '" + std::string(text) + "' of " + observed_atom_label(*shift) +
                         " is not a finite number");
  } else {
    *error =
        at_line(file_name, shift->line, "shift value '" + std::string(text) + "' is no number");
  }
  return false;
}

// Reads the rows of one atom chemical shift loop whose tags are `tags` and
// whose values are tokens[first, last).
bool read_shift_loop(const std::vector<StarToken>& tokens, size_t first, size_t last,
                     const std::vector<std::string_view>& tags, const ShiftLoopTags& names,
                     int loop_line, const std::string& file_name,
                     std::vector<ObservedShift>* shifts, std::string* error) {
  auto column = [&](std::string_view name) -> long {
    if (name.empty()) return -1;
    // A tag of another category, shorter than the prefix, names no column.
    for (size_t t = 0; t < tags.size(); ++t) {
      if (tags[t].rfind(names.prefix, 0) == 0 && tags[t].substr(names.prefix.size()) == name) {
        return static_cast<long>(t);
      }
    }
    return -1;
  };
  const std::string loop_name(names.loop_name);
  const long comp = column(names.residue_name);
  const long atom = column(names.atom);
  const long value = column(names.value);
  const long seq = column(names.number);
  const long comp_index = column(names.number_else);
  const long chain = column(names.chain);
  for (const auto& [index, name] : {std::pair{comp, names.residue_name},
                                    std::pair{atom, names.atom}, std::pair{value, names.value}}) {
    if (index < 0) {
      *error = at_line(file_name, loop_line, loop_name + " has no tag " + std::string(name));
      return false;
    }
  }
  if (seq < 0 && comp_index < 0) {
    *error = at_line(file_name, loop_line,
                     names.number_else.empty()
                         ? loop_name + " has no tag " + std::string(names.number)
                         : loop_name + " has neither " + std::string(names.number) + " nor " +
                               std::string(names.number_else));
    return false;
  }
  const size_t width = tags.size();
  if ((last - first) % width != 0) {
    *error = at_line(file_name, loop_line,
                     format_message("%s has %zu values, not a multiple of its %zu tags",
                                    loop_name.c_str(), last - first, width));
    return false;
  }
  for (size_t row = first; row < last; row += width) {
    auto cell = [&](long index) { return tokens[row + static_cast<size_t>(index)]; };
    if (is_missing(cell(value).text)) continue;
    std::string_view number_text = seq >= 0 ? cell(seq).text : std::string_view(".");
    if (is_missing(number_text) && comp_index >= 0) number_text = cell(comp_index).text;
    const int line = cell(value).line;
    const std::optional<int64_t> residue = whole_number_value(number_text);
    if (!residue && names.skip_other_numbers) continue;
    if (!residue) {
      *error = at_line(file_name, line,
                       "residue number '" + std::string(number_text) + "' is no whole number");
      return false;
    }
    ObservedShift shift;
    if (chain >= 0 && !is_missing(cell(chain).text)) shift.chain = std::string(cell(chain).text);
    shift.residue = *residue;
    shift.residue_name = std::string(cell(comp).text);
    shift.atom = std::string(cell(atom).text);
    shift.line = line;
    if (!read_shift_value(cell(value).text, file_name, &shift, error)) return false;
    shifts->push_back(std::move(shift));
  }
  return true;
}

// Returns false with "FILE:LINE: reason" in `error` when the end of the
// file cuts short a loop (no stop_) or a saveframe (no save_), naming the
// line where the innermost of them began: a file cut off in a transfer
// would otherwise give the shifts before the cut as if they were all.
bool check_star_ends(const std::vector<StarToken>& tokens, const std::string& file_name,
                     std::string* error) {
  const StarToken* loop = nullptr;       // open loop_: no stop_ yet
  const StarToken* saveframe = nullptr;  // open save_NAME: no save_ yet
  for (const StarToken& token : tokens) {
    if (token.quoted) continue;
    const std::string_view text = token.text;
    if (text == "loop_") {
      loop = &token;
    } else if (text == "stop_") {
      loop = nullptr;
    } else if (text == "save_" || text.rfind("data_", 0) == 0) {
      // A saveframe or data block ends every loop inside it.
      loop = nullptr;
      saveframe = nullptr;
    } else if (text.rfind("save_", 0) == 0) {
      loop = nullptr;
      saveframe = &token;
    }
  }
  if (loop != nullptr) {
    *error = at_line(file_name, loop->line,
                     "the end of the file cuts short the loop that begins here (no stop_)");
    return false;
  }
  if (saveframe != nullptr) {
    *error = at_line(file_name, saveframe->line,
                     "the end of the file cuts short saveframe " + std::string(saveframe->text) +
                         " that begins here (no save_)");
    return false;
  }
  return true;
}

// Reads every loop of `content` whose tags start with `names.prefix`.
bool parse_star_shifts(std::string_view content, const std::string& file_name,
                       const ShiftLoopTags& names, std::vector<ObservedShift>* shifts,
                       std::string* error) {
  std::vector<StarToken> tokens;
  if (!tokenize_star(content, file_name, &tokens, error)) return false;
  if (!check_star_ends(tokens, file_name, error)) return false;
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
    while (i < tokens.size() && !is_star_keyword(tokens[i])) ++i;
    if (tags.empty() || tags[0].rfind(names.prefix, 0) != 0) continue;
    found = true;
    if (!read_shift_loop(tokens, first, i, tags, names, loop_line, file_name, shifts, error)) {
      return false;
    }
  }
  if (!found) {
    *error = format_message("%s: no %s", file_name.c_str(), std::string(names.loop_name).c_str());
    return false;
  }
  return true;
}

}  // namespace

ShiftFormat detect_shift_format(std::string_view content) {
  if (content.find(kNefShiftLoopPrefix) != std::string_view::npos) return ShiftFormat::kNef;
  if (content.find(kShiftLoopPrefix) != std::string_view::npos) return ShiftFormat::kNmrStar;
  // A STAR file without a shift loop is read as what it is, so that the
  // message names the missing loop instead of the words of a list line.
  LineReader lines(content);
  std::vector<std::string_view> words;
  if (lines.next_words(&words) && words[0].substr(0, kDataBlockStart.size()) == kDataBlockStart) {
    return content.find(kNefTagStart) != std::string_view::npos ? ShiftFormat::kNef
                                                                : ShiftFormat::kNmrStar;
  }
  return ShiftFormat::kFourColumn;
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
    const std::optional<int64_t> residue = whole_number_value(words[1]);
    if (!residue) {
      *error = at_line(file_name, number,
                       "residue number '" + std::string(words[1]) + "' is no whole number");
      return false;
    }
    ObservedShift shift;
    shift.residue = *residue;
    shift.residue_name = std::string(words[0]);
    shift.atom = std::string(words[2]);
    shift.line = number;
    if (!read_shift_value(words[3], file_name, &shift, error)) return false;
    shifts->push_back(std::move(shift));
  }
  return true;
}

bool parse_nmrstar_shifts(std::string_view content, const std::string& file_name,
                          std::vector<ObservedShift>* shifts, std::string* error) {
  return parse_star_shifts(content, file_name, kNmrStarTags, shifts, error);
}

bool parse_nef_shifts(std::string_view content, const std::string& file_name,
                      std::vector<ObservedShift>* shifts, std::string* error) {
  return parse_star_shifts(content, file_name, kNefTags, shifts, error);
}

bool parse_shift_file(std::string_view content, const std::string& file_name,
                      std::vector<ObservedShift>* shifts, std::string* error) {
  switch (detect_shift_format(content)) {
    case ShiftFormat::kNef:
      return parse_nef_shifts(content, file_name, shifts, error);
    case ShiftFormat::kNmrStar:
      return parse_nmrstar_shifts(content, file_name, shifts, error);
    case ShiftFormat::kFourColumn:
      break;
  }
  return parse_four_column_shifts(content, file_name, shifts, error);
}

std::string observed_atom_label(const ObservedShift& shift) {
  std::string label = format_message("%s%lld %s", shift.residue_name.c_str(),
                                     static_cast<long long>(shift.residue), shift.atom.c_str());
  if (!shift.chain.empty()) label += " (chain " + shift.chain + ")";
  return label;
}

std::string differing_repeat_text(const ObservedShift& first, const ObservedShift& repeat) {
  // Ten significant digits show each value as the file wrote it.
  return format_message("%s %.10g and %.10g", observed_atom_label(first).c_str(), first.value,
                        repeat.value);
}

std::string differing_repeats_warning(const std::string& file,
                                      const std::vector<std::string>& repeats) {
  if (repeats.empty()) return "";
  return format_warning(file,
                        "atoms listed again with another value (the first value is used, the "
                        "others are left out)",
                        repeats);
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
  // Lists typed by hand spell residue names in any case ("gua", "Gua").
  const auto same_letters = [](std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
      return std::toupper(static_cast<unsigned char>(x)) ==
             std::toupper(static_cast<unsigned char>(y));
    });
  };
  for (const Name& entry : kNames) {
    if (same_letters(entry.name, residue_name)) return entry.letter;
  }
  return {};
}

std::string table_atom_name(std::string_view atom) {
  // NEF names the two C5' hydrogens H5x and H5y where they are not
  // stereospecifically assigned; the table's H5' is the downfield one of the
  // pair, as the open data sets list them, and mirelon-nef writes it as H5x.
  if (atom == "H5''" || atom == "H5y") return "H5\"";
  if (atom == "H5x") return "H5'";
  return std::string(atom);
}

}  // namespace mirelon
