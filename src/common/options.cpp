#include "common/options.h"

#include <getopt.h>

#include <cctype>

#include "common/messages.h"
#include "common/prediction_levels.h"

namespace mirelon {

int next_option(int argc, char* argv[], const char* options) {
  return getopt_long(argc, argv, options, nullptr, nullptr);
}

std::string option_error_message(int option, std::string_view options_with_argument) {
  const unsigned char byte = static_cast<unsigned char>(option);
  if (byte != '\0' &&
      options_with_argument.find(static_cast<char>(byte)) != std::string_view::npos) {
    return format_message("Option -%c requires an argument.\n", byte);
  }
  if (std::isprint(byte) != 0) return format_message("Unknown option '-%c'.\n", byte);
  return format_message("Unknown option character '\\x%x'.\n", byte);
}

std::string prediction_level_message(std::string_view level) {
  return format_message("Invalid prediction level '%.*s': use %ld to %ld.\n",
                        static_cast<int>(level.size()), level.data(), kMinLevel, kMaxLevel);
}

}  // namespace mirelon
