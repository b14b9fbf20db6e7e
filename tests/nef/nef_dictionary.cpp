#include "nef/nef_dictionary.h"

#include <initializer_list>
#include <string_view>

#include "common/files.h"
#include "nef/star_tree.h"

namespace mirelon {

namespace {

constexpr const char* kMissingValue = ".";
const std::set<std::string> kClosedTypes = {"int", "float", "boolean", "potential_type", "idname"};

const std::string* item_value(const StarFrame& frame, const std::string& tag) {
  for (const auto& item : frame.items) {
    if (item.first == tag) return &item.second;
  }
  return nullptr;
}

// "_category.item" split at the dot.
bool split_tag(const std::string& tag, std::string* category, std::string* item) {
  const size_t dot = tag.find('.');
  if (tag.empty() || tag[0] != '_' || dot == std::string::npos) return false;
  *category = tag.substr(1, dot - 1);
  *item = tag.substr(dot + 1);
  return true;
}

std::string join(std::initializer_list<std::string_view> parts) {
  std::string text;
  for (std::string_view part : parts) text.append(part);
  return text;
}

bool matches_type(const NefDictionary& dictionary, const std::string& type,
                  const std::string& value) {
  for (char c : value) {
    if ((c < ' ' || c > '~') && c != '\n') return false;
  }
  const auto pattern = dictionary.type_patterns.find(type);
  if (pattern != dictionary.type_patterns.end()) return std::regex_match(value, pattern->second);
  // The free-text types: word-like ones hold no blank.
  if (type == "word" || type == "nef_framecode" || type == "timestamp" || type == "uuid") {
    return value.find_first_of(" \t\n") == std::string::npos;
  }
  return true;
}

}  // namespace

bool load_nef_dictionary(const std::string& path, NefDictionary* dictionary, std::string* error) {
  std::string content;
  if (!read_input_file(path.c_str(), &content)) {
    *error = "cannot read " + path;
    return false;
  }
  std::vector<StarBlock> blocks;
  if (!parse_star(content, path, &blocks, error)) return false;
  NefDictionary result;
  for (const StarBlock& block : blocks) {
    for (const StarLoop& loop : block.own.loops) {
      if (loop.tags.size() >= 3 && loop.tags[0] == "_item_type_list.code" &&
          loop.tags[2] == "_item_type_list.construct") {
        for (const auto& row : loop.rows) {
          // Only the closed types: the patterns of the free-text types use
          // bracket expressions that the standard library does not read alike.
          if (kClosedTypes.count(row[0]) != 0) {
            result.type_patterns[row[0]] = std::regex(row[2], std::regex::extended);
          }
        }
      }
    }
    for (const StarFrame& frame : block.saveframes) {
      if (const std::string* id = item_value(frame, "_category.id")) {
        NefCategoryRule& category = result.categories[*id];
        const std::string* mandatory = item_value(frame, "_category.mandatory_code");
        category.mandatory = mandatory != nullptr && *mandatory == "yes";
        if (const std::string* parent = item_value(frame, "_category.parent_category_id")) {
          category.parent = *parent;
        }
        std::string key_category, key_item;
        if (const std::string* key = item_value(frame, "_category_key.name")) {
          if (split_tag(*key, &key_category, &key_item)) category.keys.push_back(key_item);
        }
        for (const StarLoop& loop : frame.loops) {
          if (loop.tags[0] != "_category_key.name") continue;
          for (const auto& row : loop.rows) {
            if (split_tag(row[0], &key_category, &key_item)) category.keys.push_back(key_item);
          }
        }
      }
      if (const std::string* name = item_value(frame, "_item.name")) {
        std::string category, item;
        if (!split_tag(*name, &category, &item)) continue;
        NefItemRule& rule = result.categories[category].items[item];
        const std::string* mandatory = item_value(frame, "_item.mandatory_code");
        rule.mandatory = mandatory != nullptr && *mandatory == "yes";
        if (const std::string* type = item_value(frame, "_item_type.code")) rule.type = *type;
        for (const StarLoop& loop : frame.loops) {
          if (loop.tags[0] != "_item_enumeration.value") continue;
          for (const auto& row : loop.rows) rule.allowed.insert(row[0]);
        }
      }
    }
  }
  *dictionary = std::move(result);
  return true;
}

std::vector<std::string> check_nef_file(const NefDictionary& dictionary,
                                        const std::string& content) {
  std::vector<std::string> faults;
  std::vector<StarBlock> blocks;
  std::string error;
  if (!parse_star(content, "nef", &blocks, &error)) return {error};
  if (blocks.empty()) return {"no data block"};
  const StarBlock& block = blocks[0];
  if (block.own.name.rfind("nef_", 0) != 0) faults.emplace_back("data block name lacks nef_");
  if (!block.own.items.empty() || !block.own.loops.empty()) {
    faults.emplace_back("items or loops outside saveframes");
  }
  auto check_value = [&](const std::string& where, const NefItemRule& rule,
                         const std::string& value) {
    if (value == kMissingValue) {
      if (rule.mandatory) faults.push_back(where + ": mandatory item is '.'");
      return;
    }
    if (!rule.allowed.empty() && rule.allowed.count(value) == 0) {
      faults.push_back(where + ": '" + value + "' is not in its enumeration");
    }
    if (!matches_type(dictionary, rule.type, value)) {
      faults.push_back(where + ": '" + value + "' is no " + rule.type);
    }
  };
  std::set<std::string> seen_categories;
  std::set<std::string> framecodes;
  for (const StarFrame& frame : block.saveframes) {
    std::string category;
    for (const auto& [tag, value] : frame.items) {
      std::string tag_category, item;
      if (!split_tag(tag, &tag_category, &item)) {
        faults.push_back(frame.name + ": bad tag " + tag);
        continue;
      }
      if (category.empty()) category = tag_category;
      if (tag_category != category)
        faults.push_back(frame.name + ": tag " + tag + " of another category");
      const auto rules = dictionary.categories.find(tag_category);
      if (rules == dictionary.categories.end() || rules->second.items.count(item) == 0) {
        faults.push_back(frame.name + ": tag " + tag + " is not in the dictionary");
        continue;
      }
      check_value(frame.name + " " + tag, rules->second.items.at(item), value);
    }
    const auto rules = dictionary.categories.find(category);
    if (rules == dictionary.categories.end() || !rules->second.parent.empty()) {
      faults.push_back(frame.name + ": category '" + category + "' is no saveframe category");
      continue;
    }
    seen_categories.insert(category);
    const std::string* sf_category = item_value(frame, "_" + category + ".sf_category");
    const std::string* framecode = item_value(frame, "_" + category + ".sf_framecode");
    if (sf_category == nullptr || *sf_category != category) {
      faults.push_back(frame.name + ": sf_category is not " + category);
    }
    if (framecode == nullptr || *framecode != frame.name || frame.name.rfind(category, 0) != 0) {
      faults.push_back(frame.name + ": sf_framecode does not match the saveframe and category");
    }
    if (!framecodes.insert(frame.name).second) faults.push_back(frame.name + ": repeated");
    for (const auto& [item, rule] : rules->second.items) {
      if (rule.mandatory && item_value(frame, join({"_", category, ".", item})) == nullptr) {
        faults.push_back(frame.name + ": mandatory item " + item + " missing");
      }
    }
    std::set<std::string> loop_categories;
    for (const StarLoop& loop : frame.loops) {
      std::string loop_category, item;
      split_tag(loop.tags[0], &loop_category, &item);
      const auto loop_rules = dictionary.categories.find(loop_category);
      if (loop_rules == dictionary.categories.end() || loop_rules->second.parent != category) {
        faults.push_back(frame.name + ": loop " + loop_category + " does not belong here");
        continue;
      }
      loop_categories.insert(loop_category);
      std::vector<const NefItemRule*> column_rules;
      std::map<std::string, size_t> column_of;
      for (size_t c = 0; c < loop.tags.size(); ++c) {
        std::string tag_category;
        split_tag(loop.tags[c], &tag_category, &item);
        const auto found = loop_rules->second.items.find(item);
        if (tag_category != loop_category || found == loop_rules->second.items.end()) {
          faults.push_back(frame.name + ": loop tag " + loop.tags[c] + " is not in the dictionary");
          column_rules.push_back(nullptr);
          continue;
        }
        column_rules.push_back(&found->second);
        column_of[item] = c;
      }
      for (const auto& [name, rule] : loop_rules->second.items) {
        if (rule.mandatory && column_of.count(name) == 0) {
          faults.push_back(join({frame.name, ": loop ", loop_category, " lacks mandatory ", name}));
        }
      }
      std::set<std::vector<std::string>> keys;
      for (const auto& row : loop.rows) {
        for (size_t c = 0; c < row.size(); ++c) {
          if (column_rules[c] != nullptr) {
            check_value(frame.name + " " + loop.tags[c], *column_rules[c], row[c]);
          }
        }
        std::vector<std::string> key;
        for (const std::string& name : loop_rules->second.keys) {
          const auto column = column_of.find(name);
          key.push_back(column == column_of.end() ? "" : row[column->second]);
        }
        if (!keys.insert(key).second) {
          std::string text;
          for (const std::string& part : key) text += " " + part;
          faults.push_back(join({frame.name, ": loop ", loop_category, " repeats key", text}));
        }
      }
    }
    for (const auto& [name, loop_rule] : dictionary.categories) {
      if (loop_rule.parent == category && loop_rule.mandatory && loop_categories.count(name) == 0) {
        faults.push_back(frame.name + ": mandatory loop " + name + " missing");
      }
    }
  }
  for (const auto& [name, rule] : dictionary.categories) {
    if (rule.parent.empty() && rule.mandatory && seen_categories.count(name) == 0) {
      faults.push_back("mandatory saveframe " + name + " missing");
    }
  }
  return faults;
}

}  // namespace mirelon
