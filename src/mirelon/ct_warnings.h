// Warnings about what a CT file leaves out of mirelon's outputs although the
// run completes: lines "Warning: FILE: what happened: positions" on standard
// error (format_warning()), which never change standard output or a file. The sequence step
// warns about the file, the hydrogen-bond step about its macro only, so that
// each line comes once per run although the file is read twice.
#ifndef MIRELON_CT_WARNINGS_H_
#define MIRELON_CT_WARNINGS_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/messages.h"  // format_warning
#include "structure/canonical_pairs.h"
#include "structure/ct_line.h"

namespace mirelon {

// The sequence step's warnings for `records` read from `file`: no
// nucleotide line at all; bases other than A, C, G and U; pairs that are
// not consistent (pair_fault()). Positions are CT indexes. Before those, the
// one that column 1 does not count 1 to N: the residue numbers follow column
// 1, column 5 does not.
std::vector<std::string> ct_file_warnings(const char* file, const std::vector<CtRecord>& records);

// The hydrogen-bond step's warnings: canonical pairs left out of the macro
// because they are not consistent, and, when there is no helix, that the
// macro file is not written.
std::vector<std::string> macro_warnings(const char* file, const char* macro_file,
                                        const std::vector<CtRecord>& records,
                                        const std::vector<FivePrimePair>& pairs,
                                        size_t helix_count);

// Writes `lines` to standard error, after everything already on standard
// output.
void print_warnings(const std::vector<std::string>& lines);

}  // namespace mirelon

#endif  // MIRELON_CT_WARNINGS_H_
