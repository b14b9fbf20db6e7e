#include "stats/multipliers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "common/files.h"
#include "common/numbers.h"
#include "prediction/shift_prediction.h"
#include "prediction/stat_table.h"

namespace mirelon {
namespace {

// Levels (from 1) of some coverages of the help text.
constexpr size_t kLevel50 = 1;
constexpr size_t kLevel90 = 5;
constexpr size_t kLevel95 = 6;
constexpr size_t kLevel99 = 8;
constexpr size_t kLevel999 = 11;

// The published two-sided t-table value behind the factor of row n=`count`.
double t_of_row(const std::vector<MultiplierValues>& rows, long count, size_t level) {
  return rows[static_cast<size_t>(count - kMinObservations)].factors[level - 1] /
         std::sqrt(1.0 + 1.0 / static_cast<double>(count));
}

TEST(MultipliersTest, RowsHoldPublishedTableValues) {
  const std::vector<MultiplierValues> rows = multiplier_rows();
  ASSERT_EQ(rows.size(), 121u);
  EXPECT_EQ(rows.front().label, "n=2");
  EXPECT_EQ(rows[119].label, "n=121");
  EXPECT_EQ(rows.back().label, "n>121");
  EXPECT_NEAR(t_of_row(rows, 2, kLevel95), 12.706, 0.0005);        // t(0.975, 1)
  EXPECT_NEAR(t_of_row(rows, 2, kLevel50), 1.000, 0.0005);         // t(0.75, 1)
  EXPECT_NEAR(t_of_row(rows, 6, kLevel90), 2.015, 0.0005);         // t(0.95, 5)
  EXPECT_NEAR(t_of_row(rows, 11, kLevel95), 2.228, 0.0005);        // t(0.975, 10)
  EXPECT_NEAR(t_of_row(rows, 21, kLevel99), 2.845, 0.0005);        // t(0.995, 20)
  EXPECT_NEAR(rows.back().factors[kLevel95 - 1], 1.960, 0.0005);   // z(0.975)
  EXPECT_NEAR(rows.back().factors[kLevel90 - 1], 1.645, 0.0005);   // z(0.95)
  EXPECT_NEAR(rows.back().factors[kLevel999 - 1], 3.291, 0.0005);  // z(0.9995)
  // The normal quantiles that the other tools divide tolerances by are
  // the large-count row's factors.
  for (size_t l = 0; l < kLevelCount; ++l) {
    EXPECT_NEAR(rows.back().factors[l], kLevelNormalQuantiles[l], 1e-9) << l + 1;
  }
  // Wider with every level, narrower with every count, and above z.
  for (size_t r = 0; r < rows.size(); ++r) {
    for (size_t l = 1; l < kLevelCoverages.size(); ++l) {
      EXPECT_LT(rows[r].factors[l - 1], rows[r].factors[l]) << rows[r].label;
      if (r > 0) {
        EXPECT_LT(rows[r].factors[l], rows[r - 1].factors[l]) << rows[r].label;
      }
    }
  }
}

TEST(MultipliersTest, SectionIsReadByTheProgramInTheRightRowAndColumn) {
  const std::string section = format_multiplier_section();
  StatTable table;
  std::string error;
  ASSERT_TRUE(parse_stat_table(":\n:\n" + section, "section", &table, &error)) << error;
  ASSERT_EQ(table.multipliers.size(), 121u);

  // Eleven observations of an H8 shift with spread 1, at level 6 (95 %):
  // the tolerance is t(0.975, 10) * sqrt(1 + 1/11).
  ResidueIdRecord residue = {"1", "1", "0", "o", "0", "o", "A", "o", "0", "o"};
  const std::string key = context_key(residue);
  table.context = {{"H8", "A", key, "11", "8.0", "1"}};
  table.base = {{"A", "H2", "7.6", "1"}};
  std::vector<ShiftEntry> entries;
  ASSERT_TRUE(predict_shifts({residue}, table, kLevel95, &entries, &error)) << error;
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_NEAR(strtod_text(entries[0].tolerance), 2.228 * std::sqrt(1.0 + 1.0 / 11), 0.0005);
  EXPECT_NEAR(strtod_text(entries[1].tolerance), 1.960, 0.0005);  // base statistics: z
}

TEST(MultipliersTest, ExampleTableEndsWithWhatTheToolWrites) {
  std::string example;
  ASSERT_TRUE(read_input_file(MIRELON_EXAMPLES "/statfile.tab", &example));
  std::string tool_output;
  std::FILE* tool = popen("\"" MIRELON_MULTIPLIERS_TOOL "\"", "r");
  ASSERT_NE(tool, nullptr);
  char buffer[4096];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, tool)) > 0) tool_output.append(buffer, got);
  ASSERT_EQ(pclose(tool), 0);
  EXPECT_EQ(tool_output, format_multiplier_section());

  // Section 3 of the example, from the line after the second terminator.
  size_t start = 0;
  for (int terminators = 0; terminators < 2;) {
    ASSERT_LT(start, example.size());
    if (example[start] == ':') ++terminators;
    const size_t end = example.find('\n', start);
    ASSERT_NE(end, std::string::npos);
    start = end + 1;
  }
  EXPECT_EQ(example.substr(start), tool_output);
}

}  // namespace
}  // namespace mirelon
