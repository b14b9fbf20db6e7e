#include "check/svg_pictures.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "check/svg_drawing.h"
#include "common/messages.h"
#include "common/text.h"

namespace mirelon {

namespace {

// Spectrum geometry, in pixels.
constexpr double kWidth = 860;
constexpr double kHeight = 760;
constexpr double kMarginBottom = 52;
// Labels: monospace 10 px, whose glyphs are 0.6 em wide; a pixel of room
// on every side.
constexpr double kLabelFont = 10;
constexpr double kLabelCharWidth = 6.1;
constexpr double kLabelHeight = 12;
constexpr double kLabelPad = 2;
// Share of the ppm range added on each side of the peaks.
constexpr double kRangePad = 0.06;
constexpr double kTickTarget = 7;
// Least margin around the peaks, in ppm, and the centre of an empty picture.
constexpr double kMinProtonMargin = 0.1;
constexpr double kMinHeavyMargin = 1.0;
constexpr double kEmptyProtonCentre = 5;
constexpr double kEmptyHeavyCentre = 100;

// A ppm range mapped to pixels, increasing or decreasing.
struct Axis {
  double low = 0;
  double high = 1;
  double pixel_start = 0;  // pixel of `low` when increasing, of `high` otherwise
  double pixel_length = 1;
  bool increasing = true;

  double pixel(double ppm) const {
    const double share = (ppm - low) / (high - low);
    return increasing ? pixel_start + share * pixel_length
                      : pixel_start + (1 - share) * pixel_length;
  }
};

// A step of 1, 2 or 5 times a power of ten giving about kTickTarget ticks.
double tick_step(double range) {
  const double raw = range / kTickTarget;
  const double power = std::pow(10, std::floor(std::log10(raw)));
  for (double factor : {1.0, 2.0, 5.0}) {
    if (factor * power >= raw) return factor * power;
  }
  return 10 * power;
}

double median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void widen(double value, double* low, double* high) {
  *low = std::min(*low, value);
  *high = std::max(*high, value);
}

Axis make_axis(double low, double high, double pixel_start, double pixel_length, bool increasing) {
  if (!(high > low)) {
    low -= 0.5;
    high += 0.5;
  }
  const double pad = (high - low) * kRangePad;
  return {low - pad, high + pad, pixel_start, pixel_length, increasing};
}

// Ticks and numbers of `axis`, along the bottom (horizontal) or the left side.
void append_axis(std::string* out, const Axis& axis, bool horizontal, const Box& area,
                 std::string_view title) {
  const double step = tick_step(axis.high - axis.low);
  const int decimals = step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step)));
  for (double value = std::ceil(axis.low / step) * step; value <= axis.high; value += step) {
    const double p = axis.pixel(value);
    if (horizontal) {
      const double y = area.y + area.height;
      append_message(out,
                     "<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"#000\"/>"
                     "<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"middle\">%.*f</text>\n",
                     p, y, p, y + 5, p, y + 18, decimals, value);
    } else {
      append_message(out,
                     "<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"#000\"/>"
                     "<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"end\">%.*f</text>\n",
                     area.x - 5, p, area.x, p, area.x - 8, p + 4, decimals, value);
    }
  }
  const std::string text = xml_escape(title);
  if (horizontal) {
    append_message(out, "<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"middle\">%s</text>\n",
                   area.x + area.width / 2, area.y + area.height + 40, text.c_str());
  } else {
    const double x = area.x - 52;
    const double y = area.y + area.height / 2;
    append_message(out,
                   "<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"middle\" "
                   "transform=\"rotate(-90 %.1f %.1f)\">%s</text>\n",
                   x, y, x, y, text.c_str());
  }
}

// The two axes of a spectrum: 1H along x, the heteronucleus along y.
struct SpectrumAxes {
  Axis x;
  Axis y;
};

// The range holds every peak centre and observed peak, widened by the
// median tolerance: a few predictions from sparse statistics have
// tolerances of tens of ppm, and their boxes are cut at the frame.
SpectrumAxes spectrum_axes(const std::vector<PredictedPeak>& peaks,
                           const std::vector<ObservedPeak>& observed, const Box& area) {
  double proton_low = HUGE_VAL;
  double proton_high = -HUGE_VAL;
  double heavy_low = HUGE_VAL;
  double heavy_high = -HUGE_VAL;
  std::vector<double> proton_tolerances;
  std::vector<double> heavy_tolerances;
  for (const PredictedPeak& peak : peaks) {
    widen(peak.proton.mean, &proton_low, &proton_high);
    widen(peak.heavy.mean, &heavy_low, &heavy_high);
    proton_tolerances.push_back(peak.proton.tolerance);
    heavy_tolerances.push_back(peak.heavy.tolerance);
  }
  for (const ObservedPeak& peak : observed) {
    widen(peak.proton, &proton_low, &proton_high);
    widen(peak.heavy, &heavy_low, &heavy_high);
  }
  if (peaks.empty() && observed.empty()) {
    proton_low = proton_high = kEmptyProtonCentre;
    heavy_low = heavy_high = kEmptyHeavyCentre;
  }
  const double proton_margin = std::max(median(proton_tolerances), kMinProtonMargin);
  const double heavy_margin = std::max(median(heavy_tolerances), kMinHeavyMargin);
  proton_low -= proton_margin;
  proton_high += proton_margin;
  heavy_low -= heavy_margin;
  heavy_high += heavy_margin;
  // NMR's orientation: 1H decreasing to the right, the heteronucleus
  // increasing downwards.
  return {make_axis(proton_low, proton_high, area.x, area.width, false),
          make_axis(heavy_low, heavy_high, area.y, area.height, true)};
}

// Every predicted peak as a box of +/- its tolerances with a dot at its
// mean; `anchors` and `sizes` receive where its label goes and how large
// the label is.
void append_predicted_peaks(std::string* out, const PredictionIndex& index,
                            const std::vector<PredictedPeak>& peaks, const SpectrumAxes& axes,
                            std::vector<Box>* anchors, std::vector<Box>* sizes) {
  for (const PredictedPeak& peak : peaks) {
    const double left = axes.x.pixel(peak.proton.mean + peak.proton.tolerance);
    const double right = axes.x.pixel(peak.proton.mean - peak.proton.tolerance);
    const double top = axes.y.pixel(peak.heavy.mean - peak.heavy.tolerance);
    const double bottom = axes.y.pixel(peak.heavy.mean + peak.heavy.tolerance);
    const std::string colour(base_colour(peak.atoms.base));
    append_message(out,
                   "<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" fill=\"none\" "
                   "stroke=\"%s\" stroke-opacity=\"0.45\"/>"
                   "<circle cx=\"%.1f\" cy=\"%.1f\" r=\"2\" fill=\"%s\"/>\n",
                   left, top, right - left, bottom - top, colour.c_str(),
                   axes.x.pixel(peak.proton.mean), axes.y.pixel(peak.heavy.mean), colour.c_str());
    // The label goes beside the centre mark, not the whole box: boxes at
    // 99 % are wide and overlap, centres mostly do not.
    constexpr double kAnchorSize = 6;
    anchors->push_back({axes.x.pixel(peak.proton.mean) - kAnchorSize / 2,
                        axes.y.pixel(peak.heavy.mean) - kAnchorSize / 2, kAnchorSize, kAnchorSize});
    const double width =
        static_cast<double>(index.label(peak.position).size()) * kLabelCharWidth + kLabelPad;
    sizes->push_back({0, 0, width, kLabelHeight});
  }
}

// Every observed peak as a cross, or an outlier as a red circle with a line
// to its prediction.
void append_observed_peaks(std::string* out, const std::vector<PredictedPeak>& peaks,
                           const std::vector<ObservedPeak>& observed, const SpectrumAxes& axes) {
  for (const ObservedPeak& peak : observed) {
    const PredictedPeak& predicted = peaks[peak.peak];
    const double x = axes.x.pixel(peak.proton);
    const double y = axes.y.pixel(peak.heavy);
    if (peak.outlier) {
      append_message(out,
                     "<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"%s\"/>"
                     "<circle cx=\"%.1f\" cy=\"%.1f\" r=\"4\" fill=\"none\" stroke=\"%s\" "
                     "stroke-width=\"2\"/>\n",
                     x, y, axes.x.pixel(predicted.proton.mean), axes.y.pixel(predicted.heavy.mean),
                     std::string(kOutlierColour).c_str(), x, y,
                     std::string(kOutlierColour).c_str());
    } else {
      append_message(
          out, "<path d=\"M%.1f %.1fh8M%.1f %.1fv8\" stroke=\"#000\" stroke-width=\"1.5\"/>\n",
          x - 4, y, x, y - 4);
    }
  }
}

// The labels placed in `area`, each with a leader line when it is set off
// from its peak; the boxes drawn and the count of labels left out go into
// `picture`.
void append_labels(const PredictionIndex& index, const std::vector<PredictedPeak>& peaks,
                   const std::vector<Box>& anchors, const std::vector<Box>& sizes, const Box& area,
                   SpectrumPicture* picture) {
  std::string& out = picture->svg;
  const std::vector<std::optional<Box>> placed = place_labels(anchors, sizes, area);
  out += "<g font-family=\"monospace\" font-size=\"10\">\n";
  for (size_t i = 0; i < peaks.size(); ++i) {
    if (!placed[i]) {
      ++picture->omitted;
      continue;
    }
    const Box& box = *placed[i];
    picture->labels.push_back(box);
    const Box& anchor = anchors[i];
    const double ax = anchor.x + anchor.width / 2;
    const double ay = anchor.y + anchor.height / 2;
    // A label set off from its peak gets a leader line to it.
    const double gap_x =
        std::max({0.0, box.x - (anchor.x + anchor.width), anchor.x - (box.x + box.width)});
    const double gap_y =
        std::max({0.0, box.y - (anchor.y + anchor.height), anchor.y - (box.y + box.height)});
    if (gap_x > 2 || gap_y > 2) {
      const double lx = std::clamp(ax, box.x, box.x + box.width);
      const double ly = std::clamp(ay, box.y, box.y + box.height);
      append_message(&out,
                     "<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"#999\" "
                     "stroke-width=\"0.6\"/>\n",
                     ax, ay, lx, ly);
    }
    append_message(&out, "<text x=\"%.1f\" y=\"%.1f\" fill=\"%s\">%s</text>\n", box.x + 1,
                   box.y + kLabelHeight - 3, std::string(base_colour(peaks[i].atoms.base)).c_str(),
                   xml_escape(index.label(peaks[i].position)).c_str());
  }
  out += "</g>\n";
}

// The legend: experiment and peak count, structure, table and level, the
// marks used and the labels left out; then the colour key of the bases.
void append_spectrum_legend(const Experiment& experiment, size_t peaks, bool observed,
                            const PictureLegend& legend, SpectrumPicture* picture) {
  std::string& out = picture->svg;
  std::vector<std::string> lines =
      legend_lines(legend, format_message("%s %s HSQC: %zu predicted peaks",
                                          std::string(experiment.title).c_str(),
                                          std::string(experiment.heavy_nucleus).c_str(), peaks));
  std::string marks;
  if (observed) marks += "+ observed; red circle: outlier, with a line to its prediction. ";
  if (picture->omitted > 0) {
    marks += format_message(
        "%zu labels left out where they would overlap (all peaks are in the "
        "peak list).",
        picture->omitted);
  }
  if (!marks.empty()) lines.push_back(marks);
  append_legend_lines(&out, lines);
  // The colour key: the base letters in their colours.
  out += "<text x=\"700\" y=\"20\" font-weight=\"bold\">Bases:";
  for (const BaseColour& entry : kBaseColours) {
    append_message(&out, " <tspan fill=\"%s\">%s</tspan>", std::string(entry.colour).c_str(),
                   std::string(entry.base).c_str());
  }
  out += "</text>\n";
}

}  // namespace

SpectrumPicture spectrum_picture(const Experiment& experiment, const PredictionIndex& index,
                                 const std::vector<PredictedPeak>& peaks,
                                 const std::vector<ObservedPeak>& observed,
                                 const PictureLegend& legend) {
  const Box area{kMarginLeft, kMarginTop, kWidth - kMarginLeft - kMarginRight,
                 kHeight - kMarginTop - kMarginBottom};
  const SpectrumAxes axes = spectrum_axes(peaks, observed, area);

  SpectrumPicture picture;
  std::string& out = picture.svg;
  out = svg_start(kWidth, kHeight);
  append_message(&out,
                 "<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" fill=\"none\" "
                 "stroke=\"#000\"/>\n",
                 area.x, area.y, area.width, area.height);
  append_axis(&out, axes.x, true, area, "1H (ppm)");
  append_axis(&out, axes.y, false, area, std::string(experiment.heavy_nucleus) + " (ppm)");

  std::vector<Box> anchors;
  std::vector<Box> sizes;
  append_message(&out,
                 "<clipPath id=\"frame\"><rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" "
                 "height=\"%.1f\"/></clipPath>\n",
                 area.x, area.y, area.width, area.height);
  out += "<g stroke-width=\"1\" clip-path=\"url(#frame)\">\n";
  append_predicted_peaks(&out, index, peaks, axes, &anchors, &sizes);
  append_observed_peaks(&out, peaks, observed, axes);
  out += "</g>\n";

  append_labels(index, peaks, anchors, sizes, area, &picture);
  append_spectrum_legend(experiment, peaks.size(), !observed.empty(), legend, &picture);
  out += "</svg>\n";
  return picture;
}

}  // namespace mirelon
