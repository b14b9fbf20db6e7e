#include "common/messages.h"

#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <string_view>

#include "common/numbers.h"

namespace mirelon {

namespace {

// How every capacity message starts.
constexpr char kCapacityStart[] = "Error: String array size ";

// Appends the text of `format` and `args` to `out`.
// One conversion of a printf format: "%-8.2f" is left-aligned, width 8,
// precision 2, conversion 'f'.
struct Conversion {
  bool left = false;
  bool plus = false;
  size_t width = 0;
  int precision = -1;  // none given
  int longs = 0;       // 'l' count
  bool size = false;   // 'z'
  char type = 0;
};

// Reads the conversion that starts after the '%' at `*at` and moves `*at`
// past it. Returns false for what the formatter below leaves to the C
// library: other flags, '*', other length modifiers or conversions, and
// "%%" (which has no argument and is simply copied).
bool read_conversion(const char** at, Conversion* conversion) {
  const char* p = *at;
  for (;; ++p) {
    if (*p == '-') {
      conversion->left = true;
    } else if (*p == '+') {
      conversion->plus = true;
    } else {
      break;
    }
  }
  if (*p == '0') return false;  // the '0' flag
  for (; *p >= '0' && *p <= '9'; ++p) {
    conversion->width = conversion->width * 10 + static_cast<size_t>(*p - '0');
  }
  if (*p == '.') {
    conversion->precision = 0;
    for (++p; *p >= '0' && *p <= '9'; ++p) {
      conversion->precision = conversion->precision * 10 + (*p - '0');
    }
  }
  if (*p == 'z') {
    conversion->size = true;
    ++p;
  }
  for (; *p == 'l' && conversion->longs < 2; ++p) ++conversion->longs;
  conversion->type = *p;
  if (*p == '\0') return false;  // a format that ends in the middle of a conversion
  *at = p + 1;
  switch (conversion->type) {
    case 'd':
    case 'i':
      return !conversion->size && conversion->precision < 0;
    case 'u':
      return !(conversion->size && conversion->longs > 0) && conversion->precision < 0;
    case 's':
    case 'c':
      return !conversion->size && conversion->longs == 0 && !conversion->plus &&
             (conversion->type == 's' || conversion->precision < 0);
    case 'f':
      return !conversion->size && conversion->longs <= 1 && conversion->precision >= 0;
    default:
      return false;
  }
}

// Appends `text` widened to the conversion's width.
void append_field(std::string* out, std::string_view text, const Conversion& conversion) {
  const size_t fill = conversion.width > text.size() ? conversion.width - text.size() : 0;
  if (!conversion.left) out->append(fill, ' ');
  out->append(text);
  if (conversion.left) out->append(fill, ' ');
}

// Formats the conversions of `format` that the shift list, the pictures and
// the messages use (flags '-' and '+', widths, "%.Nf", "%d", "%ld", "%lld",
// "%u", "%zu", "%s", "%.Ns", "%c", "%%") without the C library's general
// machinery: "%.Nf" with N up to 4 by fixed_text(), the others by simple
// copies; a "%.Nf" that fixed_text() does not take (more decimals, values
// of 1e15 and above, inf, nan) goes to snprintf alone. Returns false,
// having read no argument and written nothing, when the format holds
// anything else.
bool append_known_formats(std::string* out, const char* format, std::va_list args) {
  for (const char* p = format; *p != '\0';) {
    if (*p++ != '%') continue;
    if (*p == '%') {
      ++p;
      continue;
    }
    Conversion conversion;
    if (!read_conversion(&p, &conversion)) return false;
  }
  const size_t start = out->size();
  for (const char* p = format; *p != '\0';) {
    const char* const plain = p;
    while (*p != '\0' && *p != '%') ++p;
    out->append(plain, static_cast<size_t>(p - plain));
    if (*p == '\0') break;
    const char* const conversion_start = p++;
    if (*p == '%') {
      out->push_back('%');
      ++p;
      continue;
    }
    Conversion conversion;
    read_conversion(&p, &conversion);
    char text[kFixedTextRoom + 1];
    switch (conversion.type) {
      case 'd':
      case 'i':
      case 'u': {
        const bool is_signed = conversion.type != 'u';
        long long value = 0;
        unsigned long long magnitude = 0;
        // Only the chosen va_arg of each conditional reads an argument.
        if (is_signed) {
          value = conversion.longs == 2   ? va_arg(args, long long)
                  : conversion.longs == 1 ? va_arg(args, long)
                                          : va_arg(args, int);
        } else {
          magnitude = conversion.size         ? va_arg(args, size_t)
                      : conversion.longs == 2 ? va_arg(args, unsigned long long)
                      : conversion.longs == 1 ? va_arg(args, unsigned long)
                                              : va_arg(args, unsigned int);
        }
        char* end = text;
        if (is_signed) {
          if (value >= 0 && conversion.plus) *end++ = '+';
          end = std::to_chars(end, text + sizeof text, value).ptr;
        } else {
          end = std::to_chars(end, text + sizeof text, magnitude).ptr;
        }
        append_field(out, std::string_view(text, static_cast<size_t>(end - text)), conversion);
        break;
      }
      case 's': {
        const char* value = va_arg(args, const char*);
        const std::string_view whole(value);
        append_field(out,
                     conversion.precision < 0
                         ? whole
                         : whole.substr(0, static_cast<size_t>(conversion.precision)),
                     conversion);
        break;
      }
      case 'c': {
        const char value = static_cast<char>(va_arg(args, int));
        append_field(out, std::string_view(&value, 1), conversion);
        break;
      }
      default: {  // 'f'
        const double value = va_arg(args, double);
        size_t length = 0;
        if (conversion.plus && !std::signbit(value)) text[length++] = '+';
        const size_t digits = fixed_text(value, conversion.precision, text + length);
        if (digits == 0) {
          // This one conversion as the C library writes it.
          const std::string one(conversion_start, static_cast<size_t>(p - conversion_start));
          char wide[512];
          const int written = std::snprintf(wide, sizeof wide, one.c_str(), value);
          if (written < 0 || static_cast<size_t>(written) >= sizeof wide) {
            out->resize(start);
            return false;  // cannot happen for the formats in use; start over
          }
          out->append(wide, static_cast<size_t>(written));
          break;
        }
        append_field(out, std::string_view(text, length + digits), conversion);
        break;
      }
    }
  }
  return true;
}

// Most texts fit a small buffer and are formatted once; a longer one is
// formatted again into room of its measured length.
void append_formatted(std::string* out, const char* format, std::va_list args) {
  {
    std::va_list copy;
    va_copy(copy, args);
    const bool done = append_known_formats(out, format, copy);
    va_end(copy);
    if (done) return;
  }
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
