// BPSEQ: one "index base partner" line per nucleotide.
#include <algorithm>
#include <string>

#include "common/messages.h"
#include "common/numbers.h"
#include "common/text.h"
#include "structure/structure.h"
#include "structure/structure_pairs.h"

namespace mirelon {

namespace {

constexpr std::string_view kCommentStart = "#";
// The header line of structure databases that names the file.
constexpr std::string_view kFilenameHeader = "Filename:";

bool starts_with(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

bool parse_structure_bpseq(std::string_view content, std::string_view file_name,
                           Structure* structure, std::string* error) {
  const std::string file(file_name);
  *structure = Structure();
  std::vector<PartnerField> partner_fields;
  LineReader lines(content);
  std::string_view line;
  while (lines.next_nonblank(&line)) {
    const std::string_view text = trim_space(line);
    if (starts_with(text, kCommentStart)) continue;
    const std::vector<std::string_view> words = split_words(text);
    // Header lines ("Filename:", "Organism:", "Citation ...") come before the
    // first nucleotide and do not start with a number.
    if (structure->size() == 0 && !is_whole_number(words[0])) {
      if (starts_with(text, kFilenameHeader)) {
        structure->name = std::string(trim_space(text.substr(kFilenameHeader.size())));
      }
      continue;
    }
    if (words.size() != kBpseqColumnCount) {
      *error = format_message("%s:%d: expected 3 columns (index, base, partner), found %zu\n",
                              file.c_str(), lines.line_number(), words.size());
      return false;
    }
    const std::string here = decimal(static_cast<int64_t>(structure->size() + 1));
    if (words[0] != here) {
      *error = format_message("%s:%d: column 1 is %s, expected %s\n", file.c_str(),
                              lines.line_number(), std::string(words[0]).c_str(), here.c_str());
      return false;
    }
    if (!is_whole_number(words[2])) {
      *error = format_message("%s:%d: column 3 is not a whole number\n", file.c_str(),
                              lines.line_number());
      return false;
    }
    structure->bases.emplace_back(words[1]);
    partner_fields.push_back(PartnerField{words[2], lines.line_number()});
  }
  if (structure->size() == 0) {
    *error = format_message("%s:%d: no nucleotide lines (index, base, partner) in this file\n",
                            file.c_str(), std::max(lines.line_number(), 1));
    return false;
  }
  return pair_partners(partner_fields, file_name, &structure->partners, error);
}

std::string format_structure_bpseq(const Structure& structure) {
  std::string text;
  if (!structure.name.empty()) {
    text += kFilenameHeader;
    text += ' ';
    text += structure.name;
    text += '\n';
  }
  for (size_t i = 0; i < structure.size(); ++i) {
    const std::optional<size_t>& partner = structure.partners[i];
    text += decimal(static_cast<int64_t>(i + 1));
    text += ' ';
    text += structure.bases[i];
    text += ' ';
    text += decimal(partner ? static_cast<int64_t>(*partner + 1) : 0);
    text += '\n';
  }
  return text;
}

}  // namespace mirelon
