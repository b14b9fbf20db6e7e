#include "common/numbers.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

namespace {

// Where the digits of a whole number start once the white space and a sign
// that stream extraction and strtol pass over are skipped; `*negative` says
// whether the sign was '-'.
size_t digits_start(std::string_view text, bool* negative) {
  size_t i = 0;
  while (i < text.size() && is_space(text[i])) ++i;
  *negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    *negative = text[i] == '-';
    ++i;
  }
  return i;
}

}  // namespace

int32_t stream_int(std::string_view text) {
  bool negative = false;
  size_t i = digits_start(text, &negative);
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

int64_t strtol10(std::string_view text) {
  // strtol's rules, in place: white space, a sign, then digits, the value
  // held at LONG_MIN or LONG_MAX once it leaves the range (the digits after
  // are still read, and change nothing).
  bool negative = false;
  size_t i = digits_start(text, &negative);
  // Accumulated as a negative number, so that LONG_MIN fits.
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  int64_t value = 0;
  bool out_of_range = false;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    const int digit = text[i] - '0';
    if (out_of_range) continue;
    if (value < (kMin + digit) / 10) {
      out_of_range = true;
      continue;
    }
    value = value * 10 - digit;
  }
  if (out_of_range) return negative ? kMin : std::numeric_limits<int64_t>::max();
  if (negative) return value;
  return value == kMin ? std::numeric_limits<int64_t>::max() : -value;
}

namespace {

// Calls `read` with a NUL-terminated copy of `text`: on the stack when it is
// short, as every field of the input files is.
template <typename Read>
auto with_terminated_copy(std::string_view text, Read read) {
  constexpr size_t kShort = 64;
  if (text.size() < kShort) {
    char copy[kShort];
    text.copy(copy, text.size());
    copy[text.size()] = '\0';
    return read(static_cast<const char*>(copy));
  }
  const std::string copy(text);
  return read(copy.c_str());
}

// std::strtod, with the sign of a NaN as glibc gives it: musl (the C library
// of the WebAssembly build) reads "-nan" as a NaN without its sign, which
// would then print as "nan" where the native programs print "-nan".
double signed_strtod(const char* text, char** end) {
  const double value = std::strtod(text, end);
  if (!std::isnan(value)) return value;
  while (is_space(*text)) ++text;
  return std::copysign(value, *text == '-' ? -1.0 : 1.0);
}

// Exact powers of ten as doubles: 10^22 is the largest.
constexpr std::array<double, 23> kPowersOfTen = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                 1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The value of `text` when it is a short plain decimal: an optional '-',
// then digits with at most one point among them, at most 19 digits in all
// and at most 22 after the point, whose digits read as one integer are at
// most 2^53. That integer and the power of ten are then exact doubles, so
// one division, rounded to nearest as every operation on doubles is, gives
// the nearest double to the decimal: the value strtod and from_chars give.
std::optional<double> short_decimal(std::string_view text) {
#if defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD == 0
  // At most 19 digits in all, so that they fit 64 bits before the test.
  constexpr ptrdiff_t kMostDigits = 19;
  constexpr uint64_t kExactIntegers = uint64_t{1} << 53;
  const char* p = text.data();
  const char* const end = p + text.size();
  const bool negative = p != end && *p == '-';
  if (negative) ++p;
  uint64_t digits = 0;
  const char* const whole_start = p;
  for (; p != end && static_cast<unsigned char>(*p - '0') < 10; ++p) {
    digits = digits * 10 + static_cast<unsigned char>(*p - '0');
  }
  ptrdiff_t count = p - whole_start;
  ptrdiff_t decimals = 0;
  if (p != end && *p == '.') {
    const char* const fraction_start = ++p;
    for (; p != end && static_cast<unsigned char>(*p - '0') < 10; ++p) {
      digits = digits * 10 + static_cast<unsigned char>(*p - '0');
    }
    decimals = p - fraction_start;
    count += decimals;
  }
  if (p != end || count == 0 || count > kMostDigits || digits > kExactIntegers ||
      decimals >= static_cast<ptrdiff_t>(kPowersOfTen.size())) {
    return std::nullopt;
  }
  const double magnitude =
      static_cast<double>(digits) / kPowersOfTen[static_cast<size_t>(decimals)];
  return negative ? -magnitude : magnitude;
#else
  (void)text;
  return std::nullopt;
#endif
}

}  // namespace

double strtod_text(std::string_view text) {
  // A short plain decimal ("7.85", "-12") by one exact division; another
  // plain decimal ("-0.25e1", twenty digits) by from_chars, which rounds to
  // the nearest double exactly as strtod does and is many times faster;
  // everything else by strtod itself: leading white space or '+',
  // hexadecimal, inf and nan, text after the number, a NUL byte, and values
  // out of range.
  if (const std::optional<double> value = short_decimal(text)) return *value;
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
  return with_terminated_copy(text, [](const char* copy) { return signed_strtod(copy, nullptr); });
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

std::optional<int64_t> whole_number_value(std::string_view text) {
  if (!is_whole_number(text)) return std::nullopt;
  const std::string copy(text);
  errno = 0;
  const long long value = std::strtoll(copy.c_str(), nullptr, 10);
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

bool starts_with_number(std::string_view text) {
  // A digit, or a point with a digit after it, after at most one sign
  // starts a number; anything else (white space, inf, nan) is strtod's to judge.
  const auto digit = [&text](size_t i) {
    return i < text.size() && text[i] >= '0' && text[i] <= '9';
  };
  size_t i = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
  if (digit(i) || (i < text.size() && text[i] == '.' && digit(i + 1))) return true;
  return with_terminated_copy(text, [](const char* copy) {
    char* end = nullptr;
    std::strtod(copy, &end);
    return end != copy;
  });
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

// `value` as printf's "%.6g" (`fixed` false) or "%.4f" (`fixed` true) writes it.
std::string to_text(double value, bool fixed) {
  char buffer[kNumberBuffer];
#ifdef MIRELON_NUMBER_FALLBACK
  const int length = std::snprintf(buffer, sizeof buffer, fixed ? "%.4f" : "%.6g", value);
  return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
#else
  const std::to_chars_result result =
      fixed ? std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 4)
            : std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
  return std::string(buffer, result.ptr);
#endif
}

#ifdef __SIZEOF_INT128__
// A product of a mantissa and a power of five needs up to 77 bits.
__extension__ using Wide = unsigned __int128;

// "%g" of `value` when its magnitude lies from 1e-4 up to but excluding
// 1e6 and it rounds to no more: six significant digits, rounded to nearest
// with ties to even on the exact binary value as printf rounds, in plain
// decimal notation without trailing zeros; 0 as "0". Nothing for other
// values, which printf writes in exponent notation or which are inf or nan.
std::optional<std::string> plain_g6(double value) {
  if (value == 0) return std::string(std::signbit(value) ? "-0" : "0");
  const double magnitude = std::fabs(value);
  if (!(magnitude >= 1e-4 && magnitude < 1e6)) return std::nullopt;
  // magnitude = mantissa * 2^exponent exactly (a normal double here).
  uint64_t bits = 0;
  std::memcpy(&bits, &magnitude, sizeof bits);
  constexpr int kFractionBits = 52;
  constexpr int kExponentBias = 1075;
  const uint64_t mantissa =
      (bits & ((uint64_t{1} << kFractionBits) - 1)) | (uint64_t{1} << kFractionBits);
  const int exponent = static_cast<int>(bits >> kFractionBits) - kExponentBias;
  constexpr std::array<uint64_t, 12> kPowersOfFive = {
      1, 5, 25, 125, 625, 3125, 15625, 78125, 390625, 1953125, 9765625, 48828125};
  constexpr uint64_t kLowest = 100000;  // six digits
  constexpr uint64_t kBeyond = 1000000;
  // The decimal exponent x of the magnitude: log10 gives it, or one off
  // next to a power of ten, which the digits themselves then put right.
  int x = static_cast<int>(std::floor(std::log10(magnitude)));
  uint64_t digits = 0;
  for (int attempt = 0;; ++attempt) {
    const int k = 5 - x;  // digits = magnitude * 10^k, rounded
    if (attempt > 2 || k < 0 || k >= static_cast<int>(kPowersOfFive.size())) return std::nullopt;
    // magnitude * 10^k = mantissa * 5^k / 2^shift, below 2^77.
    const Wide scaled = static_cast<Wide>(mantissa) * kPowersOfFive[static_cast<size_t>(k)];
    const int shift = -(exponent + k);
    constexpr int kWideBits = 128;
    if (shift <= 0 || shift >= kWideBits) return std::nullopt;  // not in this range
    const auto whole = static_cast<uint64_t>(scaled >> shift);
    if (whole >= kBeyond) {
      ++x;
      continue;
    }
    if (whole < kLowest) {
      --x;
      continue;
    }
    const Wide rest = scaled & ((static_cast<Wide>(1) << shift) - 1);
    const Wide half = static_cast<Wide>(1) << (shift - 1);
    digits = rest > half || (rest == half && (whole & 1) != 0) ? whole + 1 : whole;
    break;
  }
  if (digits == kBeyond) {  // rounded up to the next power of ten
    digits = kLowest;
    ++x;
  }
  constexpr int kMostPlainExponent = 5;
  if (x > kMostPlainExponent) return std::nullopt;  // printf writes 1e+06
  char text[6];
  for (int i = 5; i >= 0; --i) {
    text[i] = static_cast<char>('0' + digits % 10);
    digits /= 10;
  }
  int kept = 6;
  while (kept > 1 && text[kept - 1] == '0') --kept;  // trailing zeros go
  std::string out = std::signbit(value) ? "-" : "";
  if (x >= 0) {
    const int whole_digits = x + 1;  // at most 6
    out.append(text, static_cast<size_t>(whole_digits));
    if (kept > whole_digits) {
      out += '.';
      out.append(text + whole_digits, static_cast<size_t>(kept - whole_digits));
    }
  } else {
    out += "0.";
    out.append(static_cast<size_t>(-x - 1), '0');
    out.append(text, static_cast<size_t>(kept));
  }
  return out;
}
#else
std::optional<std::string> plain_g6(double) { return std::nullopt; }
#endif

}  // namespace

std::string format_g6(double value) {
  if (std::optional<std::string> text = plain_g6(value)) return std::move(*text);
  return to_text(value, false);
}

std::string format_f4(double value) {
  char buffer[kFixedTextRoom];
  const size_t length = fixed_text(value, 4, buffer);
  return length != 0 ? std::string(buffer, length) : to_text(value, true);
}

namespace {

// Below this magnitude the value in ten thousandths fits 64 bits.
constexpr double kExactFixedLimit = 1e15;
constexpr int kMostFixedDecimals = 4;

// `magnitude` (finite, not negative, below kExactFixedLimit) times
// 10^decimals (0 to 4), rounded to nearest with ties to even on its exact
// binary value, as printf rounds in the default rounding mode.
uint64_t scaled_units(double magnitude, int decimals) {
  // magnitude = mantissa * 2^exponent exactly, from the bits of the double.
  constexpr int kFractionBits = 52;
  constexpr int kExponentBias = 1075;  // 1023 + 52
  uint64_t bits = 0;
  std::memcpy(&bits, &magnitude, sizeof bits);
  const auto biased = static_cast<int>(bits >> kFractionBits);
  uint64_t mantissa = bits & ((uint64_t{1} << kFractionBits) - 1);
  int exponent = 1 - kExponentBias;  // subnormal
  if (biased != 0) {
    mantissa |= uint64_t{1} << kFractionBits;
    exponent = biased - kExponentBias;
  }
  // Times 10^d = 2^d * 5^d.
  constexpr std::array<uint64_t, kMostFixedDecimals + 1> kPowersOfFive = {1, 5, 25, 125, 625};
  const uint64_t scaled = mantissa * kPowersOfFive[static_cast<size_t>(decimals)];  // below 2^63
  const int shift = -(exponent + decimals);  // value = scaled / 2^shift
  constexpr int kWordBits = 64;
  if (shift <= 0) return scaled << -shift;  // whole: below 1e19 by the limit
  if (shift >= kWordBits) return 0;         // scaled < 2^63 <= half of 2^shift
  const uint64_t whole = scaled >> shift;
  const uint64_t rest = scaled & ((uint64_t{1} << shift) - 1);
  const uint64_t half = uint64_t{1} << (shift - 1);
  return rest > half || (rest == half && (whole & 1) != 0) ? whole + 1 : whole;
}

}  // namespace

size_t fixed_text(double value, int decimals, char* buffer) {
  if (decimals < 0 || decimals > kMostFixedDecimals || !std::isfinite(value) ||
      std::fabs(value) >= kExactFixedLimit) {
    return 0;
  }
  uint64_t units = scaled_units(std::fabs(value), decimals);
  char* const end = buffer + kFixedTextRoom;
  char* start = end;
  for (int k = 0; k < decimals; ++k) {
    *--start = static_cast<char>('0' + units % 10);
    units /= 10;
  }
  if (decimals > 0) *--start = '.';
  do {
    *--start = static_cast<char>('0' + units % 10);
    units /= 10;
  } while (units != 0);
  // printf keeps the sign of a negative value that rounds to zero, and of -0.
  if (std::signbit(value)) *--start = '-';
  const auto length = static_cast<size_t>(end - start);
  std::memmove(buffer, start, length);
  return length;
}

void append_f4(std::string* out, double value, size_t width) {
  char buffer[kFixedTextRoom];
  const size_t length = fixed_text(value, kMostFixedDecimals, buffer);
  if (length == 0) {
    append_pad_left(out, format_f4(value), width);
    return;
  }
  append_pad_left(out, std::string_view(buffer, length), width);
}

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
