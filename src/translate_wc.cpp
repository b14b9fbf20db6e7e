// The hydrogen-bond step: CT file in; "kesta.seq", the Watson-Crick macro and
// "idarrayke.txt" out, in that order.
#include "translate_wc.h"

#include <algorithm>

#include "common/files.h"
#include "common/messages.h"
#include "common/nucleotides.h"
#include "common/numbers.h"
#include "fatal.h"
#include "step_files.h"
#include "translate.h"
#include "translate_seq.h"

namespace mirelon {

namespace {

// A record that stands for its pair in the macro: paired canonically and
// listed before its partner by CT columns 1 and 5. The 3' members and the
// unpaired records (column 5 is 0) are never 5' pair records.
bool is_five_prime_pair_record(const CtRecord& record, const Residue& residue) {
  return residue.id[kOwnMark] == kMarkPaired && strtol10(record.index) < strtol10(record.partner);
}

// The residue number of the record at file position `position` (from 1), or
// an empty text when no record is there: CT files that are not well-formed
// may name any position in column 1 or 5.
std::string residue_number_at(const std::vector<Residue>& residues, long position) {
  if (position < 1 || static_cast<unsigned long>(position) > residues.size()) return {};
  return residues[static_cast<size_t>(position) - 1].id[kResidueNumber];
}

// Helices begin and end where the 5' strand's neighbours are not paired;
// the 3' strand is not looked at, so a bulge there does not split a helix.
bool is_first_pair(const Residue& residue) { return residue.id[kMarkBefore] == kMarkOther; }
bool is_last_pair(const Residue& residue) { return residue.id[kMarkAfter] == kMarkOther; }

}  // namespace

bool find_helix_ends(const CtTables& structure, HelixEnds* ends, std::string* error) {
  const std::vector<CtRecord>& records = structure.records;
  const std::vector<Residue>& residues = structure.residues;
  std::vector<size_t> pair_records;
  size_t first_pairs = 0;
  size_t last_pairs = 0;
  for (size_t i = 0; i < records.size(); ++i) {
    if (!is_five_prime_pair_record(records[i], residues[i])) continue;
    pair_records.push_back(i);
    if (is_first_pair(residues[i])) ++first_pairs;
    if (is_last_pair(residues[i])) ++last_pairs;
  }
  // Both limits are tested before any entry is stored.
  const long long capacity = static_cast<long long>(kMaxHelixEnds);
  const long long needed_by_helices = 2 * static_cast<long long>(first_pairs);
  if (needed_by_helices > capacity) {
    *error = capacity_message(needed_by_helices, capacity);
    return false;
  }
  const long long needed_by_ends =
      static_cast<long long>(first_pairs) + static_cast<long long>(last_pairs);
  if (needed_by_ends > capacity) {
    *error = capacity_message(needed_by_ends, capacity);
    return false;
  }

  ends->helix_count = first_pairs;
  ends->entries.clear();
  ends->entries.reserve(std::max(first_pairs + last_pairs, 2 * first_pairs));
  for (size_t i : pair_records) {
    const PairEntry entry{residue_number_at(residues, strtol10(records[i].index)),
                          residue_number_at(residues, strtol10(records[i].partner))};
    if (is_first_pair(residues[i])) ends->entries.push_back(entry);
    if (is_last_pair(residues[i])) ends->entries.push_back(entry);
  }
  // A helix whose last pair never came (its run of 5' pair records ends
  // next to a paired record) reads the empty entries after the list's end.
  if (ends->entries.size() < 2 * first_pairs) ends->entries.resize(2 * first_pairs);
  return true;
}

std::string format_hbond_macro(const HelixEnds& ends) {
  std::string text;
  for (size_t h = 0; h < ends.helix_count; ++h) {
    const PairEntry& first = ends.entries[2 * h];
    const PairEntry& last = ends.entries[2 * h + 1];
    text += "hbond watsoncrick=";
    text += first.five_prime;
    text += '-';
    text += last.five_prime;
    text += ',';
    text += last.partner;
    text += '-';
    text += first.partner;
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
  const CtTables structure = read_ct_tables(ct_file);
  write_sequence_file(structure.residues);
  HelixEnds ends;
  std::string error;
  if (!find_helix_ends(structure, &ends, &error)) fatal(To::kStdout, "%s", error.c_str());
  // Without a helix the macro file is not touched at all.
  if (ends.helix_count > 0) write_step_file(macro_file, format_hbond_macro(ends));
  write_residue_id_file(format_residue_id_file(structure.residues));
  return 0;
}
