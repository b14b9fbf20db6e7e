#include "common/numbers.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <system_error>

// Floating-point to_chars and from_chars are used where the standard library
// has them; older ones (the libc++ of the WebAssembly build) have only the
// integer forms, and there the same bytes come from snprintf and strtod.
// MIRELON_NUMBER_FALLBACK forces that path in a native build so that the
// tests run over it too.
#if !defined(MIRELON_NUMBER_FALLBACK) && !defined(__cpp_lib_to_chars)
#define MIRELON_NUMBER_FALLBACK 1
#endif

namespace mirelon {

int32_t stream_int(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && is_space(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // Accumulate as a negative number so that INT32_MIN fits.
  constexpr int64_t kLimit = static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + 1;
  int64_t magnitude = 0;
  bool any_digit = false;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    any_digit = true;
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > kLimit) return 0;  // out of range, whatever follows
  }
  if (!any_digit) return 0;
  if (!negative && magnitude == kLimit) return 0;
  return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

long strtol10(const std::string& text) { return std::strtol(text.c_str(), nullptr, 10); }

namespace {

// std::strtod, with the sign of a NaN as glibc gives it: musl (the C library
// of the WebAssembly build) reads "-nan" as a NaN without its sign, which
// would then print as "nan" where the native programs print "-nan".
double signed_strtod(const char* text, char** end) {
  const double value = std::strtod(text, end);
  if (!std::isnan(value)) return value;
  while (is_space(*text)) ++text;
  return std::copysign(value, *text == '-' ? -1.0 : 1.0);
}

}  // namespace

double strtod_text(const std::string& text) {
  // A plain decimal text ("7.85", "-0.25e1", "12") is read by from_chars,
  // which rounds to the nearest double exactly as strtod does and is many
  // times faster. Everything else goes to strtod itself: leading white space
  // or '+', hexadecimal, inf and nan, text after the number, a NUL byte, and
  // values out of range.
#ifndef MIRELON_NUMBER_FALLBACK
  if (!text.empty()) {
    const char first = text.front();
    const char last = text.back();
    const bool plain_start = first == '-' || first == '.' || (first >= '0' && first <= '9');
    const bool plain_end = last == '.' || (last >= '0' && last <= '9');
    if (plain_start && plain_end) {
      double value = 0;
      const char* end = text.data() + text.size();
      const std::from_chars_result result = std::from_chars(text.data(), end, value);
      if (result.ec == std::errc() && result.ptr == end) return value;
    }
  }
#endif
  return signed_strtod(text.c_str(), nullptr);
}

bool is_whole_number(std::string_view text) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  if (i == text.size()) return false;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  return true;
}

std::optional<long> whole_number_value(std::string_view text) {
  if (!is_whole_number(text)) return std::nullopt;
  const std::string copy(text);
  errno = 0;
  const long value = std::strtol(copy.c_str(), nullptr, 10);
  if (errno == ERANGE) return std::nullopt;
  return value;
}

namespace {

// The value of the whole `text` as strtod reads it, and whether strtod
// found it out of range; nothing when the text is not one number.
std::optional<double> whole_strtod(std::string_view text, bool* out_of_range) {
  if (text.empty() || is_space(text[0])) return std::nullopt;
  const std::string copy(text);
  char* end = nullptr;
  errno = 0;
  const double value = signed_strtod(copy.c_str(), &end);
  if (end != copy.c_str() + copy.size()) return std::nullopt;
  *out_of_range = errno == ERANGE;
  return value;
}

}  // namespace

std::optional<double> real_number_value(std::string_view text) {
  bool out_of_range = false;
  const std::optional<double> value = whole_strtod(text, &out_of_range);
  if (out_of_range) return std::nullopt;
  return value;
}

std::optional<double> real_number_value_any_range(std::string_view text) {
  bool out_of_range = false;
  return whole_strtod(text, &out_of_range);
}

bool starts_with_number(const std::string& text) {
  char* end = nullptr;
  std::strtod(text.c_str(), &end);
  return end != text.c_str();
}

bool is_prediction_level(std::string_view text) {
  if (text.empty()) return false;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
    if (value > 11) return false;  // stays small however many digits follow
  }
  return value >= 1;
}

namespace {

// std::to_chars writes a double as printf does in the "C" locale with the same
// conversion and precision, but without printf's multi-precision arithmetic;
// the shift list formats two numbers per line. Enough room for "%.4f" of the
// largest double (309 digits, point, 4 decimals, sign).
constexpr size_t kNumberBuffer = 330;

#ifdef MIRELON_NUMBER_FALLBACK
std::string to_text(double value, const char* printf_format) {
  char buffer[kNumberBuffer];
  const int length = std::snprintf(buffer, sizeof buffer, printf_format, value);
  return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}
#else
std::string to_text(double value, std::chars_format format, int precision) {
  char buffer[kNumberBuffer];
  const std::to_chars_result result =
      std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
  return std::string(buffer, result.ptr);
}
#endif

}  // namespace

#ifdef MIRELON_NUMBER_FALLBACK
std::string format_g6(double value) { return to_text(value, "%.6g"); }

std::string format_f4(double value) { return to_text(value, "%.4f"); }
#else
std::string format_g6(double value) { return to_text(value, std::chars_format::general, 6); }

std::string format_f4(double value) { return to_text(value, std::chars_format::fixed, 4); }
#endif

std::string decimal(int64_t value) {
  char buffer[24];
  const std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

void append_pad_left(std::string* out, std::string_view text, size_t width) {
  if (text.size() < width) out->append(width - text.size(), ' ');
  out->append(text);
}

void append_pad_right(std::string* out, std::string_view text, size_t width) {
  out->append(text);
  if (text.size() < width) out->append(width - text.size(), ' ');
}

std::string pad_left(std::string_view text, size_t width) {
  std::string out;
  append_pad_left(&out, text, width);
  return out;
}

std::string pad_right(std::string_view text, size_t width) {
  std::string out;
  append_pad_right(&out, text, width);
  return out;
}

}  // namespace mirelon
