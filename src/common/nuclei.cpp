#include "common/nuclei.h"

#include <algorithm>
#include <array>

namespace mirelon {

namespace {

struct NucleusNames {
  char letter;
  std::string_view element;
  std::string_view isotope;
  const char* name;
};

// By Nucleus, kOtherNucleus last.
constexpr std::array<NucleusNames, 5> kNuclei = {{
    {'H', "H", "1", "1H"},
    {'C', "C", "13", "13C"},
    {'N', "N", "15", "15N"},
    {'P', "P", "31", "31P"},
    {'\0', "", "", ""},
}};

const NucleusNames& names_of(Nucleus nucleus) {
  return kNuclei[std::min<size_t>(nucleus, kOtherNucleus)];
}

}  // namespace

Nucleus atom_nucleus(std::string_view atom) {
  if (atom.empty()) return kOtherNucleus;
  for (size_t n = 0; n < kOtherNucleus; ++n) {
    if (kNuclei[n].letter == atom.front()) return static_cast<Nucleus>(n);
  }
  return kOtherNucleus;
}

std::string_view element_symbol(Nucleus nucleus) { return names_of(nucleus).element; }

std::string_view isotope_number(Nucleus nucleus) { return names_of(nucleus).isotope; }

const char* nucleus_name(Nucleus nucleus) { return names_of(nucleus).name; }

}  // namespace mirelon
