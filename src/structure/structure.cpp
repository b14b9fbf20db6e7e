// Format detection and what all three formats share.
#include "structure/structure.h"

#include <utility>

#include "common/messages.h"
#include "common/numbers.h"
#include "common/text.h"
#include "structure/ct_structures.h"

namespace mirelon {

namespace {

// After a ">name" line: FASTA when sequence lines follow and no line but
// further ">" lines holds a character of a dot-bracket structure.
StructureFormat fasta_or_dot_bracket(LineReader lines) {
  std::string_view line;
  bool sequence = false;
  while (lines.next_nonblank(&line)) {
    line = trim_space(line);
    if (line.front() == '>') continue;
    if (line.find_first_of(".()[]{}<>") != std::string_view::npos) {
      return StructureFormat::kDotBracket;
    }
    sequence = true;
  }
  return sequence ? StructureFormat::kFasta : StructureFormat::kDotBracket;
}

// A context key of a statistics table: base (or the placeholder 0) and
// pairing mark of four nucleotides, as in 0oGwCwAo.
bool is_context_key(std::string_view word) {
  if (word.size() != 8) return false;
  for (size_t i = 0; i < word.size(); i += 2) {
    if (std::string_view("ACGU0").find(word[i]) == std::string_view::npos) return false;
    if (word[i + 1] != 'w' && word[i + 1] != 'o') return false;
  }
  return true;
}

bool parse_structure_as_detected(std::string_view content, std::string_view file_name,
                                 Structure* structure, std::string* error) {
  switch (detect_structure_format(content)) {
    case StructureFormat::kDotBracket:
      return parse_structure_dot_bracket(content, file_name, structure, error);
    case StructureFormat::kBpseq:
      return parse_structure_bpseq(content, file_name, structure, error);
    case StructureFormat::kFasta:
      *error = format_message(
          "%s:1: the file holds a sequence without a structure (FASTA); give its secondary "
          "structure as dot-bracket, BPSEQ or CT\n",
          std::string(file_name).c_str());
      return false;
    case StructureFormat::kCt:
      break;
  }
  return parse_structure_ct(content, file_name, structure, error);
}

}  // namespace

std::string_view recognise_other_file(std::string_view content) {
  LineReader lines(content);
  std::string_view line;
  bool first = true;
  bool terminator = false;
  bool context_record = false;
  while (lines.next_nonblank(&line)) {
    const std::string_view text = trim_space(line);
    if (first && text.front() != '#') {
      if (text.substr(0, 5) == "data_") {
        return content.find("_nef_") != std::string_view::npos ? "a shift list (NEF)"
                                                               : "a shift list (NMR-STAR)";
      }
      first = false;
    }
    if (line.front() == ':') terminator = true;
    const std::vector<std::string_view> words = split_words(line);
    if (words.size() >= 3 && is_context_key(words[2])) context_record = true;
    if (terminator && context_record) return "a statistics table";
  }
  return {};
}

StructureFormat detect_structure_format(std::string_view content) {
  LineReader lines(content);
  std::string_view first;
  if (!lines.next_nonblank(&first)) return StructureFormat::kCt;
  first = trim_space(first);
  if (first.front() == '>') return fasta_or_dot_bracket(lines);
  if (first.front() == '#') return StructureFormat::kBpseq;
  const std::vector<std::string_view> words = split_words(first);
  std::string_view second;
  const bool six_columns_follow =
      lines.next_nonblank(&second) && split_words(second).size() == kCtColumnCount;
  if (is_whole_number(words[0])) {
    // "1 G 115" is a BPSEQ line, unless a nucleotide line of six columns
    // follows it: then it was the header of a CT file.
    const bool bpseq_line = words.size() == kBpseqColumnCount && is_whole_number(words[2]);
    return bpseq_line && !six_columns_follow ? StructureFormat::kBpseq : StructureFormat::kCt;
  }
  // A header such as "Filename: x.bpseq"; a CT header without its count; or
  // else a sequence line.
  if (first.find(':') != std::string_view::npos) return StructureFormat::kBpseq;
  return six_columns_follow ? StructureFormat::kCt : StructureFormat::kDotBracket;
}

bool parse_structure(std::string_view content, std::string_view file_name, Structure* structure,
                     std::string* error) {
  if (is_blank(content)) {
    *error = format_message("%s:1: the file holds no structure\n", std::string(file_name).c_str());
    return false;
  }
  if (parse_structure_as_detected(content, file_name, structure, error)) return true;
  const std::string_view other = recognise_other_file(content);
  if (!other.empty()) {
    *error = format_message("%s:1: this is %.*s, not a structure\n", std::string(file_name).c_str(),
                            static_cast<int>(other.size()), other.data());
  }
  return false;
}

bool parse_structures(std::string_view content, std::string_view file_name,
                      std::vector<Structure>* structures, std::string* error) {
  structures->clear();
  if (is_blank(content) || detect_structure_format(content) != StructureFormat::kCt) {
    Structure structure;
    if (!parse_structure(content, file_name, &structure, error)) return false;
    structures->push_back(std::move(structure));
    return true;
  }
  for (const CtStructureText& part : split_ct_structures(content)) {
    Structure structure;
    if (!parse_structure_ct(part.text, file_name, &structure, error, part.first_line)) {
      structures->clear();
      return false;
    }
    structures->push_back(std::move(structure));
  }
  return true;
}

void convert_to_upper_rna(Structure* structure) {
  for (std::string& base : structure->bases) {
    for (char& c : base) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      if (c == 'T') c = 'U';
    }
  }
}

std::string natural_numbering_fault(const Structure& structure, std::string_view file_name,
                                    std::string_view what) {
  if (structure.natural_numbers.size() == structure.size()) return "";
  return format_message("%s: -N takes the %.*s from CT column 6, and this is no CT file\n",
                        std::string(file_name).c_str(), static_cast<int>(what.size()), what.data());
}

bool natural_number(const Structure& structure, size_t position, std::string_view file_name,
                    int64_t* number, std::string* error) {
  const std::string& text = structure.natural_numbers[position];
  const std::optional<int64_t> value = whole_number_value(text);
  if (!value) {
    *error = format_message(
        "%s: nucleotide %zu: column 6 '%s' is no whole number, so -N cannot "
        "use it\n",
        std::string(file_name).c_str(), position + 1, text.c_str());
    return false;
  }
  *number = *value;
  return true;
}

}  // namespace mirelon
