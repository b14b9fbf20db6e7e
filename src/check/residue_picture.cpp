#include "check/residue_picture.h"

#include <algorithm>
#include <optional>

#include "check/svg_drawing.h"
#include "common/messages.h"
#include "common/prediction_levels.h"
#include "common/text.h"

namespace mirelon {

namespace {

// Bars fill about 600 pixels for a short RNA and are 7 pixels wide for a
// long one.
constexpr double kMinBarWidth = 7;
constexpr double kShortRnaBars = 600;
constexpr double kBarsHeight = 220;
constexpr double kArcsHeight = 150;
constexpr double kZCeiling = 8;

// Where the bars go: one bar per residue, mean |z| from 0 to kZCeiling
// upwards.
struct BarArea {
  Box bars;
  double bar_width = 0;

  double y(double z) const {
    return bars.y + bars.height * (1 - std::min(z, kZCeiling) / kZCeiling);
  }
};

// The z axis with its ticks and title, and the level's tolerance `threshold`
// as a dashed line.
void append_z_axis(std::string* out, const BarArea& area, double threshold) {
  const Box& bars = area.bars;
  append_message(out, "<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"#000\"/>\n",
                 bars.x, bars.y + bars.height, bars.x + bars.width, bars.y + bars.height);
  for (int z = 0; z <= static_cast<int>(kZCeiling); z += 2) {
    append_message(out,
                   "<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"#000\"/>"
                   "<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"end\">%d</text>\n",
                   bars.x - 5, area.y(z), bars.x, area.y(z), bars.x - 8, area.y(z) + 4, z);
  }
  append_message(out,
                 "<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"%s\" "
                 "stroke-dasharray=\"4 3\"/>\n",
                 bars.x, area.y(threshold), bars.x + bars.width, area.y(threshold),
                 std::string(kOutlierColour).c_str());
  const double x_title = bars.x - 40;
  const double y_title = bars.y + bars.height / 2;
  append_message(
      out,
      "<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"middle\" transform=\"rotate(-90 %.1f %.1f)\">"
      "mean |z|</text>\n",
      x_title, y_title, x_title, y_title);
}

// One bar per residue with something observed, red above `threshold`, and
// every tenth residue's label under the bars.
void append_bars(std::string* out, const PredictionIndex& index, const BarArea& area,
                 const std::vector<double>& mean_abs_z, double threshold) {
  const Box& bars = area.bars;
  for (size_t i = 0; i < index.size(); ++i) {
    const double x = bars.x + area.bar_width * static_cast<double>(i);
    if (mean_abs_z[i] >= 0) {
      // Each bar links to its residue's rows of the report's table.
      const double top = area.y(mean_abs_z[i]);
      const std::string label = xml_escape(residue_label(index, i));
      append_message(out,
                     "<a href=\"#%s\"><rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" "
                     "height=\"%.1f\" fill=\"%s\"><title>%s: mean |z| %.2f</title></rect></a>\n",
                     residue_anchor(residue_label(index, i)).c_str(), x + 0.5, top,
                     area.bar_width - 1, bars.y + bars.height - top,
                     mean_abs_z[i] > threshold ? std::string(kOutlierColour).c_str()
                                               : std::string(base_colour(index.base(i))).c_str(),
                     label.c_str(), mean_abs_z[i]);
    }
    if (i % 10 == 0) {
      append_message(
          out, "<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"middle\" font-size=\"10\">%s</text>\n",
          x + area.bar_width / 2, bars.y + bars.height + 14,
          xml_escape(residue_label(index, i)).c_str());
    }
  }
}

// Helices: each pair an arc below the sequence, so that stems show as
// nested bands and a misassigned stretch can be told from a loop.
void append_arcs(std::string* out, const Structure& structure, size_t n, const BarArea& area) {
  const Box& bars = area.bars;
  const double arc_base = bars.y + bars.height + 24;
  *out += "<g fill=\"none\" stroke=\"#4477aa\" stroke-width=\"1\">\n";
  for (size_t i = 0; i < structure.partners.size() && i < n; ++i) {
    const std::optional<size_t>& partner = structure.partners[i];
    if (!partner || *partner <= i || *partner >= n) continue;
    const double x1 = bars.x + area.bar_width * (static_cast<double>(i) + 0.5);
    const double x2 = bars.x + area.bar_width * (static_cast<double>(*partner) + 0.5);
    const double depth = std::min(kArcsHeight, (x2 - x1) / 2);
    append_message(out, "<path d=\"M%.1f %.1fC%.1f %.1f %.1f %.1f %.1f %.1f\"/>\n", x1, arc_base,
                   x1, arc_base + depth * 1.33, x2, arc_base + depth * 1.33, x2, arc_base);
  }
  *out += "</g>\n";
}

}  // namespace

std::string residue_picture(const PredictionIndex& index, const Structure& structure,
                            const std::vector<double>& mean_abs_z, long level,
                            const PictureLegend& legend) {
  const size_t n = index.size();
  BarArea area;
  area.bar_width =
      std::max(kMinBarWidth, kShortRnaBars / static_cast<double>(std::max<size_t>(n, 1)));
  area.bars = {kMarginLeft, kMarginTop, area.bar_width * static_cast<double>(n), kBarsHeight};
  const double width =
      std::max(640.0, kMarginLeft + kMarginRight + area.bar_width * static_cast<double>(n));
  const double height = kMarginTop + kBarsHeight + 30 + kArcsHeight + 20;
  std::string out = svg_start(width, height);
  const double threshold = kLevelNormalQuantiles[static_cast<size_t>(level - kMinLevel)];
  append_z_axis(&out, area, threshold);
  append_bars(&out, index, area, mean_abs_z, threshold);
  append_arcs(&out, structure, n, area);
  std::vector<std::string> lines = legend_lines(
      legend, "Mean |z| per residue, pairs as arcs below",
      format_message("Level %ld: boxes of +/- the tolerance holding %g %% of resonances",
                     legend.level, level_percent(legend.level)));
  lines.push_back(format_message(
      "Red bars: mean |z| above %.2f, the level's tolerance (dashed); no bar: nothing observed",
      threshold));
  append_legend_lines(&out, lines);
  out += "</svg>\n";
  return out;
}

}  // namespace mirelon
