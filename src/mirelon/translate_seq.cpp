// The sequence step: CT file in, "kesta.seq", the echo and "idarrayke.txt" out.
#include "translate_seq.h"

#include "common/files.h"
#include "common/nucleotides.h"
#include "common/numbers.h"
#include "ct_tables.h"
#include "ct_warnings.h"
#include "step_files.h"
#include "translate.h"

namespace mirelon {

namespace {

// Columns of a "kesta.seq" line: the name, then the residue number.
constexpr size_t kNameWidth = 5;
constexpr size_t kNumberWidth = 4;

}  // namespace

std::string format_sequence_line(std::string_view name, int64_t number) {
  std::string line = pad_right(name, kNameWidth);
  line += pad_left(decimal(number), kNumberWidth);
  line += '\n';
  return line;
}

std::string format_sequence_file(const std::vector<Residue>& residues) {
  std::string text;
  for (const Residue& residue : residues) {
    const std::string_view name = residue_name(residue.id[kOwnBase]);
    if (!name.empty()) text += format_sequence_line(name, residue.number);
    if (residue.break_after) {
      // The linker fills the 100 numbers after the residue: NL, 98 LL, LN.
      text += format_sequence_line("NL", residue.number + 1);
      for (int64_t k = 2; k < kLinkerLength; ++k) {
        text += format_sequence_line("LL", residue.number + k);
      }
      text += format_sequence_line("LN", residue.number + kLinkerLength);
    }
  }
  return text;
}

void write_sequence_file(const std::vector<Residue>& residues) {
  write_step_file(kSequenceFileName, format_sequence_file(residues));
}

}  // namespace mirelon

int translate_seq(const char* ct_file) {
  using namespace mirelon;
  const CtNucleotides tables = read_ct_nucleotides(ct_file);
  write_sequence_file(tables.residues);
  // The echo shows exactly what the residue-ID file will hold.
  const std::string residue_ids = format_residue_id_file(tables.residues);
  write_stdout(residue_ids);
  write_residue_id_file(residue_ids);
  print_warnings(ct_file_warnings(ct_file, tables.records));
  return 0;
}
