// The sequence step: CT file in, "kesta.seq", the echo and "idarrayke.txt" out.
#include <string>

#include "files.h"
#include "secondary_structure.h"
#include "translate.h"

int translate_seq(const char* ct_file) {
  using namespace mirelon;
  const SecondaryStructure structure = read_secondary_structure(ct_file);
  write_sequence_file(structure.residues);
  // The echo shows exactly what the residue-ID file will hold.
  const std::string residue_ids = format_residue_id_file(structure.residues);
  write_stdout(residue_ids);
  write_residue_id_file(residue_ids);
  return 0;
}
