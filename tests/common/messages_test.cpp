#include "common/messages.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace mirelon {
namespace {

// format_message() writes what snprintf writes, whether it formats the
// conversions itself or leaves them to the C library.
template <typename... Args>
void expect_as_snprintf(const char* format, Args... args) {
  char expected[2048];
  std::snprintf(expected, sizeof expected, format, args...);
  EXPECT_EQ(format_message(format, args...), expected) << format;
}

TEST(MessagesTest, ConversionsAreWrittenAsSnprintfWritesThem) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (double v : {0.0, -0.0, 0.05, 0.25, -0.25, 0.125, 2.5, 3.5, -2.5, 0.00005, 1e15 - 1, 1e15,
                   -1e300, HUGE_VAL, nan, 123.456789, -0.04999}) {
    expect_as_snprintf("%.0f %.1f %.2f %.3f %.4f", v, v, v, v, v);
    expect_as_snprintf("<x a=\"%-8.2f\" b=\"%10.1f\" c=\"%+.2f\" d=\"%+8.3lf\"/>", v, v, v, v);
    // Conversions left to the C library, each beside one formatted directly.
    for (const char* format : {"%.6f|%.1f", "%g|%.1f", "%05.1f|%.1f", "%e|%.1f", "%.5f|%.1f"}) {
      expect_as_snprintf(format, v, v);
    }
  }
  std::mt19937_64 random(13);
  for (int i = 0; i < 20000; ++i) {
    // Ties at every decimal (multiples of 2^-k), and any value of picture size.
    const double tie = std::ldexp(static_cast<double>(random() % 200001) - 100000.0,
                                  -static_cast<int>(random() % 12));
    const double any = (static_cast<double>(random() % 2000000001) - 1e9) / 997.0;
    expect_as_snprintf("%.1f %.2f %.3f %.4f %.0f", tie, tie, any, any, any);
  }
  expect_as_snprintf("%d|%5d|%-5d|%+d|%+d|%d", 7, -7, 42, 0, -3, INT_MIN);
  expect_as_snprintf("%ld|%lld|%zu|%3zu|%-4zu|%u|%lu|%llu", LONG_MIN, LLONG_MAX, SIZE_MAX,
                     static_cast<size_t>(5), static_cast<size_t>(12), UINT_MAX, 9ul, 10ull);
  expect_as_snprintf("%s|%10s|%-10s|%.3s|%.9s|%c|%-3c|", "abc", "abc", "abc", "abcdef", "ab", 'x',
                     'y');
  expect_as_snprintf("100%% of %s, %d%%", "them", 5);
  expect_as_snprintf("% d|%d", 5, 5);
  expect_as_snprintf("%x|%d", 255u, 5);
  expect_as_snprintf("%hd|%d", 3, 5);
  expect_as_snprintf("%zd|%d", static_cast<ssize_t>(-4), 5);
  expect_as_snprintf("%.3d|%d", 7, 5);
  expect_as_snprintf("%#.0f|%d", 2.0, 5);
  expect_as_snprintf("%05d|%d", -7, 5);
}

TEST(MessagesTest, TextsAreWholeHoweverLong) {
  const std::string path(5000, 'x');
  EXPECT_EQ(format_message("<text>%s</text>", path.c_str()), "<text>" + path + "</text>");
  std::string out = "<svg>";
  append_message(&out, "<text y=\"%.1f\">%s</text>", 20.0, path.c_str());
  append_message(&out, "%s", "");
  EXPECT_EQ(out, "<svg><text y=\"20.0\">" + path + "</text>");
  EXPECT_EQ(capacity_message(20001, 20000),
            "Error: String array size 20001 larger than maximum 20000.\n");
}

TEST(MessagesTest, WarningsNameAtMostTenPositionsThenHowManyMore) {
  EXPECT_EQ(format_warning("a.ct", "nothing"), "Warning: a.ct: nothing\n");
  EXPECT_EQ(format_warning("a.ct", "odd", {}), "Warning: a.ct: odd\n");
  EXPECT_EQ(format_warning("a.ct", "odd", {"3"}), "Warning: a.ct: odd: 3\n");
  std::vector<std::string> ten;
  for (int i = 1; i <= 10; ++i) ten.push_back(std::to_string(i));
  EXPECT_EQ(format_warning("a.ct", "odd", ten),
            "Warning: a.ct: odd: 1, 2, 3, 4, 5, 6, 7, 8, 9, 10\n");
  ten.emplace_back("11");
  ten.emplace_back("12");
  EXPECT_EQ(format_warning("a.ct", "odd", ten),
            "Warning: a.ct: odd: 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 and 2 more\n");
}

}  // namespace
}  // namespace mirelon
