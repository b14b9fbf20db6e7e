// The files the steps of a run write and pass on: every output written whole
// or the run ended, and the residue-ID file "idarrayke.txt", the only channel
// between the steps.
#ifndef MIRELON_STEP_FILES_H_
#define MIRELON_STEP_FILES_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "structure/residue_context.h"
#include "structure/residue_ids.h"

namespace mirelon {

inline constexpr const char* kResidueIdFileName = "idarrayke.txt";

// Writes `content` as the whole new file `name`. Ends the process with exit
// status 1 after "\nUnable to write file: NAME (REASON)\n" when it cannot be
// written.
void write_step_file(const char* name, std::string_view content);

// The content of "idarrayke.txt" for `residues`, which the sequence step also
// echoes on standard output.
std::string format_residue_id_file(const std::vector<Residue>& residues);

// Writes `content` (from format_residue_id_file) as "idarrayke.txt", as
// write_step_file() does.
void write_residue_id_file(std::string_view content);

// Reads "idarrayke.txt" from the working directory as parse_residue_ids()
// does. Ends the process with exit status 1 after the step's message when the
// file cannot be opened or holds more than `capacity` lines.
std::vector<ResidueIdRecord> read_residue_id_file(size_t capacity);

}  // namespace mirelon

#endif  // MIRELON_STEP_FILES_H_
