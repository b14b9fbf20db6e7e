#include "residue_ids.h"

#include "fatal.h"
#include "files.h"
#include "numbers.h"
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
  size_t k = 0;
  size_t i = 0;
  while (k < word_limit && i < content.size()) {
    while (i < content.size() && is_space(content[i])) ++i;
    const size_t start = i;
    while (i < content.size() && !is_space(content[i])) ++i;
    if (i == start) break;
    (*records)[k / kResidueIdFieldCount][k % kResidueIdFieldCount].assign(
        content.substr(start, i - start));
    ++k;
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
