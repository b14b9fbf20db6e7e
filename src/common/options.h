// The command-line option errors that every tool reports in the same words.
#ifndef MIRELON_OPTIONS_H_
#define MIRELON_OPTIONS_H_

#include <string>
#include <string_view>

namespace mirelon {

// The next option of the command line, as getopt gives it, with GNU argument
// permutation on every C library: options after a file name are still
// options. (getopt_long without long options is getopt where the C library
// permutes, and permutes where its getopt does not.)
int next_option(int argc, char* argv[], const char* options);

// The message for an option that getopt (with opterr 0) refused, `option`
// being its optopt: "Option -%c requires an argument.\n" when `option` is one
// of `options_with_argument`, otherwise "Unknown option '-%c'.\n" for a
// printable byte and "Unknown option character '\x%x'.\n" for any other.
// getopt hands a byte above 127 back sign-extended; the byte itself is named.
std::string option_error_message(int option, std::string_view options_with_argument);

// The message for a prediction level that is not one of kMinLevel to
// kMaxLevel: "Invalid prediction level 'LEVEL': use 1 to 11.\n".
std::string prediction_level_message(std::string_view level);

}  // namespace mirelon

#endif  // MIRELON_OPTIONS_H_
