// The NEF dictionary as the tests check written files against it: its
// categories, their items and the values each item allows.
#ifndef MIRELON_TESTS_NEF_NEF_DICTIONARY_H_
#define MIRELON_TESTS_NEF_NEF_DICTIONARY_H_

#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace mirelon {

struct NefItemRule {
  bool mandatory = false;
  std::string type;               // item type code: "int", "float", "word", ...
  std::set<std::string> allowed;  // enumeration values; empty for any value
};

struct NefCategoryRule {
  bool mandatory = false;
  std::string parent;             // saveframe category of a loop category; empty for a saveframe
  std::vector<std::string> keys;  // item names without the category
  std::map<std::string, NefItemRule> items;
};

struct NefDictionary {
  std::map<std::string, NefCategoryRule> categories;
  // Item type code -> its pattern, for the closed types (numbers, booleans,
  // potential types, identifiers).
  std::map<std::string, std::regex> type_patterns;
};

// Reads the dictionary file `path`; false with the reason in `error`.
bool load_nef_dictionary(const std::string& path, NefDictionary* dictionary, std::string* error);

// Every way in which the NEF text `content` breaks the dictionary, one line
// each: unknown saveframe categories, tags and loops, missing mandatory
// saveframes, items and loops, values outside an item's enumeration or type,
// repeated loop keys. Empty for a valid file.
std::vector<std::string> check_nef_file(const NefDictionary& dictionary,
                                        const std::string& content);

}  // namespace mirelon

#endif  // MIRELON_TESTS_NEF_NEF_DICTIONARY_H_
