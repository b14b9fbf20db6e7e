#include "common/star.h"

#include "common/messages.h"

namespace mirelon {

namespace {

bool is_star_space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool starts_with(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::string star_error(const std::string& file_name, int line, const std::string& reason) {
  return format_message("%s:%d: %s", file_name.c_str(), line, reason.c_str());
}

bool tokenize_star(std::string_view content, const std::string& file_name,
                   std::vector<StarToken>* tokens, std::string* error) {
  size_t i = 0;
  int line = 1;
  bool line_start = true;
  while (i < content.size()) {
    const char c = content[i];
    if (c == '\n') {
      ++line;
      ++i;
      line_start = true;
      continue;
    }
    if (is_star_space(c)) {
      ++i;
      line_start = false;
      continue;
    }
    if (c == ';' && line_start) {
      // The text field runs to the next line that begins with ';'.
      const int first_line = line;
      size_t search = i + 1;
      for (;;) {
        const size_t newline = content.find('\n', search);
        if (newline == std::string_view::npos) {
          *error = star_error(file_name, first_line, "text field opened by ';' is not closed");
          return false;
        }
        ++line;
        if (newline + 1 < content.size() && content[newline + 1] == ';') {
          tokens->push_back({content.substr(i + 1, newline - i - 1), first_line, true});
          i = newline + 2;
          break;
        }
        search = newline + 1;
      }
      line_start = false;
      continue;
    }
    line_start = false;
    if (c == '#') {
      while (i < content.size() && content[i] != '\n') ++i;
      continue;
    }
    if (c == '\'' || c == '"') {
      size_t j = i + 1;
      while (j < content.size() && content[j] != '\n' &&
             !(content[j] == c && (j + 1 == content.size() || is_star_space(content[j + 1])))) {
        ++j;
      }
      if (j >= content.size() || content[j] != c) {
        *error = star_error(file_name, line, "quoted value is not closed on its line");
        return false;
      }
      tokens->push_back({content.substr(i + 1, j - i - 1), line, true});
      i = j + 1;
      continue;
    }
    size_t j = i;
    while (j < content.size() && !is_star_space(content[j])) ++j;
    tokens->push_back({content.substr(i, j - i), line, false});
    i = j;
  }
  return true;
}

bool is_star_keyword(const StarToken& token) {
  if (token.quoted) return false;
  const std::string_view t = token.text;
  return t == "loop_" || t == "stop_" || starts_with(t, "save_") || starts_with(t, "data_") ||
         starts_with(t, "global_") || (!t.empty() && t[0] == '_');
}

}  // namespace mirelon
