#include "stats/accuracy_report.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "stats/accuracy_sample.h"

namespace mirelon {
namespace {

TEST(AccuracyReportTest, RmseAndCoverage) {
  const AtomAccuracy a = sample_atom("H1'", 100, 1.0, 94);
  EXPECT_DOUBLE_EQ(a.rmse(), 0.1);
  EXPECT_DOUBLE_EQ(a.coverage(5), 94);
  EXPECT_DOUBLE_EQ(a.coverage(0), 0);
  EXPECT_DOUBLE_EQ(a.coverage(12), 0);
  EXPECT_DOUBLE_EQ(AtomAccuracy().rmse(), 0);
  AtomAccuracy sum = a;
  sum.add(sample_atom("C1'", 10, 10.0, 9));
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

}  // namespace
}  // namespace mirelon
