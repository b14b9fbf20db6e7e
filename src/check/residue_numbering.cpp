#include "check/residue_numbering.h"

#include <utility>

#include "common/messages.h"
#include "common/nucleotides.h"
#include "common/numbers.h"

namespace mirelon {

std::optional<size_t> ResidueMapping::position(const ObservedShift& shift, size_t size) const {
  const std::optional<int64_t> target = offsets.position(shift.chain, shift.residue);
  if (!target) return std::nullopt;
  if (natural) {
    const auto found = natural->find(*target);
    if (found == natural->end()) return std::nullopt;
    return found->second;
  }
  if (*target < 1 || static_cast<size_t>(*target) > size) return std::nullopt;
  return static_cast<size_t>(*target - 1);
}

std::string ResidueMapping::shift_residue(const ObservedShift& shift) const {
  const std::string number = decimal(shift.residue);
  return offsets.chain_offsets.empty() ? number : shift.chain + ":" + number;
}

bool natural_mapping(const Structure& structure, std::string_view file_name,
                     const ShiftOffsets& offsets, ResidueMapping* mapping, std::string* error) {
  *error = natural_numbering_fault(structure, file_name, "residue numbers");
  if (!error->empty()) return false;
  std::map<int64_t, size_t> positions;
  for (size_t i = 0; i < structure.size(); ++i) {
    if (residue_name(structure.bases[i]).empty()) continue;
    int64_t number = 0;
    if (!natural_number(structure, i, file_name, &number, error)) return false;
    const auto [found, added] = positions.emplace(number, i);
    if (!added) {
      *error = format_message(
          "%s: nucleotide %zu: column 6 number %lld is also that of nucleotide %zu, so -N cannot "
          "tell them apart: number every residue once in column 6, or use -O\n",
          std::string(file_name).c_str(), i + 1, static_cast<long long>(number), found->second + 1);
      return false;
    }
  }
  mapping->offsets = offsets;
  mapping->natural = std::move(positions);
  return true;
}

}  // namespace mirelon
