// Backbone torsion windows of Watson-Crick stems: which nucleotides of a stem
// get windows, which of the six angles ALPHA to ZETA, and each window's
// limits and defining atoms. mirelon's dihedral restraint step and every tool
// that writes the same restraints in another format take them from here.
#ifndef MIRELON_STRUCTURE_BACKBONE_WINDOWS_H_
#define MIRELON_STRUCTURE_BACKBONE_WINDOWS_H_

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

#include "structure/residue_ids.h"

namespace mirelon {

// Where a nucleotide sits in a Watson-Crick stem, by the pairing marks of its
// predecessor, itself and its successor (residue-ID fields 6, 8 and 10).
enum class StemPosition {
  kNone,   // restrains nothing
  kStart,  // "o" "w" "w": DELTA, EPSI, ZETA
  kInner,  // "w" "w" "w": ALPHA to ZETA
  kEnd,    // "w" "w" "o": ALPHA, BETA, GAMMA, DELTA
};

// The stem position of `record`. The marks are compared as whole texts: any
// mark other than exactly "w" or "o" gives kNone.
StemPosition classify_stem_position(const ResidueIdRecord& record);

// An atom of a torsion angle: its name and the nucleotide it belongs to,
// relative to the restrained one (-1 the 5' neighbour, +1 the 3' neighbour).
struct TorsionAtom {
  int offset;
  std::string_view name;
};

// One backbone torsion window of an A-form stem, 60 degrees wide. The upper
// limit is below the lower where the window passes through 180 degrees
// (BETA 150 to -150, EPSI 180 to -120): the window runs upward from the
// lower limit to the upper.
struct BackboneWindow {
  std::string_view name;  // "ALPHA", "BETA", "GAMMA", "DELTA", "EPSI", "ZETA"
  double lower;           // degrees
  double upper;           // degrees
  std::array<TorsionAtom, 4> atoms;
};

inline constexpr size_t kBackboneAngleCount = 6;

// The six windows in the order ALPHA to ZETA.
const std::array<BackboneWindow, kBackboneAngleCount>& backbone_windows();

// The windows restrained at `position`, in the order ALPHA to ZETA: DELTA to
// ZETA at a stem start (it has no 5' neighbour in the stem), all six inside,
// ALPHA to DELTA at a stem end; none for kNone.
std::vector<const BackboneWindow*> restrained_windows(StemPosition position);

// Number of angle windows restrained at `position`: 3, 6, 4, or 0 for kNone.
size_t restrained_angle_count(StemPosition position);

}  // namespace mirelon

#endif  // MIRELON_STRUCTURE_BACKBONE_WINDOWS_H_
