#include "check/svg_pictures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <string_view>
#include <utility>

#include "check/svg_drawing.h"
#include "common/messages.h"
#include "common/text.h"

namespace mirelon {

namespace {

// Spectrum geometry, in pixels: the legend's lines above the plot.
constexpr double kWidth = 860;
constexpr double kSpectrumMarginTop = 160;
constexpr double kPlotHeight = 590;
constexpr double kMarginBottom = 52;
constexpr double kHeight = kSpectrumMarginTop + kPlotHeight + kMarginBottom;
// Labels: monospace 10 px, whose glyphs are 0.6 em wide; a pixel of room
// on every side. The text's baseline lies kLabelBaseline below the box's
// top.
constexpr double kLabelCharWidth = 6.1;
constexpr double kLabelHeight = 12;
constexpr double kLabelPad = 2;
constexpr double kLabelBaseline = 9;
// A label further from its mark than this gets a leader line.
constexpr double kLeaderGap = 2;
// Half the size of the marks as obstacles: a dot (radius 2, hollow 2.5 with
// its stroke), a cross of 8 pixels or an outlier's circle (radius 4, stroke
// 2).
constexpr double kDotHalf = 3;
constexpr double kCrossHalf = 5;
// Colours: the observed peaks and their labels, an unpaired imino peak, the
// line joining an observed peak to its prediction.
constexpr std::string_view kObservedColour = "#000000";
constexpr std::string_view kUnpairedColour = "#999999";
constexpr std::string_view kJoinColour = "#777777";
// The regions' opacity: fill and outline of one region, as long as the
// colour where most regions pile up stays within kDensestFill.
constexpr double kRegionFill = 0.12;
constexpr double kRegionStroke = 0.4;
constexpr double kDensestFill = 0.3;
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

// A pixel as the picture prints it (one decimal): marks, labels and their
// places are computed from the printed points, so that what the file says
// is what was placed.
double printed(double pixel) { return std::round(pixel * 10) / 10; }

struct Point {
  double x = 0;
  double y = 0;
};

Point peak_point(const SpectrumAxes& axes, double proton, double heavy) {
  return {printed(axes.x.pixel(proton)), printed(axes.y.pixel(heavy))};
}

// True for an imino peak of a residue without a partner that shields it.
bool unpaired(const SpectrumInput& input, const PredictedPeak& peak) {
  return input.experiment->needs_partner && !input.partnered.empty() &&
         !input.partnered[peak.position];
}

// The predictions that print alike: one dot and one label for all of them.
struct PrintedPosition {
  std::vector<size_t> peaks;  // in residue order
  Point point;                // of the first
  bool unpaired = false;
};

std::vector<PrintedPosition> printed_positions(const SpectrumInput& input,
                                               const SpectrumAxes& axes) {
  std::vector<PrintedPosition> positions;
  std::map<std::string, size_t> slot;
  for (size_t i = 0; i < input.peaks.size(); ++i) {
    const PredictedPeak& peak = input.peaks[i];
    const bool hollow = unpaired(input, peak);
    const std::string key = format_message("%.2f %.1f %s %d", peak.proton.mean, peak.heavy.mean,
                                           std::string(peak.atoms.base).c_str(), hollow ? 1 : 0);
    const auto [found, added] = slot.emplace(key, positions.size());
    if (added) {
      positions.push_back({{}, peak_point(axes, peak.proton.mean, peak.heavy.mean), hollow});
    }
    positions[found->second].peaks.push_back(i);
  }
  return positions;
}

std::string z_text(const std::optional<double>& z) {
  if (!z) return "-";
  return format_message(std::fabs(*z) > 999 ? "%+.3g" : "%+.1f", *z);
}

// The title of a printed position: one line per tooltip text, residues
// whose texts agree after their name named together ("U2, U5 H1'/C1': ...").
std::string position_title(const SpectrumInput& input, const PrintedPosition& position,
                           const std::vector<const ObservedPeak*>& observed_of) {
  std::vector<std::pair<std::string, std::string>> lines;  // residues, rest
  for (const size_t i : position.peaks) {
    const PredictedPeak& peak = input.peaks[i];
    const std::string name = residue_name(*input.index, input.check, peak.position);
    const std::string rest =
        peak_title(*input.index, input.check, peak, observed_of[i]).substr(name.size());
    const auto same = std::find_if(lines.begin(), lines.end(),
                                   [&rest](const auto& line) { return line.second == rest; });
    if (same == lines.end()) {
      lines.emplace_back(name, rest);
    } else {
      same->first += ", " + name;
    }
  }
  std::string title;
  for (const auto& [names, rest] : lines) {
    if (!title.empty()) title += '\n';
    title += names + rest;
  }
  return title;
}

// A label to draw: its text, colour and title, the peak it names and its
// mark there.
struct LabelText {
  std::string text;
  std::string colour;
  std::string title;
  bool observed = false;
  LabelRequest request;
};

LabelRequest label_request(const Point& point, double half, const std::string& text) {
  return {{point.x, point.y, {-half, -half, 2 * half, 2 * half}},
          static_cast<double>(text.size()) * kLabelCharWidth + kLabelPad,
          kLabelHeight};
}

// The regions: an ellipse of +/- the picture level's tolerance around every
// predicted peak, light, in the base's colour, or grey, dashed and empty
// when unpaired. Predictions that print alike with tolerances that print
// alike share one ellipse.
// The most regions that cover one point, counted at the regions' centres.
size_t deepest_overlap(const std::vector<std::array<double, 4>>& ellipses) {
  size_t deepest = 0;
  for (const auto& at : ellipses) {
    size_t depth = 0;
    for (const auto& [cx, cy, rx, ry] : ellipses) {
      const double dx = rx > 0 ? (at[0] - cx) / rx : (at[0] == cx ? 0 : 2);
      const double dy = ry > 0 ? (at[1] - cy) / ry : (at[1] == cy ? 0 : 2);
      if (dx * dx + dy * dy <= 1) ++depth;
    }
    deepest = std::max(deepest, depth);
  }
  return deepest;
}

void append_regions(std::string* out, const SpectrumInput& input, const SpectrumAxes& axes) {
  std::vector<std::string> regions;
  std::vector<std::array<double, 4>> filled;  // centre and radii of each filled region
  std::set<std::string> drawn;
  for (const PredictedPeak& peak : input.peaks) {
    const double left = axes.x.pixel(peak.proton.mean + peak.proton.tolerance);
    const double right = axes.x.pixel(peak.proton.mean - peak.proton.tolerance);
    const double top = axes.y.pixel(peak.heavy.mean - peak.heavy.tolerance);
    const double bottom = axes.y.pixel(peak.heavy.mean + peak.heavy.tolerance);
    const Point centre = peak_point(axes, peak.proton.mean, peak.heavy.mean);
    const bool hollow = unpaired(input, peak);
    std::string region = format_message("<ellipse cx=\"%.1f\" cy=\"%.1f\" rx=\"%.1f\" ry=\"%.1f\" ",
                                        centre.x, centre.y, (right - left) / 2, (bottom - top) / 2);
    region += hollow ? "fill=\"none\" stroke=\"" + std::string(kUnpairedColour) +
                           "\" stroke-dasharray=\"3 3\"/>\n"
                     : "fill=\"" + std::string(base_colour(peak.atoms.base)) + "\" stroke=\"" +
                           std::string(base_colour(peak.atoms.base)) + "\"/>\n";
    if (!drawn.insert(region).second) continue;
    regions.push_back(region);
    if (!hollow) filled.push_back({centre.x, centre.y, (right - left) / 2, (bottom - top) / 2});
  }
  // Many regions overlap in a large RNA: each is the lighter the more of them
  // pile up at one place, so that the densest place is tinted, not covered,
  // and the dots and labels stay readable there.
  const double fill =
      std::min(kRegionFill, 1 - std::pow(1 - kDensestFill, 1 / static_cast<double>(std::max<size_t>(
                                                                   1, deepest_overlap(filled)))));
  append_message(out, "<g fill-opacity=\"%.3f\" stroke-opacity=\"%.3f\">\n", fill,
                 kRegionStroke * fill / kRegionFill);
  for (const std::string& region : regions) *out += region;
  *out += "</g>\n";
}

// Thin lines from each observed peak to its prediction, red for outliers.
void append_joins(std::string* out, const SpectrumInput& input, const SpectrumAxes& axes) {
  for (const ObservedPeak& peak : input.observed) {
    const PredictedPeak& predicted = input.peaks[peak.peak];
    const Point from = peak_point(axes, peak.proton, peak.heavy);
    const Point to = peak_point(axes, predicted.proton.mean, predicted.heavy.mean);
    append_message(out,
                   "<line class=\"join\" x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" "
                   "stroke=\"%s\" stroke-width=\"%s\"/>\n",
                   from.x, from.y, to.x, to.y,
                   std::string(peak.outlier ? kOutlierColour : kJoinColour).c_str(),
                   peak.outlier ? "1" : "0.6");
  }
}

// One dot per printed position, hollow and grey when unpaired, with its
// title; its label goes into `labels`.
void append_dots(std::string* out, const SpectrumInput& input,
                 const std::vector<PrintedPosition>& positions,
                 const std::vector<const ObservedPeak*>& observed_of,
                 std::vector<LabelText>* labels) {
  for (const PrintedPosition& position : positions) {
    const PredictedPeak& first = input.peaks[position.peaks.front()];
    const std::string title = xml_escape(position_title(input, position, observed_of));
    const std::string colour(position.unpaired ? kUnpairedColour : base_colour(first.atoms.base));
    if (position.unpaired) {
      append_message(out,
                     "<circle class=\"mark\" data-kind=\"predicted\" data-x=\"%.1f\" "
                     "data-y=\"%.1f\" cx=\"%.1f\" "
                     "cy=\"%.1f\" r=\"2\" fill=\"#ffffff\" stroke=\"%s\"><title>%s</title>"
                     "</circle>\n",
                     position.point.x, position.point.y, position.point.x, position.point.y,
                     colour.c_str(), title.c_str());
    } else {
      append_message(out,
                     "<circle class=\"mark\" data-kind=\"predicted\" data-x=\"%.1f\" "
                     "data-y=\"%.1f\" cx=\"%.1f\" "
                     "cy=\"%.1f\" r=\"2\" fill=\"%s\"><title>%s</title></circle>\n",
                     position.point.x, position.point.y, position.point.x, position.point.y,
                     colour.c_str(), title.c_str());
    }
    std::string text = residue_label(*input.index, first.position);
    if (position.peaks.size() > 1) text += format_message(" +%zu", position.peaks.size() - 1);
    labels->push_back({text, colour, title, false, label_request(position.point, kDotHalf, text)});
  }
}

// Every observed peak as a cross, or an outlier as a red circle, with its
// title; its label goes into `labels`.
void append_crosses(std::string* out, const SpectrumInput& input, const SpectrumAxes& axes,
                    std::vector<LabelText>* labels) {
  for (const ObservedPeak& peak : input.observed) {
    const PredictedPeak& predicted = input.peaks[peak.peak];
    const Point point = peak_point(axes, peak.proton, peak.heavy);
    const std::string title = xml_escape(peak_title(*input.index, input.check, predicted, &peak));
    const std::string colour(peak.outlier ? kOutlierColour : kObservedColour);
    if (peak.outlier) {
      append_message(out,
                     "<circle class=\"mark\" data-kind=\"observed\" data-x=\"%.1f\" "
                     "data-y=\"%.1f\" cx=\"%.1f\" "
                     "cy=\"%.1f\" r=\"4\" fill=\"none\" stroke=\"%s\" stroke-width=\"2\">"
                     "<title>%s</title></circle>\n",
                     point.x, point.y, point.x, point.y, colour.c_str(), title.c_str());
    } else {
      append_message(out,
                     "<path class=\"mark\" data-kind=\"observed\" data-x=\"%.1f\" data-y=\"%.1f\" "
                     "d=\"M%.1f %.1fh8M%.1f %.1fv8\" stroke=\"%s\" stroke-width=\"1.5\">"
                     "<title>%s</title></path>\n",
                     point.x, point.y, point.x - 4, point.y, point.x, point.y - 4, colour.c_str(),
                     title.c_str());
    }
    const std::string& text = residue_label(*input.index, predicted.position);
    labels->push_back({text, colour, title, true, label_request(point, kCrossHalf, text)});
  }
}

// The labels placed for every zoom, each with a leader line when it is set
// off from its mark; those of a higher zoom hidden in the file. The counts
// go into `picture`.
void append_labels(const std::vector<LabelText>& labels, const Box& area,
                   SpectrumPicture* picture) {
  std::vector<LabelRequest> requests;
  std::vector<PinnedBox> marks;
  for (const LabelText& label : labels) {
    requests.push_back(label.request);
    marks.push_back(label.request.mark);
  }
  const std::vector<std::optional<PlacedLabel>> placed = place_labels(requests, marks, area);
  std::string& out = picture->svg;
  // A white halo keeps each label legible over the regions.
  out +=
      "<g font-family=\"monospace\" font-size=\"10\" stroke=\"#ffffff\" stroke-width=\"2\" "
      "stroke-opacity=\"0.7\" paint-order=\"stroke\">\n";
  for (size_t i = 0; i < labels.size(); ++i) {
    LabelCounts& counts = labels[i].observed ? picture->observed : picture->predicted;
    if (!placed[i]) {
      ++counts.omitted;
      continue;
    }
    const Box& box = placed[i]->box;
    const int zoom = placed[i]->zoom;
    ++(zoom == kZoomLevels.front() ? counts.shown : counts.zoomed);
    const PinnedBox& mark = labels[i].request.mark;
    const char* hidden = zoom == kZoomLevels.front() ? "" : " display=\"none\"";
    const Box extent{mark.x + mark.extent.x, mark.y + mark.extent.y, mark.extent.width,
                     mark.extent.height};
    const double gap_x =
        std::max({0.0, box.x - (extent.x + extent.width), extent.x - (box.x + box.width)});
    const double gap_y =
        std::max({0.0, box.y - (extent.y + extent.height), extent.y - (box.y + box.height)});
    if (gap_x > kLeaderGap || gap_y > kLeaderGap) {
      append_message(&out,
                     "<line class=\"leader\" data-zoom=\"%d\" data-x=\"%.1f\" data-y=\"%.1f\" "
                     "x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"#999999\" "
                     "stroke-width=\"0.6\"%s/>\n",
                     zoom, mark.x, mark.y, mark.x, mark.y,
                     std::clamp(mark.x, box.x, box.x + box.width),
                     std::clamp(mark.y, box.y, box.y + box.height), hidden);
    }
    append_message(&out,
                   "<text class=\"label\" data-zoom=\"%d\" data-x=\"%.1f\" data-y=\"%.1f\" "
                   "data-kind=\"%s\" x=\"%.1f\" y=\"%.1f\" fill=\"%s\"%s><title>%s</title>%s"
                   "</text>\n",
                   zoom, mark.x, mark.y, labels[i].observed ? "observed" : "predicted", box.x + 1,
                   box.y + kLabelBaseline, labels[i].colour.c_str(), hidden,
                   labels[i].title.c_str(), xml_escape(labels[i].text).c_str());
  }
  out += "</g>\n";
}

// The legend: experiment and peak count, structure, table, the levels of
// the regions and of the check, the marks used and the labels not shown;
// then the colour key of the bases.
void append_spectrum_legend(const SpectrumInput& input, bool any_unpaired,
                            const PictureLegend& legend, SpectrumPicture* picture) {
  std::string& out = picture->svg;
  const Experiment& experiment = *input.experiment;
  std::vector<std::string> lines = legend_lines(
      legend,
      format_message("%s %s HSQC: %zu predicted peaks", std::string(experiment.title).c_str(),
                     std::string(experiment.heavy_nucleus).c_str(), input.peaks.size()),
      format_message("Ellipses: +/- the tolerance at picture level %ld (%g %% of resonances); "
                     "outliers lie outside check level %ld (%g %%)",
                     legend.picture_level, level_percent(legend.picture_level), legend.level,
                     level_percent(legend.level)));
  if (!input.observed.empty()) {
    lines.emplace_back(
        "+ observed, labelled in black, a thin line to its prediction; red circle: outlier");
  }
  const size_t zoomed = picture->predicted.zoomed + picture->observed.zoomed;
  const size_t omitted = picture->predicted.omitted + picture->observed.omitted;
  if (zoomed + omitted > 0) {
    lines.push_back(format_message(
        "Labels: %zu more when the report zooms in, %zu left out for want of room (every peak "
        "is in the peak list)",
        zoomed, omitted));
  }
  append_legend_lines(&out, lines);
  if (any_unpaired) {
    // The hollow grey dot, then why it is drawn so.
    const double y = 20 + 17 * static_cast<double>(lines.size());
    append_message(&out,
                   "<circle cx=\"16\" cy=\"%.1f\" r=\"3\" fill=\"#ffffff\" stroke=\"%s\"/>"
                   "<text x=\"24\" y=\"%.1f\">unpaired: imino protons usually exchange too fast "
                   "to be seen</text>\n",
                   y - 4, std::string(kUnpairedColour).c_str(), y);
  }
  // The colour key: the base letters in their colours.
  out += "<text x=\"700\" y=\"20\" font-weight=\"bold\">Bases:";
  for (const BaseColour& entry : kBaseColours) {
    append_message(&out, " <tspan fill=\"%s\">%s</tspan>", std::string(entry.colour).c_str(),
                   std::string(entry.base).c_str());
  }
  out += "</text>\n";
}

// The plot group with everything that moves when the report zooms: the
// regions, the joining lines, the dots and crosses and their labels.
void append_plot(const SpectrumInput& input, const SpectrumAxes& axes, const Box& area,
                 SpectrumPicture* picture, bool* any_unpaired) {
  std::string& out = picture->svg;
  const std::string id(input.experiment->id);
  append_message(&out,
                 "<clipPath id=\"frame-%s\"><rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" "
                 "height=\"%.1f\"/></clipPath>\n",
                 id.c_str(), area.x, area.y, area.width, area.height);
  append_message(&out,
                 "<g class=\"plot\" data-area=\"%.1f %.1f %.1f %.1f\" "
                 "data-ppm=\"%.6f %.6f %.6f %.6f\" clip-path=\"url(#frame-%s)\" "
                 "stroke-width=\"1\">\n",
                 area.x, area.y, area.width, area.height, axes.x.high, axes.x.low, axes.y.low,
                 axes.y.high, id.c_str());
  append_regions(&out, input, axes);
  append_joins(&out, input, axes);
  std::vector<const ObservedPeak*> observed_of(input.peaks.size(), nullptr);
  for (const ObservedPeak& peak : input.observed) observed_of[peak.peak] = &peak;
  const std::vector<PrintedPosition> positions = printed_positions(input, axes);
  *any_unpaired = std::any_of(positions.begin(), positions.end(),
                              [](const PrintedPosition& p) { return p.unpaired; });
  std::vector<LabelText> labels;
  append_dots(&out, input, positions, observed_of, &labels);
  append_crosses(&out, input, axes, &labels);
  append_labels(labels, area, picture);
  out += "</g>\n";
}

}  // namespace

std::string peak_title(const PredictionIndex& index, const AssignmentCheck* check,
                       const PredictedPeak& peak, const ObservedPeak* observed) {
  std::string title = format_message("%s %s/%s: predicted %.2f +/- %.2f / %.1f +/- %.1f ppm",
                                     residue_name(index, check, peak.position).c_str(),
                                     std::string(peak.atoms.proton).c_str(),
                                     std::string(peak.atoms.heavy).c_str(), peak.proton.mean,
                                     peak.proton.tolerance, peak.heavy.mean, peak.heavy.tolerance);
  if (observed != nullptr) {
    title +=
        format_message("; observed %.2f / %.1f ppm; z %s / %s", observed->proton, observed->heavy,
                       z_text(observed->proton_z).c_str(), z_text(observed->heavy_z).c_str());
  }
  return title;
}

SpectrumPicture spectrum_picture(const SpectrumInput& input, const PictureLegend& legend) {
  const Box area{kMarginLeft, kSpectrumMarginTop, kWidth - kMarginLeft - kMarginRight, kPlotHeight};
  const SpectrumAxes axes = spectrum_axes(input.peaks, input.observed, area);

  SpectrumPicture picture;
  std::string& out = picture.svg;
  out = svg_start(kWidth, kHeight);
  append_message(&out,
                 "<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" fill=\"none\" "
                 "stroke=\"#000\"/>\n",
                 area.x, area.y, area.width, area.height);
  append_axis(&out, axes.x, true, area, "1H (ppm)");
  append_axis(&out, axes.y, false, area, std::string(input.experiment->heavy_nucleus) + " (ppm)");
  bool any_unpaired = false;
  append_plot(input, axes, area, &picture, &any_unpaired);
  append_spectrum_legend(input, any_unpaired, legend, &picture);
  out += "</svg>\n";
  return picture;
}

}  // namespace mirelon
