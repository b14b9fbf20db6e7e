// mirelon's one way to end the run on an error.
#ifndef MIRELON_FATAL_H_
#define MIRELON_FATAL_H_

#include <string>
#include <vector>

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

// The output files of this run, of which every complete run writes the
// first `always_written` (the macro file may stay unwritten), and each one
// as a step has written it. After the message of a fatal error that comes
// when some but not all of those were written, fatal() adds a "Note: " line
// naming them and the outputs in the working directory that this run did not
// write, so that a user does not take old and new files for one run's.
void set_run_outputs(std::vector<std::string> names, size_t always_written);
void record_written_file(const std::string& name);

// What fatal() does after its message: by default it ends the process with
// exit status 1. A harness that runs the steps in-process (the fuzz targets)
// installs a handler that throws instead, so that it survives the run; the
// handler must not return.
using FatalHandler = void (*)();
void set_fatal_handler(FatalHandler handler);

}  // namespace mirelon

#endif  // MIRELON_FATAL_H_
