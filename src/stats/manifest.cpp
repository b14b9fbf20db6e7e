#include "stats/manifest.h"

#include <set>

#include "common/messages.h"
#include "common/numbers.h"
#include "common/text.h"

namespace mirelon {
namespace {

bool read_offset(std::string_view text, long* offset) {
  const std::optional<long> value = whole_number_value(text);
  if (value) *offset = *value;
  return value.has_value();
}

// Offsets either "N" or "CHAIN:N,CHAIN:N".
bool read_offsets(std::string_view text, ManifestEntry* entry) {
  if (text.find(':') == std::string_view::npos) return read_offset(text, &entry->offset);
  while (!text.empty()) {
    const size_t comma = text.find(',');
    const std::string_view pair = text.substr(0, comma);
    const size_t colon = pair.find(':');
    if (colon == 0 || colon == std::string_view::npos) return false;
    long offset;
    if (!read_offset(pair.substr(colon + 1), &offset)) return false;
    if (!entry->chain_offsets.emplace(std::string(pair.substr(0, colon)), offset).second) {
      return false;
    }
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
    if (text.empty()) return false;
  }
  return true;
}

std::string resolve(const std::string& directory, std::string_view name) {
  if (name[0] == '/' || directory.empty()) return std::string(name);
  return directory + "/" + std::string(name);
}

}  // namespace

std::optional<long> ManifestEntry::position(const std::string& chain, long number) const {
  if (chain_offsets.empty()) return number + offset;
  const auto found = chain_offsets.find(chain);
  if (found == chain_offsets.end()) return std::nullopt;
  return number + found->second;
}

bool parse_manifest(std::string_view content, const std::string& file_name,
                    std::vector<ManifestEntry>* entries, std::string* error) {
  const size_t slash = file_name.rfind('/');
  const std::string directory =
      slash == std::string::npos ? std::string() : file_name.substr(0, slash == 0 ? 1 : slash);
  std::set<std::string> names;
  LineReader reader(content);
  std::vector<std::string_view> words;
  while (reader.next_words(&words)) {
    const int number = reader.line_number();
    if (words.size() < 3 || words.size() > 4) {
      *error = format_message("%s:%d: has %zu words instead of NAME STRUCTURE SHIFTS [OFFSETS]",
                              file_name.c_str(), number, words.size());
      return false;
    }
    ManifestEntry entry;
    entry.name = std::string(words[0]);
    entry.structure_file = resolve(directory, words[1]);
    entry.shift_file = resolve(directory, words[2]);
    entry.line = number;
    if (words.size() == 4 && !read_offsets(words[3], &entry)) {
      *error = format_message("%s:%d: offsets '%s' are neither a whole number nor CHAIN:N pairs",
                              file_name.c_str(), number, std::string(words[3]).c_str());
      return false;
    }
    if (!names.insert(entry.name).second) {
      *error = format_message("%s:%d: entry name %s is used twice", file_name.c_str(), number,
                              entry.name.c_str());
      return false;
    }
    entries->push_back(std::move(entry));
  }
  return true;
}

}  // namespace mirelon
