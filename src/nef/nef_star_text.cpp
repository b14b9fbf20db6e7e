#include "nef/nef_star_text.h"

#include <algorithm>

#include "common/messages.h"
#include "common/numbers.h"

namespace mirelon {

namespace {

// A value as star_value() writes it: the text, and the quote around it
// (none for a plain value).
struct StarText {
  std::string_view text;
  char quote = 0;
  size_t size() const { return text.size() + (quote != 0 ? 2 : 0); }
};

StarText star_text(std::string_view value) {
  if (value.empty()) return {kMissing};
  // A quote inside a word ends nothing (H1'); one in front would open a
  // quoted value.
  const bool plain = value.find_first_of(" \t\r\n") == std::string_view::npos &&
                     std::string_view("'\"_#;$[]").find(value[0]) == std::string_view::npos &&
                     value.rfind("data_", 0) != 0 && value.rfind("save_", 0) != 0 &&
                     value != "loop_" && value != "stop_" && value != "?";
  if (plain) return {value};
  return {value, value.find('\'') == std::string_view::npos ? '\'' : '"'};
}

void append_star_text(const StarText& value, std::string* out) {
  if (value.quote != 0) out->push_back(value.quote);
  out->append(value.text);
  if (value.quote != 0) out->push_back(value.quote);
}

}  // namespace

std::string star_value(std::string_view value) {
  std::string out;
  append_star_text(star_text(value), &out);
  return out;
}

std::string fixed(double value, int decimals) { return format_message("%.*f", decimals, value); }

void append_items(const std::string& category,
                  const std::vector<std::pair<std::string, std::string>>& items, std::string* out) {
  size_t width = 0;
  for (const auto& item : items) width = std::max(width, category.size() + 2 + item.first.size());
  for (const auto& [tag, value] : items) {
    *out += kIndent;
    std::string name = "_";
    name.append(category).append(".").append(tag);
    append_pad_right(out, name, width + 2);
    *out += star_value(value);
    *out += '\n';
  }
}

void append_loop(const std::string& category, const std::vector<std::string>& tags,
                 const Rows& rows, std::string* out) {
  *out += "\n";
  *out += kIndent;
  *out += "loop_\n";
  for (const std::string& tag : tags) {
    *out += kIndent;
    out->append("   _").append(category).append(".").append(tag).append("\n");
  }
  *out += "\n";
  // Each value's written form is worked out where it is needed, not kept.
  std::vector<size_t> widths(tags.size(), 0);
  for (const auto& row : rows) {
    for (size_t c = 0; c < row.size(); ++c) {
      widths[c] = std::max(widths[c], star_text(row[c]).size());
    }
  }
  for (const auto& row : rows) {
    *out += kIndent;
    *out += "   ";
    for (size_t c = 0; c < row.size(); ++c) {
      const StarText value = star_text(row[c]);
      append_star_text(value, out);
      if (c + 1 < row.size()) out->append(widths[c] + 2 - value.size(), ' ');
    }
    *out += '\n';
  }
  *out += kIndent;
  *out += "stop_\n";
}

void open_saveframe(const std::string& framecode, std::string* out) {
  *out += "\nsave_" + framecode + "\n";
}

void close_saveframe(std::string* out) { *out += "save_\n"; }

void append_residue(const NefResidue& residue, std::string_view atom,
                    std::vector<std::string>* row) {
  row->push_back(residue.chain);
  row->push_back(residue.sequence_code);
  row->push_back(residue.name);
  row->emplace_back(atom);
}

}  // namespace mirelon
