// The hydrogen-bond step: CT file in; "kesta.seq", the Watson-Crick macro and
// "idarrayke.txt" out, in that order.
#include "translate_wc.h"

#include "common/files.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "ct_warnings.h"
#include "fatal.h"
#include "run_notes.h"
#include "step_files.h"
#include "translate.h"
#include "translate_seq.h"

namespace mirelon {

HelixRule::HelixRule(const std::vector<CtRecord>& records)
    : paired_before_(records.size() + 1, 0), ends_before_(records.size() + 1, 0) {
  for (size_t i = 0; i < records.size(); ++i) {
    paired_before_[i + 1] = paired_before_[i] + (strtol10(records[i].partner) != 0 ? 1 : 0);
    ends_before_[i + 1] = ends_before_[i] + (records[i].after == "0" ? 1 : 0);
  }
}

bool HelixRule::continues_helix(const FivePrimePair& outer, const FivePrimePair& inner) const {
  if (inner.record != outer.record + 1) return false;
  // No chain break after the outer record.
  if (ends_before_[outer.record + 1] != ends_before_[outer.record]) return false;
  if (inner.partner >= outer.partner) return false;
  // Records strictly between the partners are unpaired.
  if (paired_before_[outer.partner] != paired_before_[inner.partner + 1]) return false;
  // No strand ends from the inner partner up to the one before the outer.
  return ends_before_[outer.partner] == ends_before_[inner.partner];
}

std::vector<Helix> find_helices(const std::vector<CtRecord>& records,
                                const std::vector<FivePrimePair>& pairs) {
  const HelixRule rule(records);
  std::vector<Helix> helices;
  bool open = false;  // whether the last helix can still grow
  for (const FivePrimePair& pair : pairs) {
    if (pair.fault != PairFault::kNone) {
      open = false;
      continue;
    }
    if (open && rule.continues_helix(helices.back().last, pair)) {
      helices.back().last = pair;
    } else {
      helices.push_back(Helix{pair, pair});
      open = true;
    }
  }
  return helices;
}

bool check_helix_capacity(size_t helix_count, std::string* error) {
  const long long needed = 2 * static_cast<long long>(helix_count);
  if (needed <= static_cast<long long>(kMaxHelixEnds)) return true;
  *error = capacity_message(needed, static_cast<long long>(kMaxHelixEnds));
  return false;
}

std::string format_hbond_macro(const std::vector<Residue>& residues,
                               const std::vector<Helix>& helices) {
  const auto number = [&residues](size_t position) {
    return residues[position].id[kResidueNumber];
  };
  std::string text;
  for (const Helix& helix : helices) {
    text += "hbond watsoncrick=";
    text += number(helix.first.record);
    text += '-';
    text += number(helix.last.record);
    text += ',';
    text += number(helix.last.partner);
    text += '-';
    text += number(helix.first.partner);
    text += '\n';
  }
  return text;
}

}  // namespace mirelon

int translate_wc(const char* ct_file, const char* macro_file) {
  using namespace mirelon;
  // The sequence step has read the CT file already. A pipe or a device would
  // give other content, mostly none, on this second reading, and "kesta.seq"
  // and "idarrayke.txt" would be rewritten empty; refuse it instead, leaving
  // the files of the sequence step as they are.
  if (is_stream_file(ct_file)) {
    fatal(To::kStdout,
          "Error: secondary sequence file %s is not a regular file and cannot be read again "
          "for the macro.\n",
          ct_file);
  }
  const CtNucleotides structure = read_ct_nucleotides(ct_file);
  write_sequence_file(structure.residues);
  const std::vector<FivePrimePair> pairs = five_prime_pairs(structure.records);
  const std::vector<Helix> helices = find_helices(structure.records, pairs);
  std::string error;
  if (!check_helix_capacity(helices.size(), &error)) {
    set_fatal_note(capacity_note(Limit::kHelixEnds));
    fatal(To::kStdout, "%s", error.c_str());
  }
  // The sequence step has warned about the file; these are the macro's own.
  print_warnings(macro_warnings(ct_file, macro_file, structure.records, pairs, helices.size()));
  // Without a helix the macro file is not touched at all.
  if (!helices.empty()) {
    write_step_file(macro_file, format_hbond_macro(structure.residues, helices));
  }
  write_residue_id_file(format_residue_id_file(structure.residues));
  return 0;
}
