// The vocabulary of nucleotides shared by the steps: residue names, canonical
// Watson-Crick pairs and the pairing marks.
#ifndef MIRELON_NUCLEOTIDES_H_
#define MIRELON_NUCLEOTIDES_H_

#include <string_view>

namespace mirelon {

// Pairing mark of a nucleotide in a canonical Watson-Crick pair.
inline constexpr std::string_view kMarkPaired = "w";
// Pairing mark of every other nucleotide, and of a missing neighbour.
inline constexpr std::string_view kMarkOther = "o";
// Base text written for a missing neighbour.
inline constexpr std::string_view kNoBase = "0";

// KESTA's residue name for the base letter: "RADE", "RCYT", "RGUA" or "URA"
// for exactly "A", "C", "G" or "U"; an empty view for any other text.
std::string_view residue_name(std::string_view base);

// True when (own, partner) is one of G-C, C-G, A-U, U-A, compared as whole,
// case-sensitive texts.
bool is_watson_crick(std::string_view own, std::string_view partner);

}  // namespace mirelon

#endif  // MIRELON_NUCLEOTIDES_H_
