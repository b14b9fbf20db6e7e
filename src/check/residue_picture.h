// The per-residue picture of an assignment check as SVG.
#ifndef MIRELON_CHECK_RESIDUE_PICTURE_H_
#define MIRELON_CHECK_RESIDUE_PICTURE_H_

#include <string>
#include <vector>

#include "check/predicted_peaks.h"
#include "check/svg_pictures.h"
#include "structure/structure.h"

namespace mirelon {

// The mean |z| of each residue along the sequence (negative: nothing
// observed) as bars, the level's tolerance as a line, and the helices of
// `structure` as arcs under the bars.
std::string residue_picture(const PredictionIndex& index, const Structure& structure,
                            const std::vector<double>& mean_abs_z, long level,
                            const PictureLegend& legend);

}  // namespace mirelon

#endif  // MIRELON_CHECK_RESIDUE_PICTURE_H_
