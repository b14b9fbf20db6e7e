#include "structure/structure_pairs.h"

#include <utility>

#include "common/messages.h"
#include "common/numbers.h"

namespace mirelon {

PartnerColumn partner_column(std::vector<int64_t> partner_of) {
  const size_t n = partner_of.size();
  PartnerColumn column{std::move(partner_of), std::vector<size_t>(n + 1, 0)};
  for (int64_t p : column.partner_of) {
    if (p >= 1 && static_cast<uint64_t>(p) <= n) ++column.named[static_cast<size_t>(p)];
  }
  return column;
}

PairFault pair_fault(const PartnerColumn& column, size_t i) {
  const int64_t p = column.partner_of[i];
  if (p == 0) return PairFault::kNone;
  if (p < 1 || static_cast<uint64_t>(p) > column.partner_of.size()) {
    return PairFault::kPartnerOutside;
  }
  const size_t partner = static_cast<size_t>(p) - 1;
  if (partner == i) return PairFault::kPairedWithItself;
  if (column.partner_of[partner] != static_cast<int64_t>(i) + 1) return PairFault::kNotNamedBack;
  if (column.named[partner + 1] > 1 || column.named[i + 1] > 1) return PairFault::kNamedTwice;
  return PairFault::kNone;
}

namespace {

// The message for nucleotide `k` (counting from 1), whose partner `p` does
// not name it back: `p` unpaired, paired twice, or pairing elsewhere.
std::string not_named_back_message(const std::string& file, int line, const PartnerColumn& column,
                                   long long k) {
  const std::vector<int64_t>& partner = column.partner_of;
  const long long p = partner[static_cast<size_t>(k) - 1];
  const long long back = partner[static_cast<size_t>(p) - 1];
  if (back == 0) {
    return format_message(
        "%s:%d: nucleotide %lld pairs with %lld, but nucleotide %lld is unpaired (one-sided "
        "pair)\n",
        file.c_str(), line, k, p, p);
  }
  if (partner[static_cast<size_t>(back) - 1] == p) {
    return format_message(
        "%s:%d: nucleotide %lld pairs with %lld, which pairs with %lld (nucleotide %lld paired "
        "twice)\n",
        file.c_str(), line, k, p, back, p);
  }
  return format_message(
      "%s:%d: nucleotide %lld pairs with %lld, but nucleotide %lld pairs with %lld (one-sided "
      "pair)\n",
      file.c_str(), line, k, p, p, back);
}

}  // namespace

bool pair_partners(const std::vector<PartnerField>& fields, std::string_view file_name,
                   std::vector<std::optional<size_t>>* partners, std::string* error) {
  const std::string file(file_name);
  const size_t n = fields.size();
  // strtol10 saturates, so huge texts stay outside the sequence.
  std::vector<int64_t> numbers(n);
  for (size_t k = 0; k < n; ++k) numbers[k] = strtol10(std::string(fields[k].text));
  const PartnerColumn column = partner_column(std::move(numbers));
  // Numbers outside the sequence and nucleotides paired with themselves
  // first, so that every partner named in the second loop is another
  // position.
  for (size_t k = 0; k < n; ++k) {
    const PairFault fault = pair_fault(column, k);
    if (fault == PairFault::kPartnerOutside) {
      *error = format_message(
          "%s:%d: nucleotide %zu pairs with %s, outside the sequence of %zu nucleotides\n",
          file.c_str(), fields[k].line, k + 1, std::string(fields[k].text).c_str(), n);
      return false;
    }
    if (fault == PairFault::kPairedWithItself) {
      *error = format_message("%s:%d: nucleotide %zu pairs with itself\n", file.c_str(),
                              fields[k].line, k + 1);
      return false;
    }
  }
  for (size_t k = 0; k < n; ++k) {
    if (pair_fault(column, k) == PairFault::kNotNamedBack) {
      *error = not_named_back_message(file, fields[k].line, column, static_cast<long long>(k) + 1);
      return false;
    }
  }
  // Every pair is named back from both sides, so no nucleotide is named
  // twice: every pair is consistent.
  partners->assign(n, std::nullopt);
  for (size_t k = 0; k < n; ++k) {
    if (column.partner_of[k] != 0) (*partners)[k] = static_cast<size_t>(column.partner_of[k] - 1);
  }
  return true;
}

}  // namespace mirelon
