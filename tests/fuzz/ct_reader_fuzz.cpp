// Fuzz target: the CT reader, everything the sequence step derives from it
// (residue numbers that never repeat among residues and linkers), the
// helices of the hydrogen-bond step and the warnings of both steps.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "mirelon/ct_tables.h"
#include "mirelon/ct_warnings.h"
#include "mirelon/translate_seq.h"
#include "mirelon/translate_wc.h"
#include "structure/residue_ids.h"

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
  // Residue numbers rise through the file and past every linker: no two
  // residues, and no residue and linker pseudo-residue, share a number.
  for (size_t i = 1; i < residues.size(); ++i) {
    const int64_t linker = residues[i - 1].break_after ? mirelon::kLinkerLength : 0;
    if (residues[i].number <= residues[i - 1].number + linker) std::abort();
  }
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

  // Every usable 5' pair record lies in exactly one helix, the records of a
  // helix follow each other in the file, and no helix continues the one
  // before it.
  const std::vector<mirelon::FivePrimePair> pairs = mirelon::five_prime_pairs(records);
  const std::vector<mirelon::Helix> helices = mirelon::find_helices(records, pairs);
  size_t usable = 0;
  for (const mirelon::FivePrimePair& pair : pairs) {
    if (pair.fault == mirelon::PairFault::kNone) ++usable;
  }
  size_t in_helices = 0;
  const mirelon::HelixRule rule(records);
  for (size_t h = 0; h < helices.size(); ++h) {
    if (helices[h].last.record < helices[h].first.record) std::abort();
    in_helices += helices[h].last.record - helices[h].first.record + 1;
    if (h > 0 && rule.continues_helix(helices[h - 1].last, helices[h].first)) std::abort();
  }
  if (in_helices != usable) std::abort();
  if (!mirelon::check_helix_capacity(helices.size(), &error)) std::abort();
  mirelon::format_hbond_macro(residues, helices);
  std::vector<std::string> warnings = mirelon::ct_file_warnings("fuzz.ct", records);
  const std::vector<std::string> macro =
      mirelon::macro_warnings("fuzz.ct", "fuzz.mac", records, pairs, helices.size());
  warnings.insert(warnings.end(), macro.begin(), macro.end());
  for (const std::string& line : warnings) {
    if (line.rfind("Warning: fuzz.ct: ", 0) != 0 || line.find('\n') != line.size() - 1) {
      std::abort();
    }
  }
  return 0;
}
