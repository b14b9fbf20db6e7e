#include "stats/accuracy_report.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace mirelon {
namespace {

AtomAccuracy atom(const std::string& name, size_t predicted, double squared_error,
                  size_t inside_each_level) {
  AtomAccuracy a;
  a.atom = name;
  a.observed = predicted + 1;
  a.predicted = predicted;
  a.from_context = predicted / 2;
  a.squared_error = squared_error;
  a.inside.fill(inside_each_level);
  return a;
}

AccuracyReport sample_report() {
  AccuracyReport report;
  report.title = "Accuracy";
  report.description = {"Some words."};
  report.nominal = {50, 60, 70, 80, 90, 95, 98, 99, 99.5, 99.8, 99.9};
  report.context.atoms = {atom("H1'", 100, 1.0, 94), atom("H5\"", 50, 2.0, 45),
                          atom("C1'", 10, 10.0, 9)};
  report.baseline.atoms = {atom("H1'", 100, 4.0, 96), atom("H5\"", 50, 1.0, 50),
                           atom("C1'", 10, 40.0, 10)};
  for (const AtomAccuracy& a : report.context.atoms) report.context.total.add(a);
  for (const AtomAccuracy& a : report.baseline.atoms) report.baseline.total.add(a);
  report.target_atoms = {"H1'", "H5\"", "P"};
  return report;
}

TEST(AccuracyReportTest, RmseAndCoverage) {
  const AtomAccuracy a = atom("H1'", 100, 1.0, 94);
  EXPECT_DOUBLE_EQ(a.rmse(), 0.1);
  EXPECT_DOUBLE_EQ(a.coverage(5), 94);
  EXPECT_DOUBLE_EQ(a.coverage(0), 0);
  EXPECT_DOUBLE_EQ(a.coverage(12), 0);
  EXPECT_DOUBLE_EQ(AtomAccuracy().rmse(), 0);
  AtomAccuracy sum = a;
  sum.add(atom("C1'", 10, 10.0, 9));
  EXPECT_EQ(sum.predicted, 110u);
  EXPECT_EQ(sum.inside[10], 103u);
  EXPECT_DOUBLE_EQ(sum.rmse(), std::sqrt(11.0 / 110));
}

TEST(AccuracyReportTest, MarkdownStatesTargetsWithTheirMargins) {
  const std::string md = format_accuracy_markdown(sample_report());
  // H1': sqrt(1/100) = 0.1 against sqrt(4/100) = 0.2.
  EXPECT_NE(md.find("| RMSE `H1'` below base only | 0.100 ppm | 0.200 ppm | met (0.100 ppm, "
                    "50.0 % lower) |"),
            std::string::npos)
      << md;
  // H5": sqrt(2/50) = 0.2 against sqrt(1/50) = 0.141.
  EXPECT_NE(md.find("| RMSE `H5\"` below base only | 0.200 ppm | 0.141 ppm | missed by 0.059 ppm "
                    "(41.4 %) |"),
            std::string::npos)
      << md;
  EXPECT_NE(md.find("| RMSE `P` below base only | - | - | no observations |"), std::string::npos);
  // Pooled coverage (94 + 45 + 9) / 160 = 92.5 % at every level.
  EXPECT_NE(md.find("| coverage at level 5 within 3 points of 90 % | 92.5 % | 97.5 % | met (2.5 "
                    "points off) |"),
            std::string::npos)
      << md;
  EXPECT_NE(md.find("| coverage at level 8 within 3 points of 99 % | 92.5 % | 97.5 % | missed by "
                    "3.5 points (6.5 off, 3 allowed) |"),
            std::string::npos)
      << md;
  EXPECT_NE(md.find("| 9 | 99.5 % | 92.5 % | 97.5 % |"), std::string::npos);
}

TEST(AccuracyReportTest, SvgIsWellFormedAndEscapesAtomNames) {
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
