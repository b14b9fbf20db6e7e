// The one fatal-error helper of every companion tool (mirelon-ct,
// mirelon-stats, mirelon-multipliers, mirelon-check, mirelon-nef): their
// messages all go to standard error. Library code never calls it; it returns
// its error texts to the tool's main, which reports them here.
#ifndef MIRELON_TOOL_TOOL_FAIL_H_
#define MIRELON_TOOL_TOOL_FAIL_H_

namespace mirelon {

// Writes the printf-formatted message to standard error, after everything
// already written to standard output, and ends the process with exit
// status 1.
[[noreturn]] void fail(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace mirelon

#endif  // MIRELON_TOOL_TOOL_FAIL_H_
