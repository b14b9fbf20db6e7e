// Shift prediction for a structure of the structure library, exactly as
// mirelon predicts it from the same structure written as a CT file: the
// same residue contexts, residue numbers and entries as "kesta.prot".
#ifndef MIRELON_PREDICTION_STRUCTURE_PREDICTION_H_
#define MIRELON_PREDICTION_STRUCTURE_PREDICTION_H_

#include <string>
#include <vector>

#include "prediction/shift_prediction.h"
#include "prediction/stat_table.h"
#include "structure/residue_context.h"
#include "structure/structure.h"

namespace mirelon {

// A structure's residues (CT records in file order, residue numbers with
// 100 added per chain break) and its predicted shift entries.
struct StructurePrediction {
  std::vector<CtRecord> records;
  std::vector<Residue> residues;
  std::vector<ShiftEntry> entries;
};

// Predicts the shifts of `structure` from `table` at `level` (1 to 11).
// Returns false with predict_shifts()'s message in `error`, except that
// more entries than the shift list holds are told as
// shift_capacity_message() tells them.
bool predict_structure_shifts(const Structure& structure, const StatTable& table, long level,
                              StructurePrediction* prediction, std::string* error);

// The message of the companion tools for an RNA of `nucleotides`
// nucleotides whose entry bound is `bound` and whose prediction needed more
// entries than the shift list holds, without a file name, ended by a line
// feed: when the bound exceeds kMaxShiftSlots, the RNA needs up to
// `bound` entries and a domain should be predicted; otherwise the statistics
// table repeats records.
std::string shift_capacity_message(size_t nucleotides, long long bound);

}  // namespace mirelon

#endif  // MIRELON_PREDICTION_STRUCTURE_PREDICTION_H_
