#include "common/nucleotides.h"

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

}  // namespace mirelon
