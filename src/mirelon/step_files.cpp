#include "step_files.h"

#include "common/files.h"
#include "common/messages.h"
#include "fatal.h"
#include "run_notes.h"

namespace mirelon {

void write_step_file(const char* name, std::string_view content) {
  std::string error;
  // mirelon's messages of files it cannot open or write follow a blank line.
  if (!write_output_file(name, content, &error)) fatal(To::kStdout, "\n%s", error.c_str());
  record_written_file(name);
}

std::string format_residue_id_file(const std::vector<Residue>& residues) {
  return format_residue_id_lines(residue_id_records(residues));
}

void write_residue_id_file(std::string_view content) {
  write_step_file(kResidueIdFileName, content);
}

std::vector<ResidueIdRecord> read_residue_id_file(size_t capacity) {
  std::string content;
  if (!read_input_file(kResidueIdFileName, &content)) {
    fatal(To::kStdout, "\nUnable to open ID sequence file: %s\nFor help type: mirelon -h\n",
          kResidueIdFileName);
  }
  std::vector<ResidueIdRecord> records;
  std::string error;
  if (!parse_residue_ids(content, capacity, &records, &error)) {
    if (is_capacity_message(error)) set_fatal_note(capacity_note(Limit::kResidueIdLines));
    fatal(To::kStdout, "%s", error.c_str());
  }
  return records;
}

}  // namespace mirelon
