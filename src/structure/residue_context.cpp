#include "structure/residue_context.h"

#include <string>

#include "common/nucleotides.h"
#include "common/numbers.h"

namespace mirelon {

std::string_view pairing_mark(const std::vector<CtRecord>& records, size_t j) {
  const int32_t partner = stream_int(records[j].partner);
  // Column 5 counts records from 1 in file order; 0 is unpaired, and a
  // position outside the file names no base, so no pair.
  if (partner <= 0 || static_cast<size_t>(partner) > records.size()) return kMarkOther;
  const std::string& partner_base = records[static_cast<size_t>(partner) - 1].base;
  return is_watson_crick(records[j].base, partner_base) ? kMarkPaired : kMarkOther;
}

std::vector<Residue> build_residues(const std::vector<CtRecord>& records) {
  const size_t n = records.size();
  std::vector<std::string_view> marks(n);
  for (size_t j = 0; j < n; ++j) marks[j] = pairing_mark(records, j);

  std::vector<Residue> residues(n);
  int64_t breaks = 0;
  for (size_t i = 0; i < n; ++i) {
    ResidueIdRecord& id = residues[i].id;
    // A strand starts at the first record and wherever column 3 is "0".
    const bool has_before = i > 0 && records[i].before != kNoBase;
    const bool has_two_before = has_before && i > 1 && records[i - 1].before != kNoBase;
    const bool has_after = i + 1 < n && records[i].after != kNoBase;

    residues[i].number = stream_int(records[i].index) + kLinkerLength * breaks;
    id[kResidueNumber] = decimal(residues[i].number);
    id[kCtIndex] = records[i].index;
    id[kBaseTwoBefore] = has_two_before ? records[i - 2].base : std::string(kNoBase);
    id[kMarkTwoBefore] = has_two_before ? marks[i - 2] : kMarkOther;
    id[kBaseBefore] = has_before ? records[i - 1].base : std::string(kNoBase);
    id[kMarkBefore] = has_before ? marks[i - 1] : kMarkOther;
    id[kOwnBase] = records[i].base;
    id[kOwnMark] = marks[i];
    id[kBaseAfter] = has_after ? records[i + 1].base : std::string(kNoBase);
    id[kMarkAfter] = has_after ? marks[i + 1] : kMarkOther;

    // The last record ends the file, not a chain: no linker after it.
    residues[i].break_after = i + 1 < n && records[i].after == kNoBase;
    if (residues[i].break_after) ++breaks;
  }
  return residues;
}

std::vector<ResidueIdRecord> residue_id_records(const std::vector<Residue>& residues) {
  std::vector<ResidueIdRecord> ids;
  ids.reserve(residues.size());
  for (const Residue& residue : residues) ids.push_back(residue.id);
  return ids;
}

}  // namespace mirelon
