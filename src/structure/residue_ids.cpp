#include "structure/residue_ids.h"

#include "common/messages.h"
#include "common/text.h"

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

}  // namespace mirelon
