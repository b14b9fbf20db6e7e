// The vocabulary of nucleotides shared by the steps: residue names, canonical
// Watson-Crick pairs and the pairing marks.
#ifndef MIRELON_NUCLEOTIDES_H_
#define MIRELON_NUCLEOTIDES_H_

#include <string>
#include <string_view>
#include <vector>

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

// Positions (counting from 1, as text) of the `bases` that have no residue
// name: every base but exactly "A", "C", "G" and "U".
std::vector<std::string> odd_base_positions(const std::vector<std::string>& bases);

// Every tool's warning about the nucleotides at `positions`, whose base is
// not A, C, G or U: "Warning: FILE: nucleotides whose base is not A, C, G or
// U CONSEQUENCE (mirelon-ct -u writes upper-case bases): P1, P2, ... and N
// more\n" (format_warning()); empty when `positions` is.
std::string odd_bases_warning(std::string_view file, std::string_view consequence,
                              const std::vector<std::string>& positions);

}  // namespace mirelon

#endif  // MIRELON_NUCLEOTIDES_H_
