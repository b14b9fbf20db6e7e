// The predicted spectrum of one experiment as SVG, with the observed peaks
// over it when there are any; the legend shared by mirelon-check's pictures.
#ifndef MIRELON_CHECK_SVG_PICTURES_H_
#define MIRELON_CHECK_SVG_PICTURES_H_

#include <cstddef>
#include <string>
#include <vector>

#include "check/label_placement.h"
#include "check/predicted_peaks.h"

namespace mirelon {

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

// A drawn spectrum.
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

}  // namespace mirelon

#endif  // MIRELON_CHECK_SVG_PICTURES_H_
