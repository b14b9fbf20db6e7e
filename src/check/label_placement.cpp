#include "check/label_placement.h"

#include <algorithm>
#include <cmath>

namespace mirelon {

namespace {

// Places to try for a label of size w x h around an anchor box, nearest
// first: beside the box on the right, left, above, below and at the four
// corners, then rings further out (drawn with a leader line).
std::vector<Box> label_places(const Box& anchor, double w, double h) {
  const double cx = anchor.x + anchor.width / 2;
  const double cy = anchor.y + anchor.height / 2;
  std::vector<Box> places = {
      {anchor.x + anchor.width + 1, cy - h / 2, w, h},
      {anchor.x - 1 - w, cy - h / 2, w, h},
      {cx - w / 2, anchor.y - 1 - h, w, h},
      {cx - w / 2, anchor.y + anchor.height + 1, w, h},
      {anchor.x + anchor.width + 1, anchor.y - 1 - h, w, h},
      {anchor.x - 1 - w, anchor.y - 1 - h, w, h},
      {anchor.x + anchor.width + 1, anchor.y + anchor.height + 1, w, h},
      {anchor.x - 1 - w, anchor.y + anchor.height + 1, w, h},
  };
  constexpr int kRings = 6;
  constexpr int kDirections = 16;
  constexpr double kRingStep = 9;
  for (int ring = 1; ring <= kRings; ++ring) {
    const double distance = ring * kRingStep;
    for (int k = 0; k < kDirections; ++k) {
      const double angle = 2 * M_PI * k / kDirections;
      const double dx = std::cos(angle) * (anchor.width / 2 + w / 2 + distance);
      const double dy = std::sin(angle) * (anchor.height / 2 + h / 2 + distance);
      places.push_back({cx + dx - w / 2, cy + dy - h / 2, w, h});
    }
  }
  return places;
}

bool inside(const Box& inner, const Box& outer) {
  return inner.x >= outer.x && inner.y >= outer.y &&
         inner.x + inner.width <= outer.x + outer.width &&
         inner.y + inner.height <= outer.y + outer.height;
}

}  // namespace

bool boxes_overlap(const Box& a, const Box& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

std::vector<std::optional<Box>> place_labels(const std::vector<Box>& anchors,
                                             const std::vector<Box>& label_sizes, const Box& area) {
  std::vector<std::optional<Box>> placed(anchors.size());
  std::vector<Box> taken;
  for (size_t i = 0; i < anchors.size(); ++i) {
    for (const Box& place : label_places(anchors[i], label_sizes[i].width, label_sizes[i].height)) {
      if (!inside(place, area)) continue;
      const bool free = std::none_of(taken.begin(), taken.end(), [&place](const Box& other) {
        return boxes_overlap(place, other);
      });
      if (free) {
        placed[i] = place;
        taken.push_back(place);
        break;
      }
    }
  }
  return placed;
}

}  // namespace mirelon
