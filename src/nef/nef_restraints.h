// The restraint lists of mirelon-nef's file: hydrogen-bond distances of
// the base pairs and backbone dihedral windows of the Watson-Crick stems.
#ifndef MIRELON_NEF_NEF_RESTRAINTS_H_
#define MIRELON_NEF_NEF_RESTRAINTS_H_

#include <optional>
#include <string>
#include <vector>

#include "nef/nef_star_text.h"
#include "nef/nef_writer.h"
#include "prediction/structure_prediction.h"
#include "structure/structure.h"

namespace mirelon {

// Appends the saveframe of two distance restraints (hydrogen and donor to
// acceptor) per hydrogen bond of every usable canonical Watson-Crick pair,
// and with `settings.wobble_pairs` of every G-U pair, to `out`; pairs with a
// left-out residue are skipped. Nothing when there is no restraint.
void append_distance_list(const Structure& structure, const StructurePrediction& prediction,
                          const std::vector<std::optional<NefResidue>>& residues,
                          const NefSettings& settings, std::string* out);

// Appends the saveframe of the backbone torsion windows of every stem
// nucleotide whose four atoms all lie on kept residues to `out`. Nothing
// when there is no restraint.
void append_dihedral_list(const StructurePrediction& prediction,
                          const std::vector<std::optional<NefResidue>>& residues, std::string* out);

}  // namespace mirelon

#endif  // MIRELON_NEF_NEF_RESTRAINTS_H_
