#include "common/messages.h"

#include <cstdarg>
#include <cstdio>

namespace mirelon {

std::string format_message(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  std::va_list copy;
  va_copy(copy, args);
  const int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string text;
  if (length > 0) {
    text.resize(static_cast<size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(static_cast<size_t>(length));
  }
  va_end(args);
  return text;
}

std::string capacity_message(long long count, long long capacity) {
  // The message prints both numbers as %d; counts never reach the int range
  // limits on inputs that fit in memory, but print them whole regardless.
  return format_message("Error: String array size %lld larger than maximum %lld.\n", count,
                        capacity);
}

}  // namespace mirelon
