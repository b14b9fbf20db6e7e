#include "ct_warnings.h"

#include <cstdio>

#include "common/messages.h"
#include "common/nucleotides.h"
#include "common/numbers.h"

namespace mirelon {

namespace {

// Whether the pair named in column 5 of record `i` (a partner, not 0) is
// not consistent.
bool is_inconsistent_pair(const PartnerColumn& column, size_t i) {
  const std::vector<long>& partner_of = column.partner_of;
  const std::vector<size_t>& named = column.named;
  const long p = partner_of[i];
  const size_t n = partner_of.size();
  if (p < 1 || static_cast<unsigned long>(p) > n) return true;  // outside 1..N
  if (static_cast<size_t>(p) == i + 1) return true;             // paired with itself
  if (partner_of[static_cast<size_t>(p) - 1] != static_cast<long>(i) + 1) return true;
  return named[static_cast<size_t>(p)] > 1 || named[i + 1] > 1;  // named twice
}

// The warning for column 1 that does not count the nucleotides 1 to N, or
// nothing. Residue numbers follow column 1 all the same; column 5 names
// partners by their position in the file, so a file whose own numbering
// reaches column 5 loses its pairs.
std::string numbering_warning(const char* file, const std::vector<CtRecord>& records) {
  for (size_t i = 0; i < records.size(); ++i) {
    if (stream_int(records[i].index) == static_cast<int64_t>(i) + 1) continue;
    return format_warning(
        file, format_message("column 1 runs from %s to %s, not from 1 to %zu: the residue numbers "
                             "follow column 1, but column 5 is read as the partner's position in "
                             "the file (nucleotide line 1 to %zu), not as its column-1 number",
                             records.front().index.c_str(), records.back().index.c_str(),
                             records.size(), records.size()));
  }
  return {};
}

}  // namespace

std::vector<std::string> ct_file_warnings(const char* file, const std::vector<CtRecord>& records) {
  std::vector<std::string> lines;
  if (records.empty()) {
    lines.push_back(format_warning(file, "no nucleotide line: the files are written empty"));
    return lines;
  }
  if (std::string line = numbering_warning(file, records); !line.empty()) lines.push_back(line);
  std::vector<std::string> odd_bases;
  for (const CtRecord& record : records) {
    if (residue_name(record.base).empty()) odd_bases.push_back(record.index);
  }
  if (!odd_bases.empty()) {
    lines.push_back(format_warning(
        file,
        "nucleotides whose base is not A, C, G or U get no residue name in kesta.seq, no "
        "shifts and no restraints, and their residue numbers are missing from the sequence "
        "(mirelon-ct -u writes upper-case bases)",
        odd_bases));
  }
  const PartnerColumn column = read_partner_column(records);
  std::vector<std::string> faulty;
  for (size_t i = 0; i < records.size(); ++i) {
    if (column.partner_of[i] != 0 && is_inconsistent_pair(column, i)) {
      faulty.push_back(records[i].index);
    }
  }
  if (!faulty.empty()) {
    lines.push_back(format_warning(file,
                                   "pairs that are not consistent (one-sided, partner outside "
                                   "1..N, a nucleotide named as partner twice, or paired with "
                                   "itself)",
                                   faulty));
  }
  return lines;
}

std::vector<std::string> macro_warnings(const char* file, const char* macro_file,
                                        const std::vector<CtRecord>& records,
                                        const std::vector<FivePrimePair>& pairs,
                                        size_t helix_count) {
  std::vector<std::string> lines;
  std::vector<std::string> left_out;
  for (const FivePrimePair& pair : pairs) {
    if (pair.fault != PairFault::kNone) left_out.push_back(records[pair.record].index);
  }
  if (!left_out.empty()) {
    lines.push_back(format_warning(
        file,
        format_message("canonical pairs that are not consistent get no hydrogen-bond line in %s",
                       macro_file),
        left_out));
  }
  if (helix_count == 0) {
    lines.push_back(format_warning(
        file, format_message("no Watson-Crick helix: %s is not written, an older file of that "
                             "name is left as it was",
                             macro_file)));
  }
  return lines;
}

void print_warnings(const std::vector<std::string>& lines) {
  if (lines.empty()) return;
  std::fflush(stdout);
  for (const std::string& line : lines) std::fputs(line.c_str(), stderr);
}

}  // namespace mirelon
