// The manifest of the statistics builder: which structure file and which
// assigned shift file make up each entry of a data set.
//
// One entry per line: NAME STRUCTURE SHIFTS [OFFSETS]. Blank lines and lines
// whose first word begins with '#' are skipped. File names are relative to the
// manifest's directory unless they begin with '/'. OFFSETS maps the shift
// file's residue numbers to structure positions (position = number + offset):
// either one whole number for every chain, or CHAIN:OFFSET pairs separated by
// commas for NMR-STAR entries of several chains; without it the offset is 0.
// SHIFTS "-" names a structure without shifts: it adds to how often each
// context key occurs, nothing else.
#ifndef MIRELON_MANIFEST_H_
#define MIRELON_MANIFEST_H_

#include <string>
#include <string_view>
#include <vector>

#include "shifts/shift_offsets.h"

namespace mirelon {

struct ManifestEntry {
  std::string name;
  std::string structure_file;  // resolved against the manifest's directory
  std::string shift_file;      // resolved against the manifest's directory; empty for "-"
  ShiftOffsets offsets;
  int line = 0;
};

// Parses the manifest `content` read from `file_name`. Returns false with
// "FILE:LINE: reason" in `error` for a line of fewer than three or more than
// four words, an offset that is no whole number, or a name used twice.
bool parse_manifest(std::string_view content, const std::string& file_name,
                    std::vector<ManifestEntry>* entries, std::string* error);

}  // namespace mirelon

#endif  // MIRELON_MANIFEST_H_
