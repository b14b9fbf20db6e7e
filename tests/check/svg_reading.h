// A spectrum picture read back from its own SVG text, as a browser or the
// report's script sees it: the plot area, the regions, the marks, the
// lines and the labels with their boxes from the printed coordinates and
// the font's advance widths; and the overlaps of labels with marks, line
// ends and each other at the zooms where they are shown.
#ifndef MIRELON_TESTS_CHECK_SVG_READING_H_
#define MIRELON_TESTS_CHECK_SVG_READING_H_

#include <cmath>
#include <cstdlib>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "check/label_placement.h"

namespace mirelon {

// The labels' font, DejaVu Sans Mono at 10 px: advance 1233/2048 em, ascent
// and descent of its glyphs within 0.76 and 0.24 em.
inline constexpr double kAdvance = 10 * 1233.0 / 2048;
inline constexpr double kAscent = 7.6;
inline constexpr double kDescent = 2.4;

struct SvgElement {
  std::map<std::string, std::string> attributes;
  std::string title;
  std::string text;

  double number(const std::string& name) const {
    const auto found = attributes.find(name);
    return found == attributes.end() ? NAN : std::strtod(found->second.c_str(), nullptr);
  }
  std::string get(const std::string& name) const {
    const auto found = attributes.find(name);
    return found == attributes.end() ? "" : found->second;
  }
};

struct SvgPicture {
  Box area;
  std::vector<double> ppm;  // left, right, top, bottom
  std::vector<SvgElement> regions;
  std::vector<SvgElement> marks;
  std::vector<SvgElement> joins;
  std::vector<SvgElement> leaders;
  std::vector<SvgElement> labels;
};

inline std::vector<double> numbers_of(const std::string& text) {
  std::vector<double> out;
  const char* p = text.c_str();
  char* end = nullptr;
  for (double v = std::strtod(p, &end); end != p; v = std::strtod(p, &end)) {
    out.push_back(v);
    p = end;
  }
  return out;
}

inline std::string unescape(std::string text) {
  const std::pair<const char*, const char*> entities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
  for (const auto& [entity, plain] : entities) {
    for (size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1)) {
      text.replace(at, std::string(entity).size(), plain);
    }
  }
  return text;
}

// Every element named `tag` whose attributes hold `having`, with its title
// and text when it has them.
inline std::vector<SvgElement> elements(const std::string& svg, const std::string& tag,
                                        const std::string& having) {
  std::vector<SvgElement> out;
  const std::regex element("<" + tag + " ([^>]*?)(/>|>(<title>([^<]*)</title>)?([^<]*))");
  const std::regex attribute("([\\w:-]+)=\"([^\"]*)\"");
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), element);
       it != std::sregex_iterator(); ++it) {
    const std::string attributes = (*it)[1];
    if (attributes.find(having) == std::string::npos) continue;
    SvgElement e;
    for (auto a = std::sregex_iterator(attributes.begin(), attributes.end(), attribute);
         a != std::sregex_iterator(); ++a) {
      e.attributes[(*a)[1]] = unescape((*a)[2]);
    }
    e.title = unescape((*it)[4]);
    e.text = unescape((*it)[5]);
    out.push_back(e);
  }
  return out;
}

inline SvgPicture read_svg_picture(const std::string& svg) {
  SvgPicture picture;
  const std::vector<SvgElement> plot = elements(svg, "g", "class=\"plot\"");
  if (plot.size() == 1) {
    const std::vector<double> area = numbers_of(plot[0].get("data-area"));
    if (area.size() == 4) picture.area = {area[0], area[1], area[2], area[3]};
    picture.ppm = numbers_of(plot[0].get("data-ppm"));
  }
  picture.regions = elements(svg, "ellipse", "");
  picture.marks = elements(svg, "(?:circle|path)", "class=\"mark\"");
  picture.joins = elements(svg, "line", "class=\"join\"");
  picture.leaders = elements(svg, "line", "class=\"leader\"");
  picture.labels = elements(svg, "text", "class=\"label\"");
  return picture;
}

// Something pinned to a peak at zoom 1 and shown from `zoom` on.
struct Pinned {
  PinnedBox box;
  double zoom = 1;
  std::string name;
};

// A mark's box from its shape: a circle with its stroke, or a cross
// "Mx y h8 Mx y v8" with its stroke.
inline Pinned mark_box(const SvgElement& mark) {
  const double x = mark.number("data-x");
  const double y = mark.number("data-y");
  double half_stroke = mark.get("stroke").empty() ? 0 : 0.5;
  if (!std::isnan(mark.number("stroke-width"))) half_stroke = mark.number("stroke-width") / 2;
  Box box;
  if (mark.attributes.count("r") != 0) {
    const double r = mark.number("r") + half_stroke;
    box = {mark.number("cx") - r, mark.number("cy") - r, 2 * r, 2 * r};
  } else {
    const std::vector<double> d =
        numbers_of(std::regex_replace(mark.get("d"), std::regex("[Mhv]"), " "));
    // M x1 y1 h L M x2 y2 v L
    box = {d[0] - half_stroke, d[4] - half_stroke, d[2] + 2 * half_stroke, d[5] + 2 * half_stroke};
  }
  return {{x, y, {box.x - x, box.y - y, box.width, box.height}}, 1, "mark " + mark.title};
}

inline Pinned label_box(const SvgElement& label) {
  const double px = label.number("data-x");
  const double py = label.number("data-y");
  const double x = label.number("x");
  const double y = label.number("y");
  const double width = static_cast<double>(label.text.size()) * kAdvance;
  return {{px, py, {x - px, y - kAscent - py, width, kAscent + kDescent}},
          label.number("data-zoom"),
          "label " + label.text};
}

// The first overlap of a label with a mark, a line end or a shown label at
// zooms 1, 2 and 4 and every twentieth between them, or "" when there is
// none; and a label that leaves the plot area at a zoom where it is shown.
inline std::string first_overlap(const SvgPicture& picture) {
  std::vector<Pinned> obstacles;
  for (const SvgElement& mark : picture.marks) obstacles.push_back(mark_box(mark));
  for (const SvgElement& line : picture.joins) {
    for (const char* end : {"1", "2"}) {
      const double x = line.number(std::string("x") + end);
      const double y = line.number(std::string("y") + end);
      obstacles.push_back({{x, y, {0, 0, 0, 0}}, 1, "line end"});
    }
  }
  std::vector<Pinned> labels;
  for (const SvgElement& label : picture.labels) labels.push_back(label_box(label));
  const auto overlap = [](const Pinned& a, const Pinned& b, double z) {
    const Box p{z * a.box.x + a.box.extent.x, z * a.box.y + a.box.extent.y, a.box.extent.width,
                a.box.extent.height};
    const Box q{z * b.box.x + b.box.extent.x, z * b.box.y + b.box.extent.y, b.box.extent.width,
                b.box.extent.height};
    constexpr double kSlack = 1e-6;
    return p.x + kSlack < q.x + q.width && q.x + kSlack < p.x + p.width &&
           p.y + kSlack < q.y + q.height && q.y + kSlack < p.y + p.height;
  };
  for (int step = 0; step <= 60; ++step) {
    const double z = 1 + step * 0.05;
    for (size_t i = 0; i < labels.size(); ++i) {
      if (labels[i].zoom > z + 1e-9) continue;
      const Box at = box_at_zoom(labels[i].box, z);
      const Box& area = picture.area;
      if (at.x < area.x - 1e-6 || at.y < area.y - 1e-6 ||
          at.x + at.width > area.x + area.width + 1e-6 ||
          at.y + at.height > area.y + area.height + 1e-6) {
        return labels[i].name + " leaves the plot at zoom " + std::to_string(z);
      }
      for (const Pinned& obstacle : obstacles) {
        if (overlap(labels[i], obstacle, z)) {
          return labels[i].name + " over " + obstacle.name + " at zoom " + std::to_string(z);
        }
      }
      for (size_t j = i + 1; j < labels.size(); ++j) {
        if (labels[j].zoom <= z + 1e-9 && overlap(labels[i], labels[j], z)) {
          return labels[i].name + " over " + labels[j].name + " at zoom " + std::to_string(z);
        }
      }
    }
  }
  return "";
}

}  // namespace mirelon

#endif  // MIRELON_TESTS_CHECK_SVG_READING_H_
