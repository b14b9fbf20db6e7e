// Fuzz target: the STAR syntax and the NEF chemical shift list reader, with
// every reader of observed shifts behind parse_shift_file().
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "shifts/shift_data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  for (const bool nef_only : {true, false}) {
    std::vector<mirelon::ObservedShift> shifts;
    std::string error;
    const bool ok = nef_only ? mirelon::parse_nef_shifts(content, "fuzz.nef", &shifts, &error)
                             : mirelon::parse_shift_file(content, "fuzz.nef", &shifts, &error);
    if (!ok) {
      if (error.empty()) std::abort();
      continue;
    }
    for (const mirelon::ObservedShift& shift : shifts) {
      if (!std::isfinite(shift.value) || shift.line < 1) std::abort();
    }
  }
  return 0;
}
