// The placement of labels in a picture that the report can zoom: boxes in
// picture coordinates, marks and labels that keep their size on screen, and
// a place for each label beside its peak where no mark and no other label
// is, at every zoom at which the label is shown.
#ifndef MIRELON_CHECK_LABEL_PLACEMENT_H_
#define MIRELON_CHECK_LABEL_PLACEMENT_H_

#include <array>
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

// The zooms the labels are placed for, lowest first; the report zooms from
// the first to the last.
inline constexpr std::array<int, 3> kZoomLevels = {1, 2, 4};

// Something drawn at a point of the picture that keeps its size on screen
// when the report zooms (a dot, a cross, a label): `extent` is its box
// relative to the point at 1x. At zoom z it covers point + extent / z in
// picture coordinates, that is z * point + extent on the zoomed screen.
struct PinnedBox {
  double x = 0;
  double y = 0;
  Box extent;
};

// Where `pinned` lies in picture coordinates at `zoom`.
Box box_at_zoom(const PinnedBox& pinned, double zoom);

// True when `a` and `b` overlap at some zoom from `low` to `high`: on the
// zoomed screen their distance changes linearly with the zoom, so each axis
// overlaps over one interval of zooms, computed exactly.
bool overlap_between_zooms(const PinnedBox& a, const PinnedBox& b, double low, double high);

// A label to place: the mark of its peak (it goes beside it) and its size.
struct LabelRequest {
  PinnedBox mark;
  double width = 0;
  double height = 0;
};

// A placed label: its box at 1x in picture coordinates (at zoom z it is
// box_at_zoom of that box pinned to its peak) and the lowest of kZoomLevels
// from which on it is shown.
struct PlacedLabel {
  Box box;
  int zoom = 1;
};

// Places the labels in `area`, each at the first free place of a fixed list
// of places around its mark, nearest first (beside it, then rings further
// out, which the picture joins to the peak by a leader line). A place is
// free from zoom Z on when, at every zoom from Z to the last of
// kZoomLevels, the label lies inside `area` and overlaps neither a mark of
// `marks` nor a label already placed and shown there. Labels are placed
// zoom by zoom, each time in the order given: every label that has room at
// 1x first, then at 2x the rest, then at 4x. A label without room even at
// the last zoom is left out (nothing in its slot).
std::vector<std::optional<PlacedLabel>> place_labels(const std::vector<LabelRequest>& labels,
                                                     const std::vector<PinnedBox>& marks,
                                                     const Box& area);

}  // namespace mirelon

#endif  // MIRELON_CHECK_LABEL_PLACEMENT_H_
