// What mirelon-check's module tests share: structures predicted with the
// shipped table, observed shifts made from predictions, and predictions
// made by hand.
#ifndef MIRELON_TESTS_CHECK_CHECK_FIXTURES_H_
#define MIRELON_TESTS_CHECK_CHECK_FIXTURES_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "check/predicted_peaks.h"
#include "common/numbers.h"
#include "prediction/structure_prediction.h"
#include "prediction/table_file.h"
#include "shifts/shift_data.h"
#include "structure/residue_ids.h"
#include "structure/structure.h"

namespace mirelon {

inline constexpr long kLevel = 8;

inline const StatTable& shipped_table() {
  static const StatTable table = [] {
    StatTable loaded;
    std::string error;
    EXPECT_TRUE(load_stat_table(MIRELON_TABLE, &loaded, &error)) << error;
    return loaded;
  }();
  return table;
}

inline Structure dot_bracket(const std::string& sequence, const std::string& pairs) {
  Structure structure;
  std::string error;
  EXPECT_TRUE(parse_structure_dot_bracket(">t\n" + sequence + "\n" + pairs + "\n", "t.db",
                                          &structure, &error))
      << error;
  return structure;
}

inline StructurePrediction predict(const Structure& structure, long level = kLevel) {
  StructurePrediction prediction;
  std::string error;
  EXPECT_TRUE(predict_structure_shifts(structure, shipped_table(), level, &prediction, &error))
      << error;
  return prediction;
}

// A hairpin of 30 nucleotides and a three-way junction RNA of 150.
inline const char* const kHairpinSequence = "GGCACUUCGGUGCCAGAGCUACGCAAGUGC";
inline const char* const kHairpinPairs = "((((((....))))))..((((....))))";

inline std::string long_sequence() {
  const std::string unit = "GGACUCAGUCGAAAGAUCGGAGUCCAUAGC";
  std::string out;
  for (int i = 0; i < 5; ++i) out += unit;
  return out;
}
inline std::string long_pairs() {
  const std::string unit = "(((((((((((....))))..)))))))..";
  std::string out;
  for (int i = 0; i < 5; ++i) out += unit;
  return out;
}

// Observed shifts exactly at the predictions of `index`, as a four-column
// list would give them (residue numbers = positions).
inline std::vector<ObservedShift> shifts_at_predictions(const PredictionIndex& index) {
  std::vector<ObservedShift> shifts;
  for (size_t position = 0; position < index.size(); ++position) {
    for (const char* atom : {"H1'", "C1'", "H2'", "C2'", "H8", "H6", "C8", "C6", "H5", "C5", "H2",
                             "C2", "N1", "N3", "H1", "H3"}) {
      const PredictedShift* predicted = index.find(position, atom);
      if (predicted == nullptr) continue;
      ObservedShift shift;
      shift.residue = static_cast<long>(position + 1);
      shift.residue_name = index.base(position);
      shift.atom = atom;
      shift.value = predicted->mean;
      shifts.push_back(shift);
    }
  }
  return shifts;
}

// Predictions made by hand: residue i of `bases` is numbered i + 1, and
// each listed atom has the mean and tolerance as printed.
struct HandShift {
  size_t position;
  const char* atom;
  const char* mean;
  const char* tolerance;
};
inline PredictionIndex hand_index(const std::string& bases, const std::vector<HandShift>& shifts) {
  StructurePrediction prediction;
  for (size_t i = 0; i < bases.size(); ++i) {
    Residue residue;
    residue.id[kOwnBase] = std::string(1, bases[i]);
    residue.id[kResidueNumber] = decimal(static_cast<int64_t>(i + 1));
    residue.number = static_cast<int64_t>(i + 1);
    prediction.residues.push_back(residue);
  }
  for (const HandShift& shift : shifts) {
    ShiftEntry entry;
    entry.atom = shift.atom;
    entry.mean_shift = shift.mean;
    entry.tolerance = shift.tolerance;
    entry.residue_number = decimal(static_cast<int64_t>(shift.position + 1));
    prediction.entries.push_back(entry);
  }
  return PredictionIndex(prediction);
}

inline ObservedShift observed_shift(const char* residue_name, long residue, const char* atom,
                                    double value) {
  ObservedShift shift;
  shift.residue_name = residue_name;
  shift.residue = residue;
  shift.atom = atom;
  shift.value = value;
  return shift;
}

}  // namespace mirelon

#endif  // MIRELON_TESTS_CHECK_CHECK_FIXTURES_H_
