#include "structure/structure_pairs.h"

#include "common/messages.h"
#include "common/numbers.h"

namespace mirelon {

bool pair_partners(const std::vector<PartnerField>& fields, std::string_view file_name,
                   std::vector<std::optional<size_t>>* partners, std::string* error) {
  const std::string file(file_name);
  const long n = static_cast<long>(fields.size());
  // Partner numbers counting from 1, 0 for unpaired; a number outside the
  // sequence (strtol10 saturates, so huge texts stay outside) is reported.
  std::vector<long> partner(fields.size());
  for (size_t k = 0; k < fields.size(); ++k) {
    partner[k] = strtol10(std::string(fields[k].text));
  }
  // Numbers outside the sequence first, so that every partner named in the
  // second loop is a position.
  for (long k = 1; k <= n; ++k) {
    const long p = partner[k - 1];
    const int line = fields[k - 1].line;
    if (p < 0 || p > n) {
      *error = format_message(
          "%s:%d: nucleotide %ld pairs with %s, outside the sequence of %ld "
          "nucleotides\n",
          file.c_str(), line, k, std::string(fields[k - 1].text).c_str(), n);
      return false;
    }
    if (p == k) {
      *error = format_message("%s:%d: nucleotide %ld pairs with itself\n", file.c_str(), line, k);
      return false;
    }
  }
  for (long k = 1; k <= n; ++k) {
    const long p = partner[k - 1];
    if (p == 0 || partner[p - 1] == k) continue;
    const long back = partner[p - 1];
    const int line = fields[k - 1].line;
    if (back == 0) {
      *error = format_message(
          "%s:%d: nucleotide %ld pairs with %ld, but nucleotide %ld is unpaired (one-sided pair)\n",
          file.c_str(), line, k, p, p);
    } else if (partner[back - 1] == p) {
      *error = format_message(
          "%s:%d: nucleotide %ld pairs with %ld, which pairs with %ld (nucleotide %ld paired "
          "twice)\n",
          file.c_str(), line, k, p, back, p);
    } else {
      *error = format_message(
          "%s:%d: nucleotide %ld pairs with %ld, but nucleotide %ld pairs with %ld (one-sided "
          "pair)\n",
          file.c_str(), line, k, p, p, back);
    }
    return false;
  }
  partners->assign(fields.size(), std::nullopt);
  for (size_t k = 0; k < fields.size(); ++k) {
    if (partner[k] != 0) (*partners)[k] = static_cast<size_t>(partner[k] - 1);
  }
  return true;
}

}  // namespace mirelon
