#include "stats/manifest.h"

#include <set>

#include "common/messages.h"
#include "common/numbers.h"
#include "common/text.h"
#include "shifts/shift_offsets.h"

namespace mirelon {
namespace {

std::string resolve(const std::string& directory, std::string_view name) {
  if (name[0] == '/' || directory.empty()) return std::string(name);
  return directory + "/" + std::string(name);
}

}  // namespace

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
    // "-" for the shifts: a structure only, whose contexts count for the
    // frequency of each context key.
    if (words[2] != "-") entry.shift_file = resolve(directory, words[2]);
    entry.line = number;
    if (words.size() == 4 && !parse_shift_offsets(words[3], &entry.offsets)) {
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
