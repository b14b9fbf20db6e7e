// The chemical shift step: "idarrayke.txt" and the statistics table in,
// "kesta.prot" out.
#include <string>
#include <vector>

#include "fatal.h"
#include "files.h"
#include "numbers.h"
#include "residue_ids.h"
#include "shift_prediction.h"
#include "stat_table.h"
#include "translate.h"

namespace {

mirelon::StatTable read_stat_table(const char* file_name) {
  std::string content;
  if (!mirelon::read_input_file(file_name, &content)) {
    mirelon::fatal("\nUnable to open statistics file: %s\nFor help type: mirelon -h\n", file_name);
  }
  mirelon::StatTable table;
  std::string error;
  if (!mirelon::parse_stat_table(content, file_name, &table, &error)) {
    mirelon::fatal("%s", error.c_str());
  }
  return table;
}

}  // namespace

int translate_stat(const char* stat_file, const char* level) {
  using namespace mirelon;
  const std::vector<ResidueIdRecord> residues = read_residue_id_file(kMaxShiftResidues);
  // The bound is tested before the statistics table is opened.
  const long long bound = entry_bound(residues);
  if (bound > static_cast<long long>(kMaxShiftSlots)) {
    fatal("%s", capacity_message(bound, static_cast<long long>(kMaxShiftSlots)).c_str());
  }
  const StatTable table = read_stat_table(stat_file);
  std::vector<ShiftEntry> entries;
  std::string error;
  if (!predict_shifts(residues, table, strtol10(level), &entries, &error)) {
    fatal("%s", error.c_str());
  }
  // Every failure came before this point, so a failed run leaves an older
  // "kesta.prot" as it was.
  write_output_file(kShiftListFileName, format_shift_list(entries));
  return 1;
}
