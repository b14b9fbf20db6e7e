// The chemical shift list of mirelon-nef's file: the predicted shifts of
// the residues of the molecular system, with a label naming the statistics
// table and level they come from.
#ifndef MIRELON_NEF_NEF_SHIFT_LIST_H_
#define MIRELON_NEF_NEF_SHIFT_LIST_H_

#include <optional>
#include <string>
#include <vector>

#include "nef/nef_star_text.h"
#include "nef/nef_writer.h"
#include "prediction/structure_prediction.h"

namespace mirelon {

// Appends the saveframe of the shifts of `prediction` to `out`, one row per
// atom of each residue kept in `residues` (by structure position), the
// spread being the level's tolerance divided by its normal quantile. A
// second prediction for the same atom is left out with a "Warning: " line
// in `warnings`.
void append_shift_list(const StructurePrediction& prediction,
                       const std::vector<std::optional<NefResidue>>& residues,
                       const NefSettings& settings, std::string* out,
                       std::vector<std::string>* warnings);

}  // namespace mirelon

#endif  // MIRELON_NEF_NEF_SHIFT_LIST_H_
