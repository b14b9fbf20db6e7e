// The accuracy report of a statistics table: per atom the root mean square
// error of the predicted shifts and, per prediction level, the fraction of
// observed shifts inside the predicted interval, for the table with its
// context statistics and for the base-only baseline, written as Markdown
// (the figure is in accuracy_figure.h).
#ifndef MIRELON_ACCURACY_REPORT_H_
#define MIRELON_ACCURACY_REPORT_H_

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "common/prediction_levels.h"

namespace mirelon {

// Comparison of predictions with observed shifts of one atom name (all bases
// pooled), or of all atoms.
struct AtomAccuracy {
  std::string atom;
  size_t observed = 0;       // observed shifts compared
  size_t predicted = 0;      // of which a prediction exists for
  size_t from_context = 0;   // of which the prediction came from context statistics
  double squared_error = 0;  // sum over the predicted ones of (observed - predicted mean)^2
  std::array<size_t, kLevelCount> inside{};  // predicted ones inside the interval, per level

  // Root mean square error over the predicted shifts; 0 when there are none.
  double rmse() const;
  // Percentage of the predicted shifts inside the interval of level `level`
  // (1 to 11); 0 when there are none.
  double coverage(size_t level) const;
  // Adds the counts of `other` (its name is not used).
  void add(const AtomAccuracy& other);
};

// The accuracy of one table: per atom, in a fixed order, and over all atoms.
struct ModelAccuracy {
  std::vector<AtomAccuracy> atoms;
  AtomAccuracy total;
};

// The entry of `atom` in `model`; null when it has none.
const AtomAccuracy* find_atom(const ModelAccuracy& model, const std::string& atom);

// Another setting of the builder (outlier filter, source of the base
// statistics), evaluated like the shipped one.
struct FilterTrial {
  std::string label;       // "k = 5", "no filter", ...
  size_t removed = 0;      // observations the filter leaves out of the whole data set
  ModelAccuracy accuracy;  // with context statistics
};

struct AccuracyReport {
  std::string title;
  std::vector<std::string> description;       // Markdown paragraphs on data and method
  std::array<double, kLevelCount> nominal{};  // nominal percentage per level
  ModelAccuracy context;
  ModelAccuracy baseline;
  // A shrunk table is compared with the raw table of the same folds: the
  // targets are then those of the shrunk table (RMSE against the raw table,
  // share of context predictions), and a side-by-side section is added.
  bool has_raw = false;
  ModelAccuracy raw;
  std::vector<FilterTrial> trials;        // the other settings compared
  std::vector<std::string> target_atoms;  // atoms whose context RMSE must beat the baseline
  size_t first_target_level = 5;          // coverage targets hold for these levels
  size_t last_target_level = 8;
  double coverage_tolerance = 3;  // percentage points
};

// The report as Markdown: description, targets met or missed (with the
// margin), coverage per level against nominal, per-atom table, filter trials.
std::string format_accuracy_markdown(const AccuracyReport& report);

}  // namespace mirelon

#endif  // MIRELON_ACCURACY_REPORT_H_
