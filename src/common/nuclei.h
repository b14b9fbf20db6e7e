// The nuclei that NMR observes in an RNA, and the nucleus of an atom name:
// the one place that reads an element from a name, for the assignment
// check's referencing, the element and isotope of NEF shifts and the
// proton and heavy-atom tolerances of the statistics builder.
#ifndef MIRELON_COMMON_NUCLEI_H_
#define MIRELON_COMMON_NUCLEI_H_

#include <cstddef>
#include <string_view>

namespace mirelon {

enum Nucleus : size_t {
  kProton = 0,
  kCarbon = 1,
  kNitrogen = 2,
  kPhosphorus = 3,
  kOtherNucleus = 4,  // a name of no element above: empty, "O2'", ...
};

// The nucleus of an atom name as the statistics table and the shift files
// spell it, by its first letter, the element: "H1'" a proton, "C8" a carbon,
// "N3" a nitrogen, "P" a phosphorus.
Nucleus atom_nucleus(std::string_view atom);

// The element symbol: "H", "C", "N", "P"; empty for kOtherNucleus.
std::string_view element_symbol(Nucleus nucleus);

// The mass number of the isotope that NMR observes: "1", "13", "15", "31";
// empty for kOtherNucleus.
std::string_view isotope_number(Nucleus nucleus);

// The isotope as spectroscopists name it: "1H", "13C", "15N", "31P"; empty
// for kOtherNucleus.
const char* nucleus_name(Nucleus nucleus);

}  // namespace mirelon

#endif  // MIRELON_COMMON_NUCLEI_H_
