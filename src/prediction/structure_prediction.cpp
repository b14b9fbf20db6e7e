#include "prediction/structure_prediction.h"

#include <utility>

namespace mirelon {

bool predict_structure_shifts(const Structure& structure, const StatTable& table, long level,
                              StructurePrediction* prediction, std::string* error) {
  StructurePrediction result;
  result.records = to_ct_records(structure);
  result.residues = build_residues(result.records);
  if (!predict_shifts(residue_id_records(result.residues), table, level, &result.entries, error)) {
    return false;
  }
  *prediction = std::move(result);
  return true;
}

}  // namespace mirelon
