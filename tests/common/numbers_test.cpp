#include "common/numbers.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace mirelon {
namespace {

TEST(NumbersTest, StreamIntReadsLeadingIntegerAndZeroOtherwise) {
  struct Case {
    const char* text;
    int32_t value;
  } const cases[] = {
      {"0", 0},
      {"17", 17},
      {"+17", 17},
      {"-17", -17},
      {"007", 7},
      {"  42", 42},
      {"12abc", 12},
      {"3.9", 3},
      {"", 0},
      {"abc", 0},
      {"+", 0},
      {"-", 0},
      {"+-3", 0},
      {"- 3", 0},
      {"2147483647", 2147483647},
      {"-2147483648", std::numeric_limits<int32_t>::min()},
      {"2147483648", 0},
      {"-2147483649", 0},
      {"99999999999999999999999", 0},
      {"000000000000000000000012", 12},
  };
  for (const Case& c : cases) EXPECT_EQ(stream_int(c.text), c.value) << "text: " << c.text;
}

TEST(NumbersTest, Strtol10SaturatesAndStopsAtFirstOtherCharacter) {
  EXPECT_EQ(strtol10("121"), 121);
  EXPECT_EQ(strtol10(" \t-5x"), -5);
  EXPECT_EQ(strtol10("0x10"), 0);
  EXPECT_EQ(strtol10("1e3"), 1);
  EXPECT_EQ(strtol10("n/a"), 0);
  EXPECT_EQ(strtol10("99999999999999999999"), std::numeric_limits<long>::max());
  EXPECT_EQ(strtol10("-99999999999999999999"), std::numeric_limits<long>::min());
  EXPECT_EQ(strtol10(std::string("12\0"
                                 "3",
                                 4)),
            12);
}

TEST(NumbersTest, StrtodTextFollowsStrtod) {
  EXPECT_EQ(strtod_text("7.85"), 7.85);
  EXPECT_EQ(strtod_text("-0.25e1"), -2.5);
  EXPECT_EQ(strtod_text("1,5"), 1.0);  // the decimal point is "."
  EXPECT_EQ(strtod_text("none"), 0.0);
  EXPECT_EQ(strtod_text(""), 0.0);
  EXPECT_TRUE(std::isinf(strtod_text("1e999")));
  EXPECT_TRUE(std::signbit(strtod_text("-0")));
  // A NaN keeps the sign of its text on every C library, so that it prints
  // back as it was written.
  for (const char* text : {"-nan", " -nan", "-NAN(1)", "nan", "+nan"}) {
    const bool negative = std::string(text).find('-') != std::string::npos;
    EXPECT_TRUE(std::isnan(strtod_text(text))) << text;
    EXPECT_EQ(std::signbit(strtod_text(text)), negative) << text;
    EXPECT_EQ(format_f4(strtod_text(text)), negative ? "-nan" : "nan") << text;
  }
  EXPECT_TRUE(std::signbit(*real_number_value_any_range("-nan")));
}

TEST(NumbersTest, WholeNumbersAreSignAndDigitsOnly) {
  for (const char* yes : {"0", "12", "+3", "-3", "-0", "00012", "123456789012345678901234567890"}) {
    EXPECT_TRUE(is_whole_number(yes)) << yes;
  }
  for (const char* no :
       {"", "+", "-", "1.0", "12a", "a12", " 1", "1 ", "--1", "+-1", "1e3", "0x1"}) {
    EXPECT_FALSE(is_whole_number(no)) << no;
  }
}

TEST(NumbersTest, PredictionLevelIsOneToElevenInDigits) {
  for (const char* yes : {"1", "2", "11", "05", "0011", "0000000000000000000000000009"}) {
    EXPECT_TRUE(is_prediction_level(yes)) << yes;
  }
  for (const char* no : {"", "0", "00", "12", "42", "+3", "-1", " 5", "5 ", "2abc", "abc", "-w",
                         "99999999999999999999999", "1.5"}) {
    EXPECT_FALSE(is_prediction_level(no)) << no;
  }
}

TEST(NumbersTest, FormatG6MatchesDefaultStreamOutput) {
  struct Case {
    double value;
    const char* text;
  } const cases[] = {
      {0.15, "0.15"},         {1.2345679, "1.23457"}, {0.0, "0"},           {-0.0, "-0"},
      {123.45678, "123.457"}, {1e6, "1e+06"},         {999999.4, "999999"}, {999999.5, "1e+06"},
      {1e-4, "0.0001"},       {9.9e-5, "9.9e-05"},    {0.18, "0.18"},       {-2.5, "-2.5"},
  };
  for (const Case& c : cases) EXPECT_EQ(format_g6(c.value), c.text) << c.value;
}

TEST(NumbersTest, FormatF4RoundsToFourDecimalsWhole) {
  EXPECT_EQ(format_f4(7.9), "7.9000");
  EXPECT_EQ(format_f4(152.35), "152.3500");
  EXPECT_EQ(format_f4(123.457), "123.4570");
  EXPECT_EQ(format_f4(0.0), "0.0000");
  EXPECT_EQ(format_f4(-0.0), "-0.0000");
  EXPECT_EQ(format_f4(1e6), "1000000.0000");
  EXPECT_EQ(format_f4(-0.00004), "-0.0000");
  // Longer than any small buffer: printed whole.
  EXPECT_EQ(format_f4(1e60).size(), 60u + 5u);
}

// Bit-identical doubles (so that -0 differs from 0), or both NaN.
bool same_double(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
  return a == b && std::signbit(a) == std::signbit(b);
}

std::string printf_text(const char* format, double value) {
  char buffer[400];
  const int length = std::snprintf(buffer, sizeof buffer, format, value);
  return std::string(buffer, static_cast<size_t>(length));
}

TEST(NumbersTest, FormatsAgreeWithPrintfEverywhere) {
  std::mt19937_64 random(11);
  const double specials[] = {
      0.0, -0.0, 0.03125, 0.00005, 9.999995, 999999.5, 1e-5, 1e300, -1e300, 1e-320, 123.45678,
      2.5e-5, 0.00015, 0.000149, 1.23456789e7, HUGE_VAL, -HUGE_VAL,
      std::numeric_limits<double>::max(),
      // Next to the ends of the plain notation of "%g", and ties of its sixth digit.
      0.0001, 0.00009999995, 0.000099999949, 999999.4999, 999999.5, 99999.95, 123456.5, 123457.5,
      1.000005, 0.1234565};
  // append_f4() rounds in integers below 1e15 and hands larger values on.
  auto appended_f4 = [](double v) {
    std::string out = "x";
    append_f4(&out, v, 12);
    return out;
  };
  auto padded_printf_f4 = [](double v) { return "x" + printf_text("%12.4f", v); };
  for (double v : specials) {
    EXPECT_EQ(format_f4(v), printf_text("%.4f", v)) << v;
    EXPECT_EQ(format_g6(v), printf_text("%g", v)) << v;
    EXPECT_EQ(appended_f4(v), padded_printf_f4(v)) << v;
  }
  for (double v : {0.00005, 0.00015, 0.00025, 1e15 - 0.125, 1e15, 999999999999.99995,
                   std::nextafter(0.00005, 0.0), 4.9e-324, 123456789.00005}) {
    EXPECT_EQ(appended_f4(v), padded_printf_f4(v)) << v;
    EXPECT_EQ(appended_f4(-v), padded_printf_f4(-v)) << v;
  }
  for (int i = 0; i < 30000; ++i) {
    uint64_t bits = random();
    double any;
    std::memcpy(&any, &bits, sizeof any);
    // Shift-like values with ties and short decimals, and any double at all.
    const double shift = static_cast<double>(random() % 40000001) / 1e5 - 50.0;
    const double small =
        std::ldexp(static_cast<double>(random() % 100001), -static_cast<int>(random() % 40));
    const double large =
        std::ldexp(static_cast<double>(random() >> 11), -static_cast<int>(random() % 64));
    for (double v : {any, shift, small, -small, large}) {
      ASSERT_EQ(format_f4(v), printf_text("%.4f", v)) << v;
      ASSERT_EQ(format_g6(v), printf_text("%g", v)) << v;
      ASSERT_EQ(appended_f4(v), padded_printf_f4(v)) << v;
    }
  }
}

TEST(NumbersTest, StrtodTextAgreesWithStrtodOnAnyText) {
  const char* specials[] = {"0",
                            "-0",
                            "-0.0",
                            ".5",
                            "-.5",
                            "5.",
                            "-",
                            ".",
                            "-.",
                            "1e",
                            "1e+",
                            "1E5",
                            "1e-400",
                            "-1e-400",
                            "4e-320",
                            "1e309",
                            "-1e309",
                            "0x10",
                            "0x1p3",
                            "inf",
                            "-inf",
                            "nan",
                            "-nan",
                            "1.5abc",
                            " 1",
                            "+1",
                            "1,5",
                            "00012.50",
                            "9007199254740993",
                            "2.4703282292062328e-324",
                            "123456789012345678901234567890.5e-10"};
  for (const char* text : specials) {
    EXPECT_TRUE(same_double(strtod_text(text), std::strtod(text, nullptr))) << text;
  }
  std::mt19937_64 random(5);
  const char alphabet[] = "0123456789.-+eE";
  for (int i = 0; i < 100000; ++i) {
    std::string text;
    for (int n = 1 + static_cast<int>(random() % 24); n > 0; --n) {
      text += alphabet[random() % (sizeof alphabet - 1)];
    }
    ASSERT_TRUE(same_double(strtod_text(text), std::strtod(text.c_str(), nullptr))) << text;
  }
  // Plain decimals around the limits of the in-place reading: 15 and 16
  // significant digits, 22 and 23 decimals, leading zeros.
  const char digits[] = "0123456789";
  for (int i = 0; i < 100000; ++i) {
    std::string text = random() % 3 == 0 ? "-" : "";
    const int whole = static_cast<int>(random() % 18);
    const int decimals = static_cast<int>(random() % 26);
    for (int n = 0; n < whole; ++n) text += digits[random() % 10];
    if (random() % 4 != 0) text += '.';
    for (int n = 0; n < decimals; ++n) text += digits[random() % (n < 3 ? 2 : 10)];
    ASSERT_TRUE(same_double(strtod_text(text), std::strtod(text.c_str(), nullptr))) << text;
    char* end = nullptr;
    std::strtod(text.c_str(), &end);
    ASSERT_EQ(starts_with_number(text), end != text.c_str()) << text;
  }
}

TEST(NumbersTest, Strtol10AndStartsWithNumberAgreeWithTheCLibraryOnAnyText) {
  std::mt19937_64 random(7);
  const char alphabet[] = "0123456789.-+eE \tx";
  for (int i = 0; i < 100000; ++i) {
    std::string text;
    for (int n = static_cast<int>(random() % 24); n > 0; --n) {
      text += alphabet[random() % (sizeof alphabet - 1)];
    }
    ASSERT_EQ(strtol10(text), std::strtol(text.c_str(), nullptr, 10)) << text;
    char* end = nullptr;
    std::strtod(text.c_str(), &end);
    ASSERT_EQ(starts_with_number(text), end != text.c_str()) << text;
  }
}

TEST(NumbersTest, IsSpaceIsTheCLocaleWhiteSpace) {
  for (int c = 0; c < 256; ++c) {
    EXPECT_EQ(is_space(static_cast<char>(c)), std::isspace(c) != 0) << c;
  }
}

TEST(NumbersTest, PaddingWidensButNeverCuts) {
  EXPECT_EQ(pad_left("5", 4), "   5");
  EXPECT_EQ(pad_left("12345", 4), "12345");
  EXPECT_EQ(pad_right("URA", 5), "URA  ");
  EXPECT_EQ(pad_right("HO2'", 4), "HO2'");
  EXPECT_EQ(pad_right("", 2), "  ");
  EXPECT_EQ(decimal(-5), "-5");
  EXPECT_EQ(decimal(std::numeric_limits<int64_t>::min()), "-9223372036854775808");
}

TEST(NumbersTest, WholeWordsAsNumbers) {
  EXPECT_EQ(whole_number_value("-15"), -15);
  EXPECT_EQ(whole_number_value("+7"), 7);
  EXPECT_EQ(whole_number_value("9223372036854775807"), std::numeric_limits<long>::max());
  EXPECT_EQ(whole_number_value("9223372036854775808"), std::nullopt);
  for (const char* bad : {"", "-", "1.5", " 1", "1 ", "1e3", "x1"}) {
    EXPECT_EQ(whole_number_value(bad), std::nullopt) << bad;
  }
  EXPECT_EQ(real_number_value("92.7"), 92.7);
  EXPECT_EQ(real_number_value("-3.5e1"), -35);
  EXPECT_EQ(real_number_value("7"), 7);
  for (const char* bad : {"", ".", "?", " 1", "1 ", "92,7", "1e999", "seven"}) {
    EXPECT_EQ(real_number_value(bad), std::nullopt) << bad;
  }
  // Beyond the range of a double: the value strtod gives, not nothing.
  EXPECT_EQ(real_number_value_any_range("1e999"), HUGE_VAL);
  EXPECT_EQ(real_number_value_any_range("-1e999"), -HUGE_VAL);
  EXPECT_EQ(real_number_value_any_range("1e-999"), 0);
  EXPECT_EQ(real_number_value_any_range("92.7"), 92.7);
  for (const char* bad : {"", " 1e999", "1e999 ", "1e999x", "seven"}) {
    EXPECT_EQ(real_number_value_any_range(bad), std::nullopt) << bad;
  }
}

}  // namespace
}  // namespace mirelon
