#include "prediction/stat_table.h"

#include <gtest/gtest.h>

#include <string>

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
  EXPECT_EQ(table.context[0][12], "g");  // the comment is not a field
  EXPECT_EQ(table.context[1][kContextCount], "2");
  EXPECT_EQ(table.base[0][kBaseMean], "5.6");
  EXPECT_EQ(table.base[0][kBaseSpread], "0.25");
  EXPECT_EQ(table.multipliers[0][kMultiplierLabel], "n=2");
  EXPECT_EQ(table.multipliers[0][11], "11");
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
