// The two-dimensional experiments that RNA spectroscopists record, and the
// predicted peaks of a structure in each: one peak per residue whose two
// atoms both have a predicted shift.
#ifndef MIRELON_CHECK_PREDICTED_PEAKS_H_
#define MIRELON_CHECK_PREDICTED_PEAKS_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "prediction/structure_prediction.h"
#include "structure/structure.h"

namespace mirelon {

// A heteronucleus-proton pair of atoms of one base observed in an experiment.
struct AtomPair {
  std::string_view base;    // "A", "C", "G" or "U"
  std::string_view heavy;   // 13C or 15N atom, table spelling ("C1'")
  std::string_view proton;  // its proton ("H1'")
};

// An experiment: a 13C or 15N HSQC region.
struct Experiment {
  std::string_view id;             // in file names: PREFIX-ID.svg, PREFIX-ID.list
  std::string_view title;          // "H1'-C1'"
  std::string_view heavy_nucleus;  // "13C" or "15N"
  std::vector<AtomPair> pairs;
  // Its protons are seen only where a base pair shields them from exchange
  // with water: the imino protons.
  bool needs_partner = false;
};

// The five experiments: H1'-C1', H6/H8-C6/C8, H2-C2, H5-C5 (13C HSQC) and
// the imino H1-N1 / H3-N3 (15N HSQC).
const std::vector<Experiment>& experiments();

// Per position of `structure`: true when the residue pairs with a
// Watson-Crick (G-C, A-U) or G-U partner, whose hydrogen bonds keep its
// imino proton from exchanging with water.
std::vector<bool> partnered_positions(const Structure& structure);

// A predicted shift: mean and tolerance as "kesta.prot" prints them.
struct PredictedShift {
  double mean = 0;
  double tolerance = 0;
};

// The predicted shifts of a structure by residue position (counting from 0)
// and table atom name; the first entry wins where a table repeats one.
class PredictionIndex {
 public:
  explicit PredictionIndex(const StructurePrediction& prediction);
  // The prediction of `atom` at `position`, or nullptr.
  const PredictedShift* find(size_t position, std::string_view atom) const;
  size_t size() const { return labels_.size(); }
  // Residue number of "kesta.prot" and base of the residue at `position`.
  int64_t number(size_t position) const { return numbers_[position]; }
  const std::string& base(size_t position) const { return bases_[position]; }
  // "G12": base and residue number.
  const std::string& label(size_t position) const { return labels_[position]; }

 private:
  // By position: each atom's prediction, the first entry of each atom.
  std::vector<std::vector<std::pair<std::string, PredictedShift>>> shifts_;
  std::vector<int64_t> numbers_;
  std::vector<std::string> bases_;
  std::vector<std::string> labels_;
};

// A predicted peak: both shifts of one atom pair of one residue.
struct PredictedPeak {
  size_t position = 0;  // residue position in the structure, counting from 0
  AtomPair atoms;
  PredictedShift heavy;   // w1
  PredictedShift proton;  // w2
};

// The predicted peaks of `experiment`, in residue order.
std::vector<PredictedPeak> predicted_peaks(const PredictionIndex& index,
                                           const Experiment& experiment);

// Sparky's assignment text: "G12C1'-H1'".
std::string peak_assignment(const PredictionIndex& index, const PredictedPeak& peak);

// A peak list in Sparky's format: the header line
// "      Assignment         w1         w2", an empty line, then one peak a
// line, the assignment right-aligned in 16 characters, w1 (heteronucleus)
// and w2 (proton) in ppm with three decimals right-aligned in 11.
std::string format_peak_list(const PredictionIndex& index, const std::vector<PredictedPeak>& peaks);

}  // namespace mirelon

#endif  // MIRELON_CHECK_PREDICTED_PEAKS_H_
