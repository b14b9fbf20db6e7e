// The predicted spectrum of one experiment as SVG, with the observed peaks
// over it when there are any; the legend shared by mirelon-check's pictures.
//
// A picture stays a static SVG file, and the report's script can zoom and
// pan it. What the script relies on:
// - The plot area is one <g class="plot" data-area="X Y W H"
//   data-ppm="XLEFT XRIGHT YTOP YBOTTOM">: X Y W H the plot rectangle in SVG
//   user units, then the ppm at its left, right, top and bottom edges (1H
//   falls to the right, the heteronucleus grows downwards). Everything that
//   moves with zoom and pan is inside it, clipped to the area: regions,
//   dots, crosses, joining lines, leader lines and labels. Axes and legend
//   stay outside.
// - Each label is a <text class="label" data-zoom="Z" data-x="PX"
//   data-y="PY" x=".." y="..">: (PX, PY) is the point of the peak it names
//   (SVG user units) and x, y its place at 1x, so that at zoom z the script
//   draws it at PX + (x - PX) / z, PY + (y - PY) / z in plot coordinates:
//   labels keep their size on screen, so at zoom z a label covers 1/z of its
//   size. Z (1, 2 or 4) is the lowest zoom at which the label has room; the
//   file shows the labels of zoom 1 and hides the others (display="none").
//   A label's first child may be its <title>.
// - Dots and crosses, class "mark", carry data-x and data-y (their peak)
//   and keep their size on screen too: labels are placed so that no label
//   covers a mark, a line end or another label at any zoom from its Z to
//   4x, with each mark drawn at its 1x size around its zoomed peak.
// - Marks and labels say with data-kind="predicted" or "observed" which
//   peak they belong to; a <line class="join"> joins an observed peak (x1,
//   y1) to its prediction (x2, y2) and moves with the plot.
// - A leader line from a peak to a label set off from it is a <line
//   class="leader" data-zoom="Z" data-x="PX" data-y="PY">: (x1, y1) is the
//   peak, (x2, y2) the label's end at 1x, which at zoom z lies at
//   PX + (x2 - PX) / z, PY + (y2 - PY) / z; shown and hidden with its label.
// - Every mark has a <title>: residue, atom pair, predicted mean +/- the
//   tolerance at the picture level, observed value and z.
#ifndef MIRELON_CHECK_SVG_PICTURES_H_
#define MIRELON_CHECK_SVG_PICTURES_H_

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "check/label_placement.h"
#include "check/predicted_peaks.h"

namespace mirelon {

// An observed peak over a predicted one: both shifts observed (referencing
// offsets removed), whether either is an outlier, and their z (none where
// the prediction has no spread).
struct ObservedPeak {
  size_t peak = 0;  // index into the predicted peaks
  double heavy = 0;
  double proton = 0;
  bool outlier = false;
  std::optional<double> heavy_z;
  std::optional<double> proton_z;
};

// What the legend says besides the experiment.
struct PictureLegend {
  std::string structure;
  std::string table;
  long level = 0;          // the check level: outliers lie outside its tolerance
  long picture_level = 0;  // the regions drawn are +/- its tolerance
  std::string note;        // a further line (offsets removed), or empty
};

// What a spectrum shows: its predicted peaks with the tolerances of the
// picture level (the means are the same at every level), the observed
// peaks over them, and which residues pair with a Watson-Crick or G-U
// partner (see partnered_positions(); empty: every residue).
struct SpectrumInput {
  const Experiment* experiment = nullptr;
  const PredictionIndex* index = nullptr;
  std::vector<PredictedPeak> peaks;
  std::vector<ObservedPeak> observed;
  std::vector<bool> partnered;
};

// How many labels of one kind a picture has: shown at 1x, shown only when
// zoomed in, and left out for want of room even at 4x.
struct LabelCounts {
  size_t shown = 0;
  size_t zoomed = 0;
  size_t omitted = 0;
};

// A drawn spectrum.
struct SpectrumPicture {
  std::string svg;
  LabelCounts predicted;  // one label per printed position (see spectrum_picture)
  LabelCounts observed;   // one label per observed peak
};

// The predicted spectrum: every peak a dot at its mean in a light ellipse of
// +/- its tolerance at the picture level in both dimensions, coloured by
// base; an imino peak of a residue without partner hollow and grey.
// Predictions that print alike (1H to 0.01 ppm, the heteronucleus to 0.1)
// share one dot and one label, "U2 +79" (the first residue and how many
// more). Each observed peak is a cross labelled with its residue, joined by
// a thin line to its prediction; an outlier a red circle. 1H decreases to
// the right, the heteronucleus increases downwards.
SpectrumPicture spectrum_picture(const SpectrumInput& input, const PictureLegend& legend);

// The tooltip text of a peak: "G12 H1'/C1': predicted 5.43 +/- 0.14 / 92.1 +/-
// 0.8 ppm", then with `observed` "; observed 5.51 / 91.8 ppm; z +0.9 / -0.6"
// (a z without spread "-"); 1H to 0.01 ppm, 13C and 15N to 0.1.
std::string peak_title(const PredictionIndex& index, const PredictedPeak& peak,
                       const ObservedPeak* observed);

}  // namespace mirelon

#endif  // MIRELON_CHECK_SVG_PICTURES_H_
