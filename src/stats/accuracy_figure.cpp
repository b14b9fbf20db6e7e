#include "stats/accuracy_figure.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "common/messages.h"
#include "common/nuclei.h"
#include "common/text.h"

namespace mirelon {
namespace {

// Geometry of one plot panel in the SVG figure.
struct Panel {
  double left, top, width, height;
  double y_min, y_max;
  double y(double value) const { return top + height * (y_max - value) / (y_max - y_min); }
};

constexpr const char* kContextColour = "#1f5fa8";
constexpr const char* kBaselineColour = "#d9822b";

// Grid lines and labels every `step`, the labels with `decimals` decimals.
void svg_axis(const Panel& panel, double step, int decimals, std::string* svg) {
  for (double v = panel.y_min; v <= panel.y_max + 1e-9; v += step) {
    const double y = panel.y(v);
    *svg += format_message(
        "<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"#dddddd\"/>\n", panel.left,
        y, panel.left + panel.width, y);
    *svg += format_message(
        "<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"end\" font-size=\"11\">%s</text>\n",
        panel.left - 6, y + 4, format_message("%.*f", decimals, v).c_str());
  }
  *svg += format_message(
      "<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" fill=\"none\" "
      "stroke=\"#444444\"/>\n",
      panel.left, panel.top, panel.width, panel.height);
}

void svg_title(double x, double y, const std::string& text, std::string* svg) {
  *svg +=
      format_message("<text x=\"%.1f\" y=\"%.1f\" font-size=\"14\" font-weight=\"bold\">", x, y) +
      xml_escape(text) + "</text>\n";
}

void svg_legend(double x, double y, std::string* svg) {
  *svg += format_message("<rect x=\"%.1f\" y=\"%.1f\" width=\"12\" height=\"12\" fill=\"%s\"/>\n",
                         x, y - 10, kContextColour);
  *svg += format_message(
      "<text x=\"%.1f\" y=\"%.1f\" font-size=\"12\">with context statistics</text>\n", x + 18, y);
  *svg += format_message("<rect x=\"%.1f\" y=\"%.1f\" width=\"12\" height=\"12\" fill=\"%s\"/>\n",
                         x + 190, y - 10, kBaselineColour);
  *svg += format_message(
      "<text x=\"%.1f\" y=\"%.1f\" font-size=\"12\">base statistics only</text>\n", x + 208, y);
}

void svg_coverage(const AccuracyReport& report, const Panel& panel, std::string* svg) {
  svg_title(panel.left, panel.top - 12, "Observed shifts inside the predicted interval (%)", svg);
  svg_axis(panel, 10, 0, svg);
  const double step = panel.width / static_cast<double>(kLevelCount - 1);
  auto x = [&](size_t level) { return panel.left + step * static_cast<double>(level - 1); };
  // Nominal coverage with the band of the calibration target around it.
  std::string band_top, band_bottom, nominal;
  for (size_t level = 1; level <= kLevelCount; ++level) {
    const double n = report.nominal[level - 1];
    band_top += format_message("%.1f,%.1f ", x(level),
                               panel.y(std::min(n + report.coverage_tolerance, panel.y_max)));
    nominal += format_message("%.1f,%.1f ", x(level), panel.y(n));
  }
  for (size_t level = kLevelCount; level >= 1; --level) {
    band_bottom += format_message(
        "%.1f,%.1f ", x(level),
        panel.y(std::max(report.nominal[level - 1] - report.coverage_tolerance, panel.y_min)));
  }
  *svg += "<polygon points=\"" + band_top + band_bottom + "\" fill=\"#eeeeee\"/>\n";
  *svg += "<polyline points=\"" + nominal +
          "\" fill=\"none\" stroke=\"#888888\" stroke-dasharray=\"4 3\"/>\n";
  for (const auto& [model, colour] :
       {std::pair{&report.baseline, kBaselineColour}, std::pair{&report.context, kContextColour}}) {
    std::string points;
    for (size_t level = 1; level <= kLevelCount; ++level) {
      points += format_message("%.1f,%.1f ", x(level), panel.y(model->total.coverage(level)));
    }
    *svg += "<polyline points=\"" + points + "\" fill=\"none\" stroke=\"" + colour +
            "\" stroke-width=\"2\"/>\n";
    for (size_t level = 1; level <= kLevelCount; ++level) {
      *svg += format_message("<circle cx=\"%.1f\" cy=\"%.1f\" r=\"3\" fill=\"%s\"/>\n", x(level),
                             panel.y(model->total.coverage(level)), colour);
    }
  }
  for (size_t level = 1; level <= kLevelCount; ++level) {
    const double n = report.nominal[level - 1];
    *svg += format_message(
        "<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"middle\" font-size=\"10\">%s</text>\n", x(level),
        panel.top + panel.height + 14,
        (n == std::floor(n) ? format_message("%.0f", n) : format_message("%.1f", n)).c_str());
  }
  *svg += format_message(
      "<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"middle\" font-size=\"11\">nominal "
      "coverage of the prediction level (%%); dashed: nominal, grey band: within %.0f "
      "points</text>\n",
      panel.left + panel.width / 2, panel.top + panel.height + 30, report.coverage_tolerance);
}

void svg_rmse(const AccuracyReport& report, const std::vector<std::string>& atoms,
              const Panel& frame, const std::string& title, std::string* svg) {
  double largest = 0;
  for (const std::string& atom : atoms) {
    for (const ModelAccuracy* model : {&report.context, &report.baseline}) {
      const AtomAccuracy* a = find_atom(*model, atom);
      if (a != nullptr) largest = std::max(largest, a->rmse());
    }
  }
  // A scale of 1, 2 or 5 times a power of ten per grid line, five lines or fewer.
  double step = 1;
  if (largest > 0) {
    const double raw = largest / 5;
    const double power = std::pow(10, std::floor(std::log10(raw)));
    step = raw <= power       ? power
           : raw <= 2 * power ? 2 * power
           : raw <= 5 * power ? 5 * power
                              : 10 * power;
  }
  Panel panel = frame;
  panel.y_min = 0;
  panel.y_max = step * std::ceil(largest / step);
  if (panel.y_max <= 0) panel.y_max = step;
  svg_title(panel.left, panel.top - 12, title, svg);
  svg_axis(panel, step, step < 0.1 ? 2 : step < 1 ? 1 : 0, svg);
  const double slot = atoms.empty() ? panel.width : panel.width / static_cast<double>(atoms.size());
  const double bar = slot * 0.35;
  for (size_t i = 0; i < atoms.size(); ++i) {
    const double centre = panel.left + slot * (static_cast<double>(i) + 0.5);
    const AtomAccuracy* context = find_atom(report.context, atoms[i]);
    const AtomAccuracy* baseline = find_atom(report.baseline, atoms[i]);
    const struct {
      const AtomAccuracy* accuracy;
      const char* colour;
      double x;
    } bars[] = {{context, kContextColour, centre - bar}, {baseline, kBaselineColour, centre}};
    for (const auto& b : bars) {
      if (b.accuracy == nullptr) continue;
      const double y = panel.y(b.accuracy->rmse());
      *svg += format_message(
          "<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" fill=\"%s\"/>\n", b.x, y, bar,
          panel.top + panel.height - y, b.colour);
    }
    *svg += format_message("<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"middle\" font-size=\"10\">",
                           centre, panel.top + panel.height + 14) +
            xml_escape(atoms[i]) + "</text>\n";
  }
}

}  // namespace

std::string format_accuracy_svg(const AccuracyReport& report) {
  std::vector<std::string> hydrogens, heavy;
  for (const AtomAccuracy& a : report.context.atoms) {
    if (a.predicted == 0) continue;
    (atom_nucleus(a.atom) == kProton ? hydrogens : heavy).push_back(a.atom);
  }
  constexpr double kWidth = 900;
  constexpr double kHeight = 1040;
  std::string svg = format_message(
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\" "
      "viewBox=\"0 0 %.0f %.0f\" font-family=\"sans-serif\">\n",
      kWidth, kHeight, kWidth, kHeight);
  svg += format_message("<rect width=\"%.0f\" height=\"%.0f\" fill=\"white\"/>\n", kWidth, kHeight);
  svg_title(20, 26, report.title, &svg);
  svg_legend(20, 50, &svg);

  double lowest = 50;
  for (const ModelAccuracy* model : {&report.context, &report.baseline}) {
    for (size_t level = 1; level <= kLevelCount; ++level) {
      lowest = std::min(lowest, model->total.coverage(level));
    }
  }
  const Panel coverage{70, 90, 780, 300, 10 * std::floor(lowest / 10), 100};
  svg_coverage(report, coverage, &svg);
  svg_rmse(report, hydrogens, Panel{70, 470, 780, 220, 0, 1}, "RMSE per atom, hydrogens (ppm)",
           &svg);
  svg_rmse(report, heavy, Panel{70, 780, 780, 220, 0, 1},
           "RMSE per atom, carbon, nitrogen and phosphorus (ppm)", &svg);
  svg += "</svg>\n";
  return svg;
}

}  // namespace mirelon
