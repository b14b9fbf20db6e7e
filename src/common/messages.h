// Building message texts: printf-formatted strings, the shared capacity
// message and the form of warnings. Nothing here prints; each program
// reports the texts its own way.
#ifndef MIRELON_COMMON_MESSAGES_H_
#define MIRELON_COMMON_MESSAGES_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace mirelon {

// Returns the printf-formatted text. Parsers use it to build the exact
// message that their program reports.
std::string format_message(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Appends the printf-formatted text to `out`, whole, however long.
void append_message(std::string* out, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// The message for a count above a table's capacity, shared by every step:
// "Error: String array size COUNT larger than maximum CAPACITY.\n".
// True when `message` is a capacity_message().
bool is_capacity_message(std::string_view message);

std::string capacity_message(long long count, long long capacity);

// At most this many positions are named in a warning; "and N more" follows.
inline constexpr size_t kMaxWarningPositions = 10;

// The one form of every tool's warnings, about something a run that
// completes leaves out: "Warning: FILE: WHAT\n".
std::string format_warning(std::string_view file, std::string_view what);

// "Warning: FILE: WHAT: P1, P2, ... and N more\n", naming at most
// kMaxWarningPositions of the `positions` (none: as without positions).
std::string format_warning(std::string_view file, std::string_view what,
                           const std::vector<std::string>& positions);

}  // namespace mirelon

#endif  // MIRELON_COMMON_MESSAGES_H_
