#include "stats/stats_builder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "stats/shift_statistics.h"

namespace mirelon {
namespace {

TEST(ShiftStatisticsTest, SummaryByHand) {
  // 1, 2, 4, 7: mean 3.5, squares 6.25 + 2.25 + 0.25 + 12.25 = 21, sd sqrt(7);
  // median 3; deviations 2, 1, 1, 4 -> median 1.5.
  const ShiftSummary s = summarize({7, 1, 4, 2});
  EXPECT_EQ(s.count, 4u);
  EXPECT_DOUBLE_EQ(s.mean, 3.5);
  EXPECT_DOUBLE_EQ(s.sd, std::sqrt(7.0));
  EXPECT_DOUBLE_EQ(s.minimum, 1);
  EXPECT_DOUBLE_EQ(s.maximum, 7);
  EXPECT_DOUBLE_EQ(s.median, 3);
  EXPECT_DOUBLE_EQ(s.mad, 1.5 * kMadToSd);

  const ShiftSummary one = summarize({5.5});
  EXPECT_DOUBLE_EQ(one.mean, 5.5);
  EXPECT_DOUBLE_EQ(one.sd, 0);
  EXPECT_DOUBLE_EQ(one.median, 5.5);
  EXPECT_EQ(summarize({}).count, 0u);

  // The same values in another order give the same bits.
  const ShiftSummary a = summarize({92.71, 91.3, 93.05, 90.99, 92.2});
  const ShiftSummary b = summarize({90.99, 93.05, 92.2, 92.71, 91.3});
  EXPECT_EQ(a.mean, b.mean);
  EXPECT_EQ(a.sd, b.sd);
}

TEST(ShiftStatisticsTest, OutlierLimits) {
  // Median 8.1, absolute deviations 0.1 0 0.1 0 3.9 -> median 0.1.
  const std::vector<double> values = {8.0, 8.1, 8.2, 8.1, 12.0};
  const ShiftLimits five = outlier_limits(values, 5);
  EXPECT_NEAR(five.low, 8.1 - 5 * 0.1 * kMadToSd, 1e-12);
  EXPECT_NEAR(five.high, 8.1 + 5 * 0.1 * kMadToSd, 1e-12);
  EXPECT_FALSE(five.contains(12.0));
  EXPECT_TRUE(five.contains(8.0));
  EXPECT_TRUE(five.contains(8.1 + 5 * 0.1 * kMadToSd - 1e-9));  // the limits are inside
  EXPECT_TRUE(outlier_limits(values, 0).contains(1e9));         // no filter
  EXPECT_TRUE(outlier_limits({3, 3, 3, 9}, 5).contains(9));     // no scale: nothing removed
}

int test_rank(std::string_view base, std::string_view atom) {
  const char* names[] = {"H2", "H8", "H5\"", "C8"};
  if (base != "A" && base != "G") return -1;
  for (int i = 0; i < 4; ++i) {
    if (atom == names[i]) return i;
  }
  return -1;
}

std::vector<Observation> sample() {
  return {
      {0, "A", "0oGwAwCo", "H8", 8.0},   {1, "A", "0oGwAwCo", "H8", 8.2},
      {1, "A", "GwGwAwCo", "H8", 8.1},   {2, "A", "GwGwAwCo", "H8", 8.1},
      {2, "A", "GwGwAwCo", "H8", 12.0},  // an outlier of A H8
      {0, "A", "0oGwAwCo", "C8", 139.5}, {0, "A", "0oGwAwCo", "C8", 140.5},
      {0, "A", "0oGwAwCo", "H5\"", 4.1},  // seen once in its key, once in its base
      {0, "A", "0oGwAwCo", "N9", 170},    // not in the catalogue: not used
      {1, "G", "0o0oGwAw", "H8", 7.7},   {2, "G", "0o0oGwAw", "H8", 7.9},
      {1, "G", "#o0oGwAw", "H8", 7.7},   {2, "G", "#o0oGwAw", "H8", 7.9},  // no record
  };
}

TEST(StatsBuilderTest, RecordsByHand) {
  const StatisticsTable table = build_statistics(sample(), {5, 1}, test_rank);
  EXPECT_EQ(table.observations, 12u);
  EXPECT_EQ(table.removed, 1u);
  // Context records by base, catalogue order, key; the H5" cell has one
  // observation only and gets no record.
  ASSERT_EQ(table.context.size(), 4u);
  const ContextStatistic& first = table.context[0];
  EXPECT_EQ(first.atom, "H8");
  EXPECT_EQ(first.key, "0oGwAwCo");
  EXPECT_EQ(first.summary.count, 2u);
  EXPECT_DOUBLE_EQ(first.summary.mean, 8.1);
  EXPECT_NEAR(first.summary.sd, std::sqrt(0.02), 1e-12);
  EXPECT_EQ(first.rnas, 2u);
  EXPECT_EQ(first.removed, 0u);
  // Base mean of A H8 after the filter: (8.0 + 8.2 + 8.1 + 8.1) / 4 = 8.1.
  EXPECT_NEAR(first.base_offset, 0, 1e-12);
  const ContextStatistic& second = table.context[1];
  EXPECT_EQ(second.key, "GwGwAwCo");
  EXPECT_EQ(second.summary.count, 2u);  // 12.0 was left out
  EXPECT_EQ(second.removed, 1u);
  EXPECT_EQ(second.rnas, 2u);
  EXPECT_DOUBLE_EQ(second.summary.sd, 0);
  EXPECT_EQ(table.context[2].atom, "C8");
  EXPECT_EQ(table.context[2].rnas, 1u);
  EXPECT_EQ(table.context[3].base, "G");

  ASSERT_EQ(table.base.size(), 3u);  // A H8, A C8, G H8; A H5" has one observation
  EXPECT_EQ(table.base[0].atom, "H8");
  EXPECT_EQ(table.base[0].summary.count, 4u);
  EXPECT_EQ(table.base[0].removed, 1u);
  EXPECT_EQ(table.base[1].atom, "C8");
  EXPECT_DOUBLE_EQ(table.base[1].summary.median, 140);
  EXPECT_EQ(table.base[2].base, "G");

  // Without the filter the outlier stays.
  const StatisticsTable open = build_statistics(sample(), {0, 1}, test_rank);
  EXPECT_EQ(open.removed, 0u);
  EXPECT_EQ(open.base[0].summary.count, 5u);
  EXPECT_EQ(open.context[1].summary.count, 3u);

  // Two RNAs per context record: the C8 cell of one RNA gets none, its base
  // statistics stay.
  const StatisticsTable two = build_statistics(sample(), {5, 2}, test_rank);
  ASSERT_EQ(two.context.size(), 3u);
  EXPECT_EQ(two.context[2].base, "G");
  EXPECT_EQ(two.base.size(), 3u);
}

TEST(StatsBuilderTest, TableText) {
  const StatisticsTable table = build_statistics(sample(), {5, 1}, test_rank);
  const std::string text = format_statistics_table(table, {"Test table\n", "k = 5\r\nno line"},
                                                   "2 1 2 3 4 5 6 7 8 9 10 11\n:\n");
  const std::string records =
      "H8    A 0oGwAwCo     2    8.1000  0.1414    8.0000    8.2000    8.1000  0.1483   2   0 "
      "  0.0000\n"
      "H8    A GwGwAwCo     2    8.1000  0.0000    8.1000    8.1000    8.1000  0.0000   2   1 "
      "  0.0000\n"
      "C8    A 0oGwAwCo     2  140.0000  0.7071  139.5000  140.5000  140.0000  0.7413   1   0 "
      "  0.0000\n"
      "H8    G 0o0oGwAw     2    7.8000  0.1414    7.7000    7.9000    7.8000  0.1483   2   0 "
      "  0.0000\n"
      ":\n"
      "A H8        4    8.0000    8.2000    8.1000    8.1000  0.0816\n"
      "A C8        2  139.5000  140.5000  140.0000  140.0000  0.7071\n"
      "G H8        4    7.7000    7.9000    7.8000    7.8000  0.1155\n"
      ":\n"
      "2 1 2 3 4 5 6 7 8 9 10 11\n:\n";
  ASSERT_GE(text.size(), records.size());
  EXPECT_EQ(text.substr(text.size() - records.size()), records);
  EXPECT_EQ(text.substr(0, 39), "# Test table\n#\n# k = 5\n# no line\n#\n# Se");
  // Every line before the records is a comment.
  const std::string head = text.substr(0, text.size() - records.size());
  size_t start = 0;
  while (start < head.size()) {
    EXPECT_EQ(head[start], '#') << head.substr(start, 40);
    start = head.find('\n', start) + 1;
  }
}

TEST(StatsBuilderTest, BaseStatisticsFromCsv) {
  std::vector<BaseStatistic> records;
  std::string error;
  ASSERT_TRUE(parse_base_statistics_csv(
      "comp_id,atom_id,count,min,max,avg,std,num_outliers\r\n"
      "A,C8,1252,123.676,146.887,139.708,2.014,42\r\nA,H5'',843,3.203,4.69,4.162,0.203,18\r\n"
      "A,N9,10,1,2,1.5,0.1,0\r\nA,H2,1,7.5,7.5,7.5,0,0\r\nU,H5,10,5,6,5.5,0.2,0\r\n",
      "b.csv", test_rank, &records, &error))
      << error;
  ASSERT_EQ(records.size(), 2u);  // N9 and U not in the catalogue, H2 seen once
  EXPECT_EQ(records[0].atom, "H5\"");
  EXPECT_EQ(records[0].summary.count, 843u);
  EXPECT_DOUBLE_EQ(records[0].summary.mean, 4.162);
  EXPECT_DOUBLE_EQ(records[0].summary.sd, 0.203);
  EXPECT_FALSE(records[0].has_median);
  EXPECT_EQ(records[1].atom, "C8");

  StatisticsTable table;
  table.base = records;
  EXPECT_NE(format_statistics_table(table, {}, ":\n")
                .find("\nA H5\"     843    3.2030    4.6900         .    4.1620  0.2030\n"),
            std::string::npos);

  records.clear();
  EXPECT_FALSE(parse_base_statistics_csv("atom,count\n", "b.csv", test_rank, &records, &error));
  EXPECT_EQ(error, "b.csv:1: header is not comp_id,atom_id,count,min,max,avg,std");
  EXPECT_FALSE(parse_base_statistics_csv("comp_id,atom_id,count,min,max,avg,std\nA,C8,12,x,1,1,1\n",
                                         "b.csv", test_rank, &records, &error));
  EXPECT_EQ(error, "b.csv:2: row is not comp_id,atom_id,count,min,max,avg,std");
  // A row that is used must hold finite numbers and a spread not below 0;
  // a row that is skipped is not looked at.
  const std::string head = "comp_id,atom_id,count,min,max,avg,std\n";
  const std::pair<const char*, const char*> rows[] = {
      {"A,C8,12,1,2,nan,1\n", "b.csv:2: avg 'nan' is not a finite number"},
      {"A,C8,12,1,inf,1.5,1\n", "b.csv:2: max 'inf' is not a finite number"},
      {"A,C8,12,1,2,1.5,-0.1\n", "b.csv:2: std '-0.1' is negative"},
      {"A,C8,12,1,2,1.5,-inf\n", "b.csv:2: std '-inf' is not a finite number"},
      {"A,C8,1,1,2,nan,nan\nA,C8,2,-inf,2,1.5,0\n", "b.csv:3: min '-inf' is not a finite number"},
  };
  for (const auto& [row, message] : rows) {
    EXPECT_FALSE(parse_base_statistics_csv(head + row, "b.csv", test_rank, &records, &error))
        << row;
    EXPECT_EQ(error, message) << row;
  }
  // Shifts themselves may be negative (31P); a spread of -0 is 0.
  EXPECT_TRUE(parse_base_statistics_csv(
      head + "A,C8,12,1,2,1.5,-0\nA,H8,12,-9,-1,-5,1\nA,X9,12,1,2,nan,-1\n", "b.csv", test_rank,
      &records, &error))
      << error;
}

}  // namespace
}  // namespace mirelon
