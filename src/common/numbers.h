// Number conversions and fixed-width formatting shared by the steps.
//
// Every input field is kept as text and converted only where its value is used,
// each conversion with the rules of one C or C++ library routine. The names say
// which rule applies, so that a reader can match every use to its file format.
#ifndef MIRELON_NUMBERS_H_
#define MIRELON_NUMBERS_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mirelon {

// Reads `text` the way a formatted stream extraction reads an int: leading
// white space, an optional sign, then decimal digits; anything after the digits
// is ignored. Returns 0 when there are no digits or when the value lies outside
// the range of a 32-bit signed int.
int32_t stream_int(std::string_view text);

// Reads `text` like std::strtol in base 10 with a 64-bit long, on every
// platform (the browser page's long has 32 bits): leading white space,
// optional sign, digits up to the first other character; 0 without digits,
// INT64_MIN or INT64_MAX when the value does not fit. A NUL byte ends the
// text. Reads the view in place, without a copy.
int64_t strtol10(std::string_view text);

// Reads `text` like std::strtod in the "C" locale; 0 when no number starts it.
// A NUL byte ends the text. A plain decimal text is read in place; only
// other texts (white space, '+', inf, nan, hexadecimal, text after the
// number) are copied for strtod.
double strtod_text(std::string_view text);

// True when `text` is an optional '+' or '-' followed by one or more decimal
// digits and nothing else.
bool is_whole_number(std::string_view text);

// The value of `text` when the whole text is a whole number (is_whole_number)
// that fits 64 bits (a long of the native programs, on every platform);
// nothing otherwise.
std::optional<int64_t> whole_number_value(std::string_view text);

// The value of `text` when the whole text is a real number as strtod reads it
// (no leading blanks, nothing after it) and is not out of range; nothing
// otherwise.
std::optional<double> real_number_value(std::string_view text);

// Like real_number_value(), but a value beyond the range of a double reads
// as strtod gives it (infinity with its sign; 0 or a tiny value below the
// range) instead of nothing.
std::optional<double> real_number_value_any_range(std::string_view text);

// True when std::strtod reads a number at the start of `text` (after white
// space), so that strtod_text() gives that number rather than the 0 of a
// text without one.
bool starts_with_number(std::string_view text);

// Formats like printf "%g" with precision 6, which is how a default-formatted
// output stream writes a double: 0.15, 1.23457, 0, 1e+06.
std::string format_g6(double value);

// Formats like printf "%.4f": 7.9 -> "7.9000", 1e6 -> "1000000.0000".
std::string format_f4(double value);

// Appends format_f4(value) to `out`, widened to `width` characters with
// blanks on the left as append_pad_left() widens it, without a string in
// between. Values below 1e15 in magnitude are rounded with integer arithmetic
// exactly as printf rounds them (to nearest, ties to even, on the exact
// binary value), the same bytes on every standard library.
void append_f4(std::string* out, double value, size_t width);

// Room that fixed_text() needs: a sign, 15 whole digits, the point, 4 decimals.
inline constexpr size_t kFixedTextRoom = 24;

// Writes `value` with `decimals` (0 to 4) decimals as printf "%.Nf" does
// into `buffer` (kFixedTextRoom bytes, no NUL) and returns the length, when
// the value is finite and below 1e15 in magnitude: rounded with integer
// arithmetic, to nearest with ties to even on the exact binary value, as
// printf rounds. Returns 0, writing nothing, for any other value or count.
size_t fixed_text(double value, int decimals, char* buffer);

// Decimal text of `value`: no leading zeros, no plus sign, '-' when negative.
std::string decimal(int64_t value);

// `text` widened to `width` characters with blanks on the left; a longer text
// is returned whole, never cut.
std::string pad_left(std::string_view text, size_t width);

// Appends pad_left(text, width) to `out`, without a string in between.
void append_pad_left(std::string* out, std::string_view text, size_t width);

// `text` widened to `width` characters with blanks on the right; a longer text
// is returned whole, never cut.
std::string pad_right(std::string_view text, size_t width);

// Appends pad_right(text, width) to `out`, without a string in between.
void append_pad_right(std::string* out, std::string_view text, size_t width);

// True when `text` names a prediction level: one or more decimal digits, no
// sign, no blanks, with a value from 1 to 11 ("05" is level 5).
bool is_prediction_level(std::string_view text);

// True for the characters a formatted stream extraction treats as white space
// in the "C" locale: blank, tab, line feed, vertical tab, form feed, carriage
// return.
constexpr bool is_space(char c) {
  // Tab, line feed, vertical tab, form feed and carriage return are the
  // consecutive codes 9 to 13; one unsigned comparison tests all five.
  return c == ' ' || static_cast<unsigned char>(c - '\t') <= '\r' - '\t';
}

}  // namespace mirelon

#endif  // MIRELON_NUMBERS_H_
