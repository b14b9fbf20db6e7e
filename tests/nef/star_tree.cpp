#include "nef/star_tree.h"

#include "common/messages.h"
#include "common/star.h"

namespace mirelon {

namespace {

bool is_tag(const StarToken& token) {
  return !token.quoted && !token.text.empty() && token.text[0] == '_';
}

bool starts_with(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

bool parse_star(std::string_view content, const std::string& file_name,
                std::vector<StarBlock>* blocks, std::string* error) {
  std::vector<StarToken> tokens;
  if (!tokenize_star(content, file_name, &tokens, error)) return false;
  std::vector<StarBlock> result;
  StarFrame* frame = nullptr;  // where items and loops go
  bool in_saveframe = false;
  int saveframe_line = 0;
  size_t i = 0;
  while (i < tokens.size()) {
    const StarToken& token = tokens[i];
    const std::string_view text = token.text;
    if (!token.quoted && starts_with(text, "data_")) {
      if (in_saveframe) {
        *error = star_error(file_name, saveframe_line, "saveframe is not closed by save_");
        return false;
      }
      result.emplace_back();
      result.back().own.name = std::string(text.substr(5));
      result.back().own.line = token.line;
      frame = &result.back().own;
      ++i;
      continue;
    }
    if (frame == nullptr) {
      *error =
          star_error(file_name, token.line, "'" + std::string(text) + "' outside a data block");
      return false;
    }
    if (!token.quoted && starts_with(text, "save_")) {
      if (text == "save_") {
        if (!in_saveframe) {
          *error = star_error(file_name, token.line, "save_ closes no saveframe");
          return false;
        }
        in_saveframe = false;
        frame = &result.back().own;
      } else {
        if (in_saveframe) {
          *error = star_error(file_name, token.line, "saveframe opened inside a saveframe");
          return false;
        }
        in_saveframe = true;
        saveframe_line = token.line;
        result.back().saveframes.emplace_back();
        frame = &result.back().saveframes.back();
        frame->name = std::string(text.substr(5));
        frame->line = token.line;
      }
      ++i;
      continue;
    }
    if (!token.quoted && text == "loop_") {
      StarLoop loop;
      loop.line = token.line;
      ++i;
      while (i < tokens.size() && is_tag(tokens[i])) loop.tags.emplace_back(tokens[i++].text);
      if (loop.tags.empty()) {
        *error = star_error(file_name, loop.line, "loop without tags");
        return false;
      }
      std::vector<std::string> values;
      while (i < tokens.size() && !is_star_keyword(tokens[i]))
        values.emplace_back(tokens[i++].text);
      if (values.size() % loop.tags.size() != 0) {
        *error = star_error(file_name, loop.line,
                            format_message("loop has %zu values, not a multiple of its %zu tags",
                                           values.size(), loop.tags.size()));
        return false;
      }
      for (size_t v = 0; v < values.size(); v += loop.tags.size()) {
        loop.rows.emplace_back(values.begin() + static_cast<long>(v),
                               values.begin() + static_cast<long>(v + loop.tags.size()));
      }
      if (i < tokens.size() && !tokens[i].quoted && tokens[i].text == "stop_") ++i;
      frame->loops.push_back(std::move(loop));
      continue;
    }
    if (is_tag(token)) {
      if (i + 1 >= tokens.size() || is_star_keyword(tokens[i + 1])) {
        *error = star_error(file_name, token.line, "tag " + std::string(text) + " has no value");
        return false;
      }
      frame->items.emplace_back(std::string(text), std::string(tokens[i + 1].text));
      i += 2;
      continue;
    }
    *error = star_error(file_name, token.line,
                        "value '" + std::string(text) + "' belongs to no tag or loop");
    return false;
  }
  if (in_saveframe) {
    *error = star_error(file_name, saveframe_line, "saveframe is not closed by save_");
    return false;
  }
  *blocks = std::move(result);
  return true;
}

}  // namespace mirelon
