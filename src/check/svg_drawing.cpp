#include "check/svg_drawing.h"

#include "common/messages.h"
#include "common/prediction_levels.h"
#include "common/text.h"

namespace mirelon {

namespace {

constexpr double kLegendLine = 17;
constexpr std::string_view kOtherColour = "#666666";

}  // namespace

std::string_view base_colour(std::string_view base) {
  for (const BaseColour& entry : kBaseColours) {
    if (entry.base == base) return entry.colour;
  }
  return kOtherColour;
}

std::string svg_start(double width, double height) {
  std::string out;
  append_message(&out,
                 "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                 "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\" "
                 "viewBox=\"0 0 %.0f %.0f\" font-family=\"sans-serif\" font-size=\"12\">\n"
                 "<rect x=\"0\" y=\"0\" width=\"%.0f\" height=\"%.0f\" fill=\"#fff\"/>\n",
                 width, height, width, height, width, height);
  return out;
}

void append_legend_lines(std::string* out, const std::vector<std::string>& lines) {
  double y = 20;
  for (const std::string& line : lines) {
    append_message(out, "<text x=\"12\" y=\"%.1f\">%s</text>\n", y, xml_escape(line).c_str());
    y += kLegendLine;
  }
}

std::vector<std::string> legend_lines(const PictureLegend& legend, const std::string& title,
                                      const std::string& level_line) {
  std::vector<std::string> lines = {title, "Structure: " + legend.structure,
                                    "Table: " + legend.table, level_line};
  if (!legend.note.empty()) lines.push_back(legend.note);
  return lines;
}

double level_percent(long level) {
  return 100 * kLevelCoverages[static_cast<size_t>(level - kMinLevel)];
}

const std::string& residue_label(const PredictionIndex& index, size_t position) {
  return index.label(position);
}

std::string residue_anchor(std::string_view label) {
  std::string anchor = "residue-";
  for (const char c : label) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '_' || c == '.';
    anchor += plain ? c : '_';
  }
  return anchor;
}

}  // namespace mirelon
