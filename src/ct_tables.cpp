#include "ct_tables.h"

#include "common/files.h"
#include "common/messages.h"
#include "common/text.h"
#include "fatal.h"

namespace mirelon {

bool parse_ct_records(std::string_view content, const char* file_name,
                      std::vector<CtRecord>* records, std::string* error) {
  records->clear();
  LineReader lines(content);
  std::string_view line;
  bool terminated = false;
  if (!lines.next(&line, &terminated)) return true;  // empty file: no header, no nucleotides

  // Counting pass: the capacity is tested before any line is looked at.
  long long count = 0;
  for (LineReader counter = lines; counter.next(&line, &terminated);) {
    if (!is_blank(line)) ++count;
  }
  if (count > static_cast<long long>(kMaxNucleotides)) {
    *error = capacity_message(count, static_cast<long long>(kMaxNucleotides));
    return false;
  }

  records->reserve(static_cast<size_t>(count));
  while (lines.next(&line, &terminated)) {
    if (is_blank(line)) continue;
    const std::vector<std::string_view> words = split_words(line);
    const CtColumnFault fault = check_ct_columns(words);
    if (fault.kind == CtColumnFault::kColumnCount) {
      *error = format_message(
          "Error: line %d of secondary sequence file %s has %d columns instead of 6.\n",
          lines.line_number(), file_name, static_cast<int>(words.size()));
      records->clear();
      return false;
    }
    if (fault.kind == CtColumnFault::kNotWholeNumber) {
      *error = format_message(
          "Error: line %d of secondary sequence file %s: column %d is not a whole number.\n",
          lines.line_number(), file_name, static_cast<int>(fault.column));
      records->clear();
      return false;
    }
    records->push_back(ct_record_from_words(words));
  }
  return true;
}

CtTables read_ct_tables(const char* file_name) {
  std::string content;
  if (!read_input_file(file_name, &content)) {
    fatal(To::kStdout, "\nUnable to open secondary sequence file: %s\nFor help type: mirelon -h\n",
          file_name);
  }
  CtTables tables;
  std::string error;
  if (!parse_ct_records(content, file_name, &tables.records, &error))
    fatal(To::kStdout, "%s", error.c_str());
  tables.residues = build_residues(tables.records);
  return tables;
}

}  // namespace mirelon
