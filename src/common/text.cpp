#include "common/text.h"

#include <algorithm>
#include <cstring>

#include "common/numbers.h"

namespace mirelon {

bool LineReader::next(std::string_view* line, bool* terminated) {
  if (rest_.empty()) return false;
  const size_t end = rest_.find('\n');
  ++line_number_;
  if (end == std::string_view::npos) {
    *line = rest_;
    *terminated = false;
    rest_ = std::string_view();
  } else {
    *line = rest_.substr(0, end);
    *terminated = true;
    rest_.remove_prefix(end + 1);
  }
  return true;
}

bool LineReader::next_nonblank(std::string_view* line) {
  bool terminated = false;
  while (next(line, &terminated)) {
    if (!is_blank(*line)) return true;
  }
  return false;
}

bool LineReader::next_words(std::vector<std::string_view>* words) {
  std::string_view line;
  bool terminated;
  while (next(&line, &terminated)) {
    *words = split_words(line);
    if (!words->empty() && (*words)[0][0] != '#') return true;
  }
  return false;
}

std::vector<std::string_view> split_words(std::string_view text) {
  std::vector<std::string_view> words;
  WordScanner scanner(text);
  std::string_view word;
  while (scanner.next(&word)) words.push_back(word);
  return words;
}

bool is_blank(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return is_space(c); });
}

std::string_view trim_space(std::string_view text) {
  while (!text.empty() && is_space(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_space(text.back())) text.remove_suffix(1);
  return text;
}

long long count_terminated_lines(std::string_view content) {
  // memchr skips the bytes between line feeds many at a time.
  long long count = 0;
  const char* p = content.data();
  const char* const end = p + content.size();
  while (p < end) {
    const void* found = std::memchr(p, '\n', static_cast<size_t>(end - p));
    if (found == nullptr) break;
    ++count;
    p = static_cast<const char*>(found) + 1;
  }
  return count;
}

std::string xml_escape(std::string_view text) {
  std::string escaped;
  for (char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      case '\'':
        escaped += "&apos;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

}  // namespace mirelon
