#include "common/nucleotides.h"

#include "common/messages.h"

namespace mirelon {

std::string_view residue_name(std::string_view base) {
  if (base == "A") return "RADE";
  if (base == "C") return "RCYT";
  if (base == "G") return "RGUA";
  if (base == "U") return "URA";
  return {};
}

bool is_watson_crick(std::string_view own, std::string_view partner) {
  return (own == "G" && partner == "C") || (own == "C" && partner == "G") ||
         (own == "A" && partner == "U") || (own == "U" && partner == "A");
}

std::vector<std::string> odd_base_positions(const std::vector<std::string>& bases) {
  std::vector<std::string> positions;
  for (size_t i = 0; i < bases.size(); ++i) {
    if (residue_name(bases[i]).empty()) positions.push_back(std::to_string(i + 1));
  }
  return positions;
}

std::string odd_bases_warning(std::string_view file, std::string_view consequence,
                              const std::vector<std::string>& positions) {
  if (positions.empty()) return {};
  std::string what = "nucleotides whose base is not A, C, G or U ";
  what += consequence;
  what += " (mirelon-ct -u writes upper-case bases)";
  return format_warning(file, what, positions);
}

}  // namespace mirelon
