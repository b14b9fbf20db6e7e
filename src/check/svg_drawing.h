// The SVG text shared by mirelon-check's pictures: margins, colours,
// formatted output, the document start and the legend. Internal to
// mirelon-check's pictures.
#ifndef MIRELON_CHECK_SVG_DRAWING_H_
#define MIRELON_CHECK_SVG_DRAWING_H_

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "check/svg_pictures.h"

namespace mirelon {

// Margins around the plotted area, in pixels.
inline constexpr double kMarginLeft = 72;
inline constexpr double kMarginRight = 24;
inline constexpr double kMarginTop = 118;

// The colour of each base, and of whatever falls outside the tolerance.
struct BaseColour {
  std::string_view base;
  std::string_view colour;
};
inline constexpr std::array<BaseColour, 4> kBaseColours = {{
    {"A", "#1b9e77"},
    {"C", "#7570b3"},
    {"G", "#d95f02"},
    {"U", "#e7298a"},
}};
inline constexpr std::string_view kOutlierColour = "#d00000";

// The colour of `base`; grey for anything but A, C, G and U.
std::string_view base_colour(std::string_view base);

// The XML declaration, the opening svg element of the given size and a
// white background.
std::string svg_start(double width, double height);

// Appends `lines` as the legend at the top left of the picture.
void append_legend_lines(std::string* out, const std::vector<std::string>& lines);

// The legend's lines: `title`, the structure, the table, `level_line`, then
// the note when there is one.
std::vector<std::string> legend_lines(const PictureLegend& legend, const std::string& title,
                                      const std::string& level_line);

// The share of resonances that the tolerance at `level` holds, in per cent.
double level_percent(long level);

// The name of the residue at `position` in every picture: "G12".
const std::string& residue_label(const PredictionIndex& index, size_t position);

// The id of the report's first table row of the residue labelled `label`
// ("G12" -> "residue-G12"), which the residue picture links to; characters
// other than letters, digits, '-', '_' and '.' become '_'.
std::string residue_anchor(std::string_view label);

}  // namespace mirelon

#endif  // MIRELON_CHECK_SVG_DRAWING_H_
