// The whole tree of a STAR text, for tests that look at more than one loop of
// a NEF file (the dictionary check, the loops of mirelon-nef's file read
// back). The programs' readers take the loops they need from the tokens.
#ifndef MIRELON_TESTS_NEF_STAR_TREE_H_
#define MIRELON_TESTS_NEF_STAR_TREE_H_

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mirelon {

// A loop: its tags in order and its rows, each as many values as tags.
struct StarLoop {
  std::vector<std::string> tags;
  std::vector<std::vector<std::string>> rows;
  int line = 0;  // line of "loop_"
};

// Items (tag, value) and loops of a data block or a saveframe, in file order.
struct StarFrame {
  std::string name;  // after "save_" or "data_"
  std::vector<std::pair<std::string, std::string>> items;
  std::vector<StarLoop> loops;
  int line = 0;
};

// A data block: its own items and loops, and its saveframes.
struct StarBlock {
  StarFrame own;
  std::vector<StarFrame> saveframes;
};

// Reads the whole content into data blocks. Returns false with
// "FILE:LINE: reason" in `error` when a token stands outside a data block,
// an item has no value, a loop's values do not fill whole rows, a saveframe
// is not closed or is opened inside another, or the tokenizer fails.
bool parse_star(std::string_view content, const std::string& file_name,
                std::vector<StarBlock>* blocks, std::string* error);

}  // namespace mirelon

#endif  // MIRELON_TESTS_NEF_STAR_TREE_H_
