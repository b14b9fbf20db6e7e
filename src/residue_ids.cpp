#include "residue_ids.h"

#include "fatal.h"
#include "files.h"
#include "text.h"

namespace mirelon {

std::string format_residue_id_lines(const std::vector<ResidueIdRecord>& records) {
  std::string text;
  for (const ResidueIdRecord& record : records) {
    for (const std::string& field : record) {
      text += field;
      text += ' ';
    }
    text += '\n';
  }
  return text;
}

bool parse_residue_ids(std::string_view content, size_t capacity,
                       std::vector<ResidueIdRecord>* records, std::string* error) {
  const long long count = count_terminated_lines(content);
  if (count > static_cast<long long>(capacity)) {
    *error = capacity_message(count, static_cast<long long>(capacity));
    return false;
  }
  records->assign(static_cast<size_t>(count), ResidueIdRecord());
  const size_t word_limit = records->size() * kResidueIdFieldCount;
  WordScanner words(content);
  std::string_view word;
  for (size_t k = 0; k < word_limit && words.next(&word); ++k) {
    (*records)[k / kResidueIdFieldCount][k % kResidueIdFieldCount].assign(word);
  }
  return true;
}

std::vector<ResidueIdRecord> read_residue_id_file(size_t capacity) {
  std::string content;
  if (!read_input_file(kResidueIdFileName, &content)) {
    fatal("\nUnable to open ID sequence file: %s\nFor help type: mirelon -h\n", kResidueIdFileName);
  }
  std::vector<ResidueIdRecord> records;
  std::string error;
  if (!parse_residue_ids(content, capacity, &records, &error)) fatal("%s", error.c_str());
  return records;
}

}  // namespace mirelon
