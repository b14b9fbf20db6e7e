// mirelon's one way to end the run on an error.
#ifndef MIRELON_FATAL_H_
#define MIRELON_FATAL_H_

#include <string>

namespace mirelon {

// Where a message goes: the steps' fatal messages to standard output, the
// driver's option errors to standard error.
enum class To { kStdout, kStderr };

// Writes the printf-formatted message to the stream `to` and ends the
// process with exit status 1. A message for standard output goes to standard
// error too when standard output fails; a message for standard error comes
// after everything already written to standard output. Every message that
// ends a run goes through here, so that the compiler checks each message
// against its arguments.
[[noreturn]] void fatal(To to, const char* format, ...) __attribute__((format(printf, 2, 3)));

// A line that the next fatal() writes to standard error after its message
// (a "Note: " on what the user can do); empty for none.
void set_fatal_note(std::string note);

// What fatal() does after its message: by default it ends the process with
// exit status 1. A harness that runs the steps in-process (the fuzz targets)
// installs a handler that throws instead, so that it survives the run; the
// handler must not return.
using FatalHandler = void (*)();
void set_fatal_handler(FatalHandler handler);

}  // namespace mirelon

#endif  // MIRELON_FATAL_H_
