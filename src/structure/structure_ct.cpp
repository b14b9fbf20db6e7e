// CT files: the connect table mirelon reads, one structure per file.
#include <string>

#include "common/messages.h"
#include "common/numbers.h"
#include "common/text.h"
#include "structure/structure.h"
#include "structure/structure_pairs.h"

namespace mirelon {

namespace {

// What columns 3, 4 and 5 hold where there is no neighbour in the strand or
// no partner.
constexpr std::string_view kNone = "0";

// Checks one nucleotide line at `position` (counting from 1) of `count`,
// given column 4 of the line before (empty for the first). Columns 3 and 4
// are compared as texts, as mirelon compares them with "0".
bool check_ct_line(const std::vector<std::string_view>& words, size_t position, size_t count,
                   std::string_view after_before, const std::string& file, int line,
                   std::string* error) {
  const CtColumnFault fault = check_ct_columns(words);
  if (fault.kind == CtColumnFault::kColumnCount) {
    *error =
        format_message("%s:%d: expected 6 columns, found %zu\n", file.c_str(), line, words.size());
    return false;
  }
  if (fault.kind == CtColumnFault::kNotWholeNumber) {
    *error = format_message("%s:%d: column %zu is not a whole number\n", file.c_str(), line,
                            fault.column);
    return false;
  }
  const std::string here = decimal(static_cast<int64_t>(position));
  if (words[kColumnIndex] != here) {
    *error = format_message("%s:%d: column 1 is %s, expected %s\n", file.c_str(), line,
                            std::string(words[kColumnIndex]).c_str(), here.c_str());
    return false;
  }
  // The first column 3 may name the last nucleotide (a circular RNA); any
  // other must agree with column 4 of the line before, which decides
  // whether a strand ends there.
  if (position > 1) {
    const std::string before = decimal(static_cast<int64_t>(position - 1));
    const std::string_view column3 = words[kColumnBefore];
    if (after_before == kNone && column3 != kNone) {
      *error = format_message("%s:%d: column 3 is %s, expected 0 (the line before ends a strand)\n",
                              file.c_str(), line, std::string(column3).c_str());
      return false;
    }
    if (after_before != kNone && column3 == kNone) {
      *error = format_message(
          "%s:%d: column 3 is 0 (a strand starts here), but column 4 of the line before is not 0\n",
          file.c_str(), line);
      return false;
    }
    if (after_before != kNone && column3 != before) {
      *error = format_message("%s:%d: column 3 is %s, expected %s\n", file.c_str(), line,
                              std::string(column3).c_str(), before.c_str());
      return false;
    }
  }
  // The last column 4 may point past the end (N+1) or back to the start.
  if (position < count) {
    const std::string after = decimal(static_cast<int64_t>(position + 1));
    if (words[kColumnAfter] != kNone && words[kColumnAfter] != after) {
      *error =
          format_message("%s:%d: column 4 is %s, expected %s or 0 (a strand end)\n", file.c_str(),
                         line, std::string(words[kColumnAfter]).c_str(), after.c_str());
      return false;
    }
  }
  return true;
}

// Column 4 after column 3 and before column 5, widened so that columns of up
// to four digits line up; every column keeps at least one blank before it.
std::string format_ct_line(const CtRecord& record) {
  std::string line = pad_left(record.index, 5);
  line += ' ';
  line += record.base;
  line += ' ';
  line += pad_left(record.before, 7);
  for (const std::string* column : {&record.after, &record.partner, &record.natural}) {
    line += ' ';
    line += pad_left(*column, 4);
  }
  line += '\n';
  return line;
}

}  // namespace

bool parse_structure_ct(std::string_view content, std::string_view file_name, Structure* structure,
                        std::string* error, int first_line) {
  const std::string file(file_name);
  *structure = Structure();
  LineReader lines(content, first_line);
  std::string_view line;
  bool terminated = false;

  // Header: the number of nucleotides, then the name.
  const std::string_view header = lines.next(&line, &terminated) ? line : std::string_view();
  const std::vector<std::string_view> header_words = split_words(header);
  if (header_words.empty() || !is_whole_number(header_words[0]) || header_words[0][0] == '-') {
    *error = format_message("%s:%d: the header must start with the number of nucleotides\n",
                            file.c_str(), first_line);
    return false;
  }
  const std::string count_text(header_words[0]);
  const int64_t announced = strtol10(count_text);
  // The name is the rest of the header, blanks inside kept.
  const size_t count_end =
      static_cast<size_t>(header_words[0].data() - header.data()) + header_words[0].size();
  structure->name = std::string(trim_space(header.substr(count_end)));

  std::vector<PartnerField> partner_fields;
  std::string_view after_before;  // column 4 of the line before
  while (lines.next_nonblank(&line)) {
    const size_t position = structure->size() + 1;
    if (static_cast<int64_t>(position) > announced) {
      *error = format_message(
          "%s:%d: more than one structure in this CT file (the header announces %s "
          "nucleotides)\n",
          file.c_str(), lines.line_number(), count_text.c_str());
      return false;
    }
    const std::vector<std::string_view> words = split_words(line);
    if (!check_ct_line(words, position, static_cast<size_t>(announced), after_before, file,
                       lines.line_number(), error)) {
      return false;
    }
    if (position > 1 && after_before == kNone) structure->breaks.push_back(position - 2);
    structure->bases.emplace_back(words[kColumnBase]);
    structure->natural_numbers.emplace_back(words[kColumnNatural]);
    partner_fields.push_back(PartnerField{words[kColumnPartner], lines.line_number()});
    after_before = words[kColumnAfter];
  }
  if (static_cast<int64_t>(structure->size()) < announced) {
    *error = format_message("%s:%d: the header announces %s nucleotides, but the file holds %zu\n",
                            file.c_str(), first_line, count_text.c_str(), structure->size());
    return false;
  }
  return pair_partners(partner_fields, file_name, &structure->partners, error);
}

std::vector<CtRecord> to_ct_records(const Structure& structure) {
  const size_t n = structure.size();
  std::vector<bool> strand_end(n, false);
  for (size_t position : structure.breaks) strand_end[position] = true;
  if (n > 0) strand_end[n - 1] = true;

  std::vector<CtRecord> records(n);
  for (size_t i = 0; i < n; ++i) {
    CtRecord& record = records[i];
    record.index = decimal(static_cast<int64_t>(i + 1));
    record.base = structure.bases[i];
    const bool strand_start = i == 0 || strand_end[i - 1];
    record.before = strand_start ? std::string(kNone) : decimal(static_cast<int64_t>(i));
    record.after = strand_end[i] ? std::string(kNone) : decimal(static_cast<int64_t>(i + 2));
    const std::optional<size_t>& partner = structure.partners[i];
    record.partner = partner ? decimal(static_cast<int64_t>(*partner + 1)) : std::string(kNone);
    record.natural =
        structure.natural_numbers.empty() ? record.index : structure.natural_numbers[i];
  }
  return records;
}

std::string format_structure_ct(const Structure& structure) {
  std::string text = pad_left(decimal(static_cast<int64_t>(structure.size())), 5);
  if (!structure.name.empty()) {
    text += "  ";
    text += structure.name;
  }
  text += '\n';
  for (const CtRecord& record : to_ct_records(structure)) text += format_ct_line(record);
  return text;
}

}  // namespace mirelon
