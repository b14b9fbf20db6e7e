#include "shifts/shift_offsets.h"

#include "common/numbers.h"

namespace mirelon {

namespace {

bool read_offset(std::string_view text, int64_t* offset) {
  const std::optional<int64_t> value = whole_number_value(text);
  if (value) *offset = *value;
  return value.has_value();
}

}  // namespace

std::optional<int64_t> ShiftOffsets::position(const std::string& chain, int64_t number) const {
  if (chain_offsets.empty()) return number + offset;
  const auto found = chain_offsets.find(chain);
  if (found == chain_offsets.end()) return std::nullopt;
  return number + found->second;
}

bool parse_shift_offsets(std::string_view text, ShiftOffsets* offsets) {
  if (text.find(':') == std::string_view::npos) return read_offset(text, &offsets->offset);
  while (!text.empty()) {
    const size_t comma = text.find(',');
    const std::string_view pair = text.substr(0, comma);
    const size_t colon = pair.find(':');
    if (colon == 0 || colon == std::string_view::npos) return false;
    int64_t offset;
    if (!read_offset(pair.substr(colon + 1), &offset)) return false;
    if (!offsets->chain_offsets.emplace(std::string(pair.substr(0, colon)), offset).second) {
      return false;
    }
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
    if (text.empty()) return false;
  }
  return true;
}

}  // namespace mirelon
