#include "prediction/structure_prediction.h"

#include <utility>

#include "common/messages.h"

namespace mirelon {

bool predict_structure_shifts(const Structure& structure, const StatTable& table, long level,
                              StructurePrediction* prediction, std::string* error) {
  StructurePrediction result;
  result.records = to_ct_records(structure);
  result.residues = build_residues(result.records);
  const std::vector<ResidueIdRecord> residues = residue_id_records(result.residues);
  if (!predict_shifts(residues, table, level, &result.entries, error)) {
    if (is_capacity_message(*error)) {
      *error = shift_capacity_message(structure.size(), entry_bound(residues));
    }
    return false;
  }
  *prediction = std::move(result);
  return true;
}

std::string shift_capacity_message(size_t nucleotides, long long bound) {
  const std::string fits = shift_list_size_text();
  const char* plural = nucleotides == 1 ? "" : "s";
  if (bound > static_cast<long long>(kMaxShiftSlots)) {
    return format_message(
        "the RNA of %zu nucleotide%s needs up to %lld shift entries, more than the %zu the shift "
        "list holds (%s): predict shifts for a smaller construct or a domain.\n",
        nucleotides, plural, bound, kMaxShiftSlots - 1, fits.c_str());
  }
  return format_message(
      "the statistics table gives the RNA of %zu nucleotide%s more shift entries than the %zu "
      "the shift list holds (%s), although it needs at most %lld, so the table repeats "
      "records: check the table.\n",
      nucleotides, plural, kMaxShiftSlots - 1, fits.c_str(), bound);
}

}  // namespace mirelon
