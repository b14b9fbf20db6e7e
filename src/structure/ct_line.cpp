#include "structure/ct_line.h"

#include "common/numbers.h"

namespace mirelon {

namespace {

// Columns that must hold whole numbers: index, before, after, partner.
constexpr size_t kWholeNumberColumns[] = {kColumnIndex, kColumnBefore, kColumnAfter,
                                          kColumnPartner};

}  // namespace

CtColumnFault check_ct_columns(const std::vector<std::string_view>& words) {
  if (words.size() != kCtColumnCount) return {CtColumnFault::kColumnCount, 0};
  for (size_t column : kWholeNumberColumns) {
    if (!is_whole_number(words[column])) return {CtColumnFault::kNotWholeNumber, column + 1};
  }
  return {};
}

CtRecord ct_record_from_words(const std::vector<std::string_view>& words) {
  return CtRecord{std::string(words[kColumnIndex]),   std::string(words[kColumnBase]),
                  std::string(words[kColumnBefore]),  std::string(words[kColumnAfter]),
                  std::string(words[kColumnPartner]), std::string(words[kColumnNatural])};
}

}  // namespace mirelon
