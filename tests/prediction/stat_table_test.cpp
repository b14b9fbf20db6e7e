#include "prediction/stat_table.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace mirelon {
namespace {

constexpr const char* kContextLine = "H6 C 0oGwCwAo 12 7.85 0.20 a b c d e f g";
constexpr const char* kBaseLine = "C H5 1 2 3 4 5.6 0.25";
constexpr const char* kRowLine = "n=2 1 2 3 4 5 6 7 8 9 10 11";

StatTable parse_ok(const std::string& content) {
  StatTable table;
  std::string error;
  EXPECT_TRUE(parse_stat_table(content, "t.tab", &table, &error)) << content << "\n" << error;
  return table;
}

std::string parse_error(const std::string& content) {
  StatTable table;
  std::string error;
  EXPECT_FALSE(parse_stat_table(content, "t.tab", &table, &error)) << content;
  return error;
}

// `lines` lines of `line`, each ended by a line feed.
std::string repeated(const std::string& line, int lines) {
  std::string text;
  for (int i = 0; i < lines; ++i) text += line + "\n";
  return text;
}

TEST(StatTableTest, CommentsBlankLinesAndTerminatorTextAreNotRecords) {
  const std::string content = std::string("# header\n") +  //
                              "\n" +                       // empty: skipped
                              " \t\n" +                    // white space only: skipped
                              "   # indented comment\n" +  // no word before the comment
                              kContextLine + " # trailing comment\n" + "# between records\n" +  //
                              "H8 G 0o0oGwGw 2 8.1 0.1 a b c d e f g #x y z\n" +
                              ":end of section 1 with text\n" +  //
                              kBaseLine + "\n" +                 //
                              ": \n" +                           //
                              kRowLine + " :also a comment\n" +  //
                              "::\n" +                           //
                              "after the third terminator anything goes\n" + ":\n" +
                              "# and a fourth terminator changes nothing\n";
  const StatTable table = parse_ok(content);
  ASSERT_EQ(table.context.size(), 2u);
  ASSERT_EQ(table.base.size(), 1u);
  ASSERT_EQ(table.multipliers.size(), 1u);
  EXPECT_EQ(table.context[0][kContextAtom], "H6");
  EXPECT_EQ(table.context[0][kContextKey], "0oGwCwAo");
  EXPECT_EQ(table.context[0][kContextSpread], "0.20");  // the comment is no field: 13 words
  EXPECT_EQ(table.context[1][kContextCount], "2");
  EXPECT_EQ(table.base[0][kBaseMean], "5.6");
  EXPECT_EQ(table.base[0][kBaseSpread], "0.25");
  EXPECT_EQ(table.multipliers[0][kMultiplierLabel], "n=2");
  EXPECT_EQ(table.multipliers[0][11], "11");
  // Each record keeps the line it stood on.
  EXPECT_EQ(table.context_lines, (std::vector<int>{5, 7}));
  EXPECT_EQ(table.base_lines, std::vector<int>{9});
  EXPECT_EQ(table.multiplier_lines, std::vector<int>{11});
}

// mirelon takes these values as they stand; what each one is.
TEST(StatTableValuesTest, FaultsOfMeansSpreadsAndMultipliers) {
  using F = TableValueFault;
  const std::pair<const char*, std::optional<F>> means[] = {
      {"7.85", std::nullopt},   {"-4", std::nullopt},   {"1e308", std::nullopt},
      {"7.8x", std::nullopt},   {"nan", F::kNotFinite}, {"-inf", F::kNotFinite},
      {"1e400", F::kNotFinite}, {"abc", F::kNoNumber},  {".", F::kNoNumber},
      {"x7.8", F::kNoNumber},
  };
  for (const auto& [text, fault] : means) EXPECT_EQ(mean_fault(text), fault) << text;
  const std::pair<const char*, std::optional<F>> scales[] = {
      {"0.2", std::nullopt},     {"0", std::nullopt},      {"-0", std::nullopt},
      {"abc", std::nullopt},     {"1e-400", std::nullopt}, {"-0.2", F::kNegative},
      {"-1e-300", F::kNegative}, {"NAN", F::kNotFinite},   {"inf", F::kNotFinite},
      {"-inf", F::kNotFinite},   {"1e400", F::kNotFinite},
  };
  for (const auto& [text, fault] : scales) EXPECT_EQ(scale_fault(text), fault) << text;
}

// The problems come in file order with their lines, from the records
// selected and from every multiplier of every row.
TEST(StatTableValuesTest, ProblemsOfTheRecordsSelectedAndEveryRow) {
  const StatTable table = parse_ok(
      "# header\n"
      "H6 C 0oGwCwAo 12 nan -0.2 a b c d e f g\n"  // line 2: mean and spread
      "H8 C 0oGwCwAo 12 abc 0.2 a b c d e f g\n"   // line 3
      ":\n"
      "C H5 1 2 3 4 5.6 inf\n"  // line 5
      ":\n"
      "n=2 1 2 3 4 5 6 7 8 9 10 11\n"
      "n=3 1 2 3 4 5 6 7 8 9 10 -1\n"  // line 8, level 11
      ":\n");
  const std::vector<TableValueProblem> all = table_value_problems(table, nullptr, nullptr);
  ASSERT_EQ(all.size(), 5u);
  const std::pair<int, TableValueFault> expected[] = {
      {2, TableValueFault::kNotFinite}, {2, TableValueFault::kNegative},
      {3, TableValueFault::kNoNumber},  {5, TableValueFault::kNotFinite},
      {8, TableValueFault::kNegative},
  };
  for (size_t i = 0; i < all.size(); ++i) {
    EXPECT_EQ(all[i].line, expected[i].first) << i;
    EXPECT_EQ(all[i].fault, expected[i].second) << i;
  }
  EXPECT_EQ(all[1].field, "spread");
  EXPECT_EQ(all[1].text, "-0.2");
  EXPECT_EQ(all[4].field, "multiplier");
  const std::vector<bool> context_used = {false, true};
  const std::vector<bool> base_used = {false};
  const std::vector<TableValueProblem> used =
      table_value_problems(table, &context_used, &base_used);
  ASSERT_EQ(used.size(), 2u);
  EXPECT_EQ(used[0].line, 3);
  EXPECT_EQ(used[1].line, 8);  // rows count whatever is used
}

TEST(StatTableValuesTest, RefusalNamesFileLineFieldAndValue) {
  EXPECT_EQ(table_value_error({12, TableValueFault::kNotFinite, "spread", "nan"}, "t.tab"),
            "Error: line 12 of statistics file t.tab: spread 'nan' is not a finite number.\n");
  EXPECT_EQ(table_value_error({3, TableValueFault::kNegative, "multiplier", "-1"}, "t.tab"),
            "Error: line 3 of statistics file t.tab: multiplier '-1' is negative.\n");
  EXPECT_EQ(table_value_error({4, TableValueFault::kNoNumber, "mean", "abc"}, "t.tab"),
            "Error: line 4 of statistics file t.tab: mean 'abc' holds no number.\n");
}

TEST(StatTableTest, WordsThatMerelyContainCommentCharactersAreFields) {
  const StatTable table = parse_ok("H5\" C a#b:c 3 x:y 0#1 7 8 9 10 11 12 13\n:\n:\n:\n");
  ASSERT_EQ(table.context.size(), 1u);
  EXPECT_EQ(table.context[0][kContextAtom], "H5\"");
  EXPECT_EQ(table.context[0][kContextKey], "a#b:c");
  EXPECT_EQ(table.context[0][kContextMean], "x:y");
  EXPECT_EQ(table.context[0][kContextSpread], "0#1");
}

TEST(StatTableTest, CrLfLineEndsReadLikeLineFeeds) {
  const std::string lf =
      std::string("# c\n") + kContextLine + "\n:\n" + kBaseLine + "\n\n:\n" + kRowLine + "\n:\n";
  std::string crlf;
  for (char c : lf) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  const StatTable a = parse_ok(lf);
  const StatTable b = parse_ok(crlf);
  EXPECT_EQ(a.context, b.context);
  EXPECT_EQ(a.base, b.base);
  EXPECT_EQ(a.multipliers, b.multipliers);
  EXPECT_EQ(b.multipliers[0][11], "11");  // no carriage return left on the last field
}

TEST(StatTableTest, LastLineWithoutLineEndIsReadLikeAnyOther) {
  EXPECT_EQ(parse_ok(":\n:\n:").multipliers.size(), 0u);
  EXPECT_EQ(parse_ok(":\n:\n" + std::string(kRowLine) + "\n:").multipliers.size(), 1u);
  EXPECT_EQ(parse_ok(":\n:\n:\n" + std::string(kRowLine)).multipliers.size(), 0u);
  EXPECT_EQ(parse_error(":\n:\n" + std::string(kRowLine) + " extra\n:"),
            "Error: line 3 of statistics file t.tab has 13 fields instead of 12.\n");
}

TEST(StatTableTest, StructureErrorsAreReportedExactly) {
  struct Case {
    std::string content;
    std::string error;
  } const cases[] = {
      {"",
       "Error: statistics file t.tab has 0 of its 3 sections ended by a line starting with "
       "':'.\n"},
      {":\n:\n",
       "Error: statistics file t.tab has 2 of its 3 sections ended by a line starting "
       "with ':'.\n"},
      // A ':' that does not start its line ends nothing.
      {":\n:\n :\n",
       "Error: statistics file t.tab has 2 of its 3 sections ended by a line "
       "starting with ':'.\n"},
      {":\n:\n#:\n",
       "Error: statistics file t.tab has 2 of its 3 sections ended by a line "
       "starting with ':'.\n"},
      {"H6 C 0oGwCwAo 12\n:\n:\n:\n",
       "Error: line 1 of statistics file t.tab has 4 fields instead of 13.\n"},
      {"# c\n:\n\n" + std::string(kBaseLine) + " extra\n:\n:\n",
       "Error: line 4 of statistics file t.tab has 9 fields instead of 8.\n"},
      // Cut at the comment word, then counted.
      {":\n:\nn=2 1 2 3 4 5 6 7 8 9 10 #11\n:\n",
       "Error: line 3 of statistics file t.tab has 11 fields instead of 12.\n"},
      {":\n:\nn=2 1 2 3 4 5 6 7 8 9 10 :11\n:\n",
       "Error: line 3 of statistics file t.tab has 11 fields instead of 12.\n"},
      // The first bad line in file order, whatever its section.
      {"x\n:\ny\n:\n:\n", "Error: line 1 of statistics file t.tab has 1 fields instead of 13.\n"},
      // Missing terminators come before field counts ...
      {"x\n:\n:\n",
       "Error: statistics file t.tab has 2 of its 3 sections ended by a line "
       "starting with ':'.\n"},
      // ... and so do capacities, even of a later section.
      {"x\n:\n" + repeated(kBaseLine, 20001) + ":\n:\n",
       "Error: String array size 20001 larger than maximum 20000.\n"},
      // Capacities in section order.
      {":\n" + repeated("a", 20002) + ":\n" + repeated("b", 20001) + ":\n",
       "Error: String array size 20002 larger than maximum 20000.\n"},
      {":\n:\n" + repeated(kRowLine, 20001) + ":\n",
       "Error: String array size 20001 larger than maximum 20000.\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(parse_error(c.content), c.error) << c.content.substr(0, 200);
  }
}

TEST(StatTableTest, ASectionOfExactlyTwentyThousandRecordsIsRead) {
  const StatTable table =
      parse_ok(repeated(kContextLine, 20000) + ":\n" + repeated(kBaseLine, 20000) + ":\n" +
               repeated(kRowLine, 121) + ":\n");
  EXPECT_EQ(table.context.size(), 20000u);
  EXPECT_EQ(table.base.size(), 20000u);
  EXPECT_EQ(table.multipliers.size(), 121u);
}

TEST(StatTableTest, LinesAfterTheThirdTerminatorAreNotCounted) {
  // Neither their fields nor their number matter.
  const StatTable table = parse_ok(":\n:\n:\nx\n" + repeated("y", 20001));
  EXPECT_TRUE(table.context.empty());
}

}  // namespace
}  // namespace mirelon
