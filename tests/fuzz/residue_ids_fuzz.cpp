// Fuzz target: the residue-ID reader shared by the dihedral and shift steps.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "residue_ids.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  for (size_t capacity : {size_t{3}, size_t{10000}, size_t{20000}}) {
    std::vector<mirelon::ResidueIdRecord> records;
    std::string error;
    if (!mirelon::parse_residue_ids(content, capacity, &records, &error)) {
      if (error.empty()) std::abort();
      continue;
    }
    if (records.size() > capacity) std::abort();
  }
  return 0;
}
