#include "numbers.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <limits>

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

double strtod_text(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

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

std::optional<double> real_number_value(std::string_view text) {
  if (text.empty() || is_space(text[0])) return std::nullopt;
  const std::string copy(text);
  char* end = nullptr;
  errno = 0;
  const double value = std::strtod(copy.c_str(), &end);
  if (end != copy.c_str() + copy.size() || errno == ERANGE) return std::nullopt;
  return value;
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

// printf into a std::string of exactly the needed size.
template <typename... Args>
std::string print_to_string(const char* format, Args... args) {
  // 64 bytes hold every %g text and the %.4f text of any value below 1e58.
  char small[64];
  const int length = std::snprintf(small, sizeof small, format, args...);
  if (length < 0) return std::string();
  if (static_cast<size_t>(length) < sizeof small) return std::string(small, length);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  std::snprintf(text.data(), text.size(), format, args...);
  text.resize(static_cast<size_t>(length));
  return text;
}

}  // namespace

std::string format_g6(double value) { return print_to_string("%g", value); }

std::string format_f4(double value) { return print_to_string("%.4f", value); }

std::string decimal(int64_t value) {
  return print_to_string("%lld", static_cast<long long>(value));
}

std::string pad_left(std::string_view text, size_t width) {
  std::string out;
  if (text.size() < width) out.assign(width - text.size(), ' ');
  out.append(text);
  return out;
}

std::string pad_right(std::string_view text, size_t width) {
  std::string out(text);
  if (out.size() < width) out.append(width - out.size(), ' ');
  return out;
}

}  // namespace mirelon
