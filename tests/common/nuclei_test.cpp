#include "common/nuclei.h"

#include <gtest/gtest.h>

#include <string>

namespace mirelon {
namespace {

TEST(NucleiTest, TheFirstLetterOfAnAtomNameNamesItsNucleus) {
  struct Case {
    const char* atom;
    Nucleus nucleus;
    const char* written;  // element, isotope number, name
  } const cases[] = {
      {"H1'", kProton, "H 1 1H"},    {"H5\"", kProton, "H 1 1H"},    {"C8", kCarbon, "C 13 13C"},
      {"N3", kNitrogen, "N 15 15N"}, {"P", kPhosphorus, "P 31 31P"}, {"O2'", kOtherNucleus, "  "},
      {"h1", kOtherNucleus, "  "},   {"", kOtherNucleus, "  "},
  };
  for (const Case& c : cases) {
    const Nucleus nucleus = atom_nucleus(c.atom);
    EXPECT_EQ(nucleus, c.nucleus) << c.atom;
    EXPECT_EQ(std::string(element_symbol(nucleus)) + " " + std::string(isotope_number(nucleus)) +
                  " " + nucleus_name(nucleus),
              c.written)
        << c.atom;
  }
}

}  // namespace
}  // namespace mirelon
