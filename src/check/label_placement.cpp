#include "check/label_placement.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

namespace mirelon {

namespace {

constexpr double kLowestZoom = kZoomLevels.front();
constexpr double kHighestZoom = kZoomLevels.back();

// Places to try for a label of size w x h around a mark's extent, relative
// to its point, nearest first: beside the mark on the right, left, above,
// below and at the four corners, then rings further out (drawn with a
// leader line).
std::vector<Box> label_places(const Box& mark, double w, double h) {
  const double cx = mark.x + mark.width / 2;
  const double cy = mark.y + mark.height / 2;
  std::vector<Box> places = {
      {mark.x + mark.width + 1, cy - h / 2, w, h},
      {mark.x - 1 - w, cy - h / 2, w, h},
      {cx - w / 2, mark.y - 1 - h, w, h},
      {cx - w / 2, mark.y + mark.height + 1, w, h},
      {mark.x + mark.width + 1, mark.y - 1 - h, w, h},
      {mark.x - 1 - w, mark.y - 1 - h, w, h},
      {mark.x + mark.width + 1, mark.y + mark.height + 1, w, h},
      {mark.x - 1 - w, mark.y + mark.height + 1, w, h},
  };
  constexpr int kRings = 6;
  constexpr int kDirections = 16;
  constexpr double kRingStep = 9;
  for (int ring = 1; ring <= kRings; ++ring) {
    const double distance = ring * kRingStep;
    for (int k = 0; k < kDirections; ++k) {
      const double angle = 2 * M_PI * k / kDirections;
      const double dx = std::cos(angle) * (mark.width / 2 + w / 2 + distance);
      const double dy = std::sin(angle) * (mark.height / 2 + h / 2 + distance);
      // On the tenth of a pixel that pictures print.
      places.push_back(
          {std::round((cx + dx - w / 2) * 10) / 10, std::round((cy + dy - h / 2) * 10) / 10, w, h});
    }
  }
  return places;
}

bool inside(const Box& inner, const Box& outer) {
  return inner.x >= outer.x && inner.y >= outer.y &&
         inner.x + inner.width <= outer.x + outer.width &&
         inner.y + inner.height <= outer.y + outer.height;
}

// The zooms z at which slope * z < limit: an open interval (low, high).
struct ZoomInterval {
  double low = -std::numeric_limits<double>::infinity();
  double high = std::numeric_limits<double>::infinity();

  void below(double slope, double limit) {
    if (slope > 0) {
      high = std::min(high, limit / slope);
    } else if (slope < 0) {
      low = std::max(low, limit / slope);
    } else if (!(limit > 0)) {
      high = low;  // never
    }
  }
};

// Everything that lies over some zoom from kLowestZoom to kHighestZoom:
// its box in picture coordinates over all those zooms.
Box reach(const PinnedBox& pinned) {
  const Box low = box_at_zoom(pinned, kLowestZoom);
  const Box high = box_at_zoom(pinned, kHighestZoom);
  const double x = std::min(low.x, high.x);
  const double y = std::min(low.y, high.y);
  return {x, y, std::max(low.x + low.width, high.x + high.width) - x,
          std::max(low.y + low.height, high.y + high.height) - y};
}

// The marks and the labels placed so far, found by the grid cells that
// their reach covers.
class PlacedIndex {
 public:
  explicit PlacedIndex(const Box& area)
      : area_(area),
        columns_(cell_count(area.width)),
        rows_(cell_count(area.height)),
        cells_(columns_ * rows_) {}

  // `zoom`: the lowest zoom at which the item is shown.
  void add(const PinnedBox& pinned, double zoom) {
    items_.push_back({pinned, zoom});
    const CellRange range = cells(reach(pinned));
    for (size_t row = range.y0; row <= range.y1; ++row) {
      for (size_t column = range.x0; column <= range.x1; ++column) {
        cells_[row * columns_ + column].push_back(items_.size() - 1);
      }
    }
  }

  // True when `pinned`, shown from `zoom` on, overlaps an item shown at the
  // same time.
  bool collides(const PinnedBox& pinned, double zoom) const {
    const CellRange range = cells(reach(pinned));
    for (size_t row = range.y0; row <= range.y1; ++row) {
      for (size_t column = range.x0; column <= range.x1; ++column) {
        for (const size_t i : cells_[row * columns_ + column]) {
          const Item& item = items_[i];
          if (overlap_between_zooms(pinned, item.pinned, std::max(zoom, item.zoom), kHighestZoom)) {
            return true;
          }
        }
      }
    }
    return false;
  }

 private:
  static constexpr double kCell = 24;
  struct Item {
    PinnedBox pinned;
    double zoom = 1;
  };
  struct CellRange {
    size_t x0, x1, y0, y1;
  };

  static size_t cell_count(double length) {
    return static_cast<size_t>(std::max(1.0, std::ceil(length / kCell)));
  }
  static size_t cell_of(double offset, size_t count) {
    return static_cast<size_t>(
        std::clamp(std::floor(offset / kCell), 0.0, static_cast<double>(count - 1)));
  }
  // The cells under `box`; whatever lies outside the area falls into the
  // border cells.
  CellRange cells(const Box& box) const {
    return {cell_of(box.x - area_.x, columns_), cell_of(box.x + box.width - area_.x, columns_),
            cell_of(box.y - area_.y, rows_), cell_of(box.y + box.height - area_.y, rows_)};
  }

  Box area_;
  size_t columns_;
  size_t rows_;
  std::vector<std::vector<size_t>> cells_;
  std::vector<Item> items_;
};

}  // namespace

bool boxes_overlap(const Box& a, const Box& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

Box box_at_zoom(const PinnedBox& pinned, double zoom) {
  const Box& e = pinned.extent;
  return {pinned.x + e.x / zoom, pinned.y + e.y / zoom, e.width / zoom, e.height / zoom};
}

bool overlap_between_zooms(const PinnedBox& a, const PinnedBox& b, double low, double high) {
  // On the zoomed screen a spans z * a.x + a.extent.x to that plus its
  // width; the two overlap in x while b's start lies before a's end and a's
  // start before b's end, each linear in z; likewise in y.
  ZoomInterval zooms;
  zooms.below(b.x - a.x, a.extent.x + a.extent.width - b.extent.x);
  zooms.below(a.x - b.x, b.extent.x + b.extent.width - a.extent.x);
  zooms.below(b.y - a.y, a.extent.y + a.extent.height - b.extent.y);
  zooms.below(a.y - b.y, b.extent.y + b.extent.height - a.extent.y);
  // The open interval of overlap meets [low, high].
  return zooms.low < zooms.high && zooms.low < high && low < zooms.high && low <= high;
}

std::vector<std::optional<PlacedLabel>> place_labels(const std::vector<LabelRequest>& labels,
                                                     const std::vector<PinnedBox>& marks,
                                                     const Box& area) {
  std::vector<std::optional<PlacedLabel>> placed(labels.size());
  PlacedIndex taken(area);
  for (const PinnedBox& mark : marks) taken.add(mark, kLowestZoom);
  for (const int zoom : kZoomLevels) {
    for (size_t i = 0; i < labels.size(); ++i) {
      if (placed[i]) continue;
      const LabelRequest& label = labels[i];
      for (const Box& place : label_places(label.mark.extent, label.width, label.height)) {
        const PinnedBox pinned{label.mark.x, label.mark.y, place};
        // Inside the area at this zoom is inside at every higher one: the
        // box shrinks towards its peak, which is inside.
        if (!inside(box_at_zoom(pinned, zoom), area) || taken.collides(pinned, zoom)) continue;
        placed[i] = PlacedLabel{box_at_zoom(pinned, kLowestZoom), zoom};
        taken.add(pinned, zoom);
        break;
      }
    }
  }
  return placed;
}

}  // namespace mirelon
