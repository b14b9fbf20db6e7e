// Fuzz target: the residue-ID reader shared by the dihedral and shift steps,
// and both steps' pure work on what it reads.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "common/files.h"
#include "mirelon/translate_aco.h"
#include "mirelon/translate_stat.h"
#include "prediction/shift_prediction.h"
#include "prediction/stat_table.h"
#include "structure/residue_ids.h"

namespace {

// The example statistics table, so that keys met by the fuzzer can match.
const mirelon::StatTable& example_table() {
  static const mirelon::StatTable table = [] {
    std::string content;
    mirelon::StatTable parsed;
    std::string error;
    if (!mirelon::read_input_file(MIRELON_EXAMPLES "/statfile.tab", &content) ||
        !mirelon::parse_stat_table(std::move(content), "statfile.tab", &parsed, &error)) {
      std::abort();
    }
    return parsed;
  }();
  return table;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  for (size_t capacity : {mirelon::kMaxRestraintResidues, mirelon::kMaxShiftResidues}) {
    std::vector<mirelon::ResidueIdRecord> records;
    std::string error;
    if (!mirelon::parse_residue_ids(content, capacity, &records, &error)) {
      if (error.empty()) std::abort();
      continue;
    }
    if (records.size() > capacity) std::abort();
    if (capacity == mirelon::kMaxRestraintResidues) {
      if (mirelon::count_restraint_entries(records) <= mirelon::kMaxRestraintEntries) {
        mirelon::format_restraint_file(records);
      }
      continue;
    }
    if (mirelon::entry_bound(records) > static_cast<long long>(mirelon::kMaxShiftSlots)) continue;
    std::vector<mirelon::ShiftEntry> entries;
    if (mirelon::predict_shifts(records, example_table(), 2, &entries, &error)) {
      if (entries.size() >= mirelon::kMaxShiftSlots) std::abort();
      mirelon::format_shift_list(entries);
    } else if (error.empty()) {
      std::abort();
    }
  }
  return 0;
}
