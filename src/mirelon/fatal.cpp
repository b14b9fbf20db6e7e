#include "fatal.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace mirelon {

namespace {

FatalHandler fatal_handler = nullptr;
std::string fatal_note;

}  // namespace

void set_fatal_handler(FatalHandler handler) { fatal_handler = handler; }

void set_fatal_note(std::string note) { fatal_note = std::move(note); }

void fatal(To to, const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  if (to == To::kStderr) {
    std::fflush(stdout);
    std::vfprintf(stderr, format, args);
  } else {
    std::va_list copy;
    va_copy(copy, args);
    std::vprintf(format, args);
    // A message that standard output cannot take would leave the user with
    // a bare exit status: it goes to standard error then.
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) std::vfprintf(stderr, format, copy);
    va_end(copy);
  }
  va_end(args);
  if (!fatal_note.empty()) {
    std::fputs(fatal_note.c_str(), stderr);
    fatal_note.clear();
  }
  if (fatal_handler != nullptr) {
    fatal_handler();
    std::abort();  // a handler that returns breaks the contract
  }
  std::exit(1);  // flushes standard output
}

}  // namespace mirelon
