#include "stats/accuracy_figure.h"

#include <gtest/gtest.h>

#include <string>

#include "stats/accuracy_sample.h"

namespace mirelon {
namespace {

TEST(AccuracyFigureTest, SvgIsWellFormedAndEscapesAtomNames) {
  const std::string svg = format_accuracy_svg(sample_report());
  EXPECT_EQ(svg.rfind("<svg xmlns=\"http://www.w3.org/2000/svg\"", 0), 0u);
  EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
  EXPECT_NE(svg.find(">H5&quot;</text>"), std::string::npos);
  EXPECT_NE(svg.find(">H1&apos;</text>"), std::string::npos);
  EXPECT_EQ(svg.find("H5\"<"), std::string::npos);
  EXPECT_EQ(svg.find("nan"), std::string::npos);
}

}  // namespace
}  // namespace mirelon
