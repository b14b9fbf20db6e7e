#include "tool/tool_fail.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace mirelon {

void fail(const char* format, ...) {
  std::fflush(stdout);
  std::va_list args;
  va_start(args, format);
  std::vfprintf(stderr, format, args);
  va_end(args);
  std::exit(1);
}

}  // namespace mirelon
