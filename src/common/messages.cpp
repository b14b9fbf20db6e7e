#include "common/messages.h"

#include <cstdarg>
#include <cstdio>

namespace mirelon {

namespace {

// How every capacity message starts.
constexpr char kCapacityStart[] = "Error: String array size ";

// Appends the text of `format` and `args` to `out`.
// Most texts fit a small buffer and are formatted once; a longer one is
// formatted again into room of its measured length.
void append_formatted(std::string* out, const char* format, std::va_list args) {
  std::va_list copy;
  va_copy(copy, args);
  char buffer[256];
  const int length = std::vsnprintf(buffer, sizeof buffer, format, copy);
  va_end(copy);
  if (length <= 0) return;
  const auto size = static_cast<size_t>(length);
  if (size < sizeof buffer) {
    out->append(buffer, size);
    return;
  }
  const size_t start = out->size();
  out->resize(start + size + 1);
  std::vsnprintf(out->data() + start, size + 1, format, args);
  out->resize(start + size);
}

}  // namespace

std::string format_message(const char* format, ...) {
  std::string text;
  std::va_list args;
  va_start(args, format);
  append_formatted(&text, format, args);
  va_end(args);
  return text;
}

void append_message(std::string* out, const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  append_formatted(out, format, args);
  va_end(args);
}

bool is_capacity_message(std::string_view message) {
  return message.substr(0, sizeof kCapacityStart - 1) == kCapacityStart;
}

std::string capacity_message(long long count, long long capacity) {
  // The message prints both numbers as %d; counts never reach the int range
  // limits on inputs that fit in memory, but print them whole regardless.
  return format_message("%s%lld larger than maximum %lld.\n", kCapacityStart, count, capacity);
}

std::string format_warning(std::string_view file, std::string_view what) {
  std::string line = "Warning: ";
  line += file;
  line += ": ";
  line += what;
  line += '\n';
  return line;
}

std::string format_warning(std::string_view file, std::string_view what,
                           const std::vector<std::string>& positions) {
  std::string named;
  for (size_t k = 0; k < positions.size() && k < kMaxWarningPositions; ++k) {
    if (k > 0) named += ", ";
    named += positions[k];
  }
  if (positions.size() > kMaxWarningPositions) {
    named += format_message(" and %zu more", positions.size() - kMaxWarningPositions);
  }
  std::string text(what);
  if (!named.empty()) text += ": " + named;
  return format_warning(file, text);
}

}  // namespace mirelon
