// The placement of labels in a picture: boxes in picture coordinates and a
// place for each label beside its anchor where no other label is.
#ifndef MIRELON_CHECK_LABEL_PLACEMENT_H_
#define MIRELON_CHECK_LABEL_PLACEMENT_H_

#include <optional>
#include <vector>

namespace mirelon {

// An axis-parallel rectangle in picture coordinates (pixels, y downwards).
struct Box {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
};

// True when the two boxes share more than an edge.
bool boxes_overlap(const Box& a, const Box& b);

// Places one label of the given size near each anchor box, inside `area`,
// such that no two labels overlap: the first free place of a fixed list of
// places around the anchor, nearest first. A label without a free place is
// left out (nothing in its slot). Anchors are handled in the order given.
std::vector<std::optional<Box>> place_labels(const std::vector<Box>& anchors,
                                             const std::vector<Box>& label_sizes, const Box& area);

}  // namespace mirelon

#endif  // MIRELON_CHECK_LABEL_PLACEMENT_H_
