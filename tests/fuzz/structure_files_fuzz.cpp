// Fuzz target: the structure readers of mirelon-ct on any file, several
// structures of one CT file among them, and the way back to CT records.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "structure/ct_structures.h"
#include "structure/structure.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  // The structures of a CT file cut the content into pieces, in order,
  // without a gap, on ascending lines.
  const std::vector<mirelon::CtStructureText> parts = mirelon::split_ct_structures(content);
  std::string joined;
  int line = 0;
  for (const mirelon::CtStructureText& part : parts) {
    if (part.first_line <= line) std::abort();
    line = part.first_line;
    joined += part.text;
  }
  if (joined != content) std::abort();

  mirelon::detect_structure_format(content);
  std::vector<mirelon::Structure> structures;
  std::string error;
  if (!mirelon::parse_structures(content, "fuzz.ct", &structures, &error)) {
    if (error.empty() || error.back() != '\n' || !structures.empty()) std::abort();
    return 0;
  }
  if (structures.empty()) std::abort();
  for (const mirelon::Structure& structure : structures) {
    if (structure.partners.size() != structure.size()) std::abort();
    for (size_t i = 0; i < structure.size(); ++i) {
      const auto& partner = structure.partners[i];
      if (partner &&
          (*partner >= structure.size() || *partner == i || structure.partners[*partner] != i)) {
        std::abort();
      }
    }
    if (mirelon::to_ct_records(structure).size() != structure.size()) std::abort();
  }
  return 0;
}
