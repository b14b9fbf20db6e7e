// Checking an assignment against a structure's predictions: every observed
// atom with its z, the referencing offset of each nucleus, outliers, swap
// candidates and the fit of the whole list (for ranking structures).
#ifndef MIRELON_CHECK_ASSIGNMENT_CHECK_H_
#define MIRELON_CHECK_ASSIGNMENT_CHECK_H_

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "check/predicted_peaks.h"
#include "check/residue_numbering.h"
#include "common/nuclei.h"
#include "shifts/shift_data.h"

namespace mirelon {

// The nuclei whose referencing is checked: kProton, kCarbon and kNitrogen.
inline constexpr size_t kReferencedNuclei = 3;
static_assert(kProton < kReferencedNuclei && kCarbon < kReferencedNuclei &&
                  kNitrogen < kReferencedNuclei && kPhosphorus >= kReferencedNuclei,
              "the referenced nuclei come first");

// Referencing thresholds: a nucleus's median of observed - predicted counts
// as clearly off when its magnitude reaches the threshold, its confidence
// interval excludes 0 and at least kMinReferencingAtoms atoms share it.
// 13C mis-referencing by 1 to 3 ppm is common in deposited RNA shifts; the
// thresholds lie well above what the prediction's own bias gives.
inline constexpr std::array<double, kReferencedNuclei> kReferencingThresholds = {0.15, 1.0, 1.5};
inline constexpr size_t kMinReferencingAtoms = 5;
// The least gain in the sum of squared z that makes an exchange of two
// observed shifts a swap candidate.
inline constexpr double kMinSwapGain = 4.0;

// One observed atom compared with its prediction.
struct ComparedAtom {
  size_t position = 0;        // residue position in the structure, counting from 0
  std::string shift_residue;  // the shift file's number of it (ResidueMapping::shift_residue)
  std::string atom;           // table spelling
  Nucleus nucleus = kOtherNucleus;
  double observed = 0;   // as in the shift file
  double corrected = 0;  // observed minus the nucleus's applied offset
  PredictedShift predicted;
  double spread = 0;  // tolerance / normal quantile of the level; 0: no z
  double z = 0;       // (corrected - predicted) / spread
  bool outlier = false;
  bool swap = false;       // part of a swap candidate
  double log_density = 0;  // fit_log_density(z, spread) when spread > 0
};

// The referencing of one nucleus.
struct Referencing {
  size_t count = 0;
  double median = 0;  // of observed - predicted
  double low = 0;     // its 95 % confidence interval
  double high = 0;
  bool applied = false;  // clearly off: removed before z and flags
};

// Two observed shifts whose exchange fits better.
struct SwapCandidate {
  size_t first = 0;  // indexes into AssignmentCheck::atoms
  size_t second = 0;
  double gain = 0;  // decrease of the sum of their squared z
};

struct AssignmentCheck {
  std::vector<ComparedAtom> atoms;  // in the shift file's order
  std::array<Referencing, kReferencedNuclei> referencing;
  std::vector<SwapCandidate> swaps;        // best first
  std::vector<double> residue_mean_abs_z;  // per position; negative: nothing observed
  // Per position: the shift file's number of the residue (shift_residue of
  // its first atom) where it differs from the residue number of
  // PredictionIndex::number(); "" elsewhere.
  std::vector<std::string> shift_numbers;
  size_t unmatched = 0;        // observed shifts without a residue, base or prediction
  size_t base_mismatches = 0;  // of them: the base differs from the structure's
  double log_likelihood = 0;   // of the corrected shifts (see fit_log_density)
  // Atoms counted in `unmatched` because they were listed again with
  // another value than at first, as differing_repeat_text() names them.
  std::vector<std::string> differing_repeats;
};

// The heavy-tailed density behind the ranking: log of a Student t density
// with kFitDegreesOfFreedom degrees of freedom and scale `spread` at z.
inline constexpr double kFitDegreesOfFreedom = 4.0;
double fit_log_density(double z, double spread);

// Compares `shifts` (residue numbers mapped to structure positions by
// `mapping`) with the predictions in `index` at `level`.
AssignmentCheck check_assignment(const PredictionIndex& index,
                                 const std::vector<ObservedShift>& shifts,
                                 const ResidueMapping& mapping, long level);

// How every output names the residue at `position`: its label ("G12"), and
// where the shift file of `check` numbers it otherwise, that number too:
// "G12 (112 in the shift file)". Without a check (null), the label.
std::string residue_name(const PredictionIndex& index, const AssignmentCheck* check,
                         size_t position);

// True when the shift file of `check` numbers some residue otherwise than
// the outputs do (its shift_numbers are not all empty).
bool renumbered(const AssignmentCheck& check);

// The median of `values` with the distribution-free 95 % confidence
// interval of the order statistics. REQUIRES: values not empty.
Referencing median_interval(std::vector<double> values);

}  // namespace mirelon

#endif  // MIRELON_CHECK_ASSIGNMENT_CHECK_H_
