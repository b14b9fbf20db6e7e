// The pictures of mirelon-check as SVG: the predicted spectrum of one
// experiment (with the observed peaks over it when there are any) and the
// per-residue picture of an assignment check.
#ifndef MIRELON_CHECK_SVG_PICTURES_H_
#define MIRELON_CHECK_SVG_PICTURES_H_

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "check/predicted_peaks.h"
#include "structure/structure.h"

namespace mirelon {

// An axis-parallel rectangle in picture coordinates (pixels, y downwards).
struct Box {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
};

// True when the two boxes share more than an edge.
bool boxes_overlap(const Box& a, const Box& b);

// Places one label of the given size near each anchor box, inside `area`,
// such that no two labels overlap: the first free place of a fixed list of
// places around the anchor, nearest first. A label without a free place is
// left out (nothing in its slot). Anchors are handled in the order given.
std::vector<std::optional<Box>> place_labels(const std::vector<Box>& anchors,
                                             const std::vector<Box>& label_sizes, const Box& area);

// An observed peak over a predicted one: both shifts observed (referencing
// offsets removed), and whether either is an outlier.
struct ObservedPeak {
  size_t peak = 0;  // index into the predicted peaks
  double heavy = 0;
  double proton = 0;
  bool outlier = false;
};

// What the legend says besides the experiment.
struct PictureLegend {
  std::string structure;
  std::string table;
  long level = 0;
  std::string note;  // a further line (offsets removed), or empty
};

struct SpectrumPicture {
  std::string svg;
  std::vector<Box> labels;  // the boxes of the labels drawn
  size_t omitted = 0;       // labels left out where they would overlap
};

// The predicted spectrum: every peak a box of +/- tolerance in both
// dimensions, labelled "G12", coloured by base; 1H decreasing to the right,
// the heteronucleus increasing downwards.
SpectrumPicture spectrum_picture(const Experiment& experiment, const PredictionIndex& index,
                                 const std::vector<PredictedPeak>& peaks,
                                 const std::vector<ObservedPeak>& observed,
                                 const PictureLegend& legend);

// The mean |z| of each residue along the sequence (negative: nothing
// observed) as bars, the level's tolerance as a line, and the helices of
// `structure` as arcs under the bars.
std::string residue_picture(const PredictionIndex& index, const Structure& structure,
                            const std::vector<double>& mean_abs_z, long level,
                            const PictureLegend& legend);

}  // namespace mirelon

#endif  // MIRELON_CHECK_SVG_PICTURES_H_
