// Fuzz target: the CT reader and everything the sequence step derives from it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "ct_tables.h"
#include "structure/residue_ids.h"
#include "translate_seq.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  std::vector<mirelon::CtRecord> records;
  std::string error;
  if (!mirelon::parse_ct_records(content, "fuzz.ct", &records, &error)) {
    if (error.empty() || error.back() != '\n') std::abort();
    return 0;
  }
  if (records.size() > mirelon::kMaxNucleotides) std::abort();
  const std::vector<mirelon::Residue> residues = mirelon::build_residues(records);
  // Every residue-ID line holds ten words: no field may be empty or hold
  // white space, or the later steps would read shifted rows.
  const std::string ids = mirelon::format_residue_id_lines(mirelon::residue_id_records(residues));
  std::vector<mirelon::ResidueIdRecord> back;
  if (!mirelon::parse_residue_ids(ids, mirelon::kMaxNucleotides, &back, &error)) std::abort();
  if (back.size() != residues.size()) std::abort();
  for (size_t i = 0; i < back.size(); ++i) {
    if (back[i] != residues[i].id) std::abort();
  }
  mirelon::format_sequence_file(residues);
  return 0;
}
