#include "secondary_structure.h"

#include <array>

#include "fatal.h"
#include "files.h"
#include "nucleotides.h"
#include "numbers.h"
#include "text.h"

namespace mirelon {

namespace {

// Columns that must hold whole numbers: index, before, after, partner.
constexpr std::array<size_t, 4> kNumericColumns = {0, 2, 3, 4};

}  // namespace

bool parse_ct(std::string_view content, const char* file_name, std::vector<CtRecord>* records,
              std::string* error) {
  records->clear();
  LineReader lines(content);
  std::string_view line;
  bool terminated = false;
  if (!lines.next(&line, &terminated)) return true;  // empty file: no header, no nucleotides

  // Counting pass: the capacity is tested before any line is looked at.
  long long count = 0;
  for (LineReader counter = lines; counter.next(&line, &terminated);) {
    if (!is_blank(line)) ++count;
  }
  if (count > static_cast<long long>(kMaxNucleotides)) {
    *error = capacity_message(count, static_cast<long long>(kMaxNucleotides));
    return false;
  }

  records->reserve(static_cast<size_t>(count));
  while (lines.next(&line, &terminated)) {
    if (is_blank(line)) continue;
    const std::vector<std::string_view> words = split_words(line);
    if (words.size() != kCtColumnCount) {
      *error = format_message(
          "Error: line %d of secondary sequence file %s has %d columns instead of 6.\n",
          lines.line_number(), file_name, static_cast<int>(words.size()));
      records->clear();
      return false;
    }
    for (size_t column : kNumericColumns) {
      if (!is_whole_number(words[column])) {
        *error = format_message(
            "Error: line %d of secondary sequence file %s: column %d is not a whole number.\n",
            lines.line_number(), file_name, static_cast<int>(column + 1));
        records->clear();
        return false;
      }
    }
    records->push_back(CtRecord{std::string(words[0]), std::string(words[1]), std::string(words[2]),
                                std::string(words[3]), std::string(words[4]),
                                std::string(words[5])});
  }
  return true;
}

std::string_view pairing_mark(const std::vector<CtRecord>& records, size_t j) {
  const int32_t partner = stream_int(records[j].partner);
  // Column 5 counts records from 1 in file order; 0 is unpaired, and a
  // position outside the file names no base, so no pair.
  if (partner <= 0 || static_cast<size_t>(partner) > records.size()) return kMarkOther;
  const std::string& partner_base = records[static_cast<size_t>(partner) - 1].base;
  return is_watson_crick(records[j].base, partner_base) ? kMarkPaired : kMarkOther;
}

std::vector<Residue> build_residues(const std::vector<CtRecord>& records) {
  const size_t n = records.size();
  std::vector<std::string_view> marks(n);
  for (size_t j = 0; j < n; ++j) marks[j] = pairing_mark(records, j);

  std::vector<Residue> residues(n);
  int64_t breaks = 0;
  for (size_t i = 0; i < n; ++i) {
    ResidueIdRecord& id = residues[i].id;
    // A strand starts at the first record and wherever column 3 is "0".
    const bool has_before = i > 0 && records[i].before != kNoBase;
    const bool has_two_before = has_before && i > 1 && records[i - 1].before != kNoBase;
    const bool has_after = i + 1 < n && records[i].after != kNoBase;

    residues[i].number = stream_int(records[i].index) + kLinkerLength * breaks;
    id[kResidueNumber] = decimal(residues[i].number);
    id[kCtIndex] = records[i].index;
    id[kBaseTwoBefore] = has_two_before ? records[i - 2].base : std::string(kNoBase);
    id[kMarkTwoBefore] = has_two_before ? marks[i - 2] : kMarkOther;
    id[kBaseBefore] = has_before ? records[i - 1].base : std::string(kNoBase);
    id[kMarkBefore] = has_before ? marks[i - 1] : kMarkOther;
    id[kOwnBase] = records[i].base;
    id[kOwnMark] = marks[i];
    id[kBaseAfter] = has_after ? records[i + 1].base : std::string(kNoBase);
    id[kMarkAfter] = has_after ? marks[i + 1] : kMarkOther;

    // The last record ends the file, not a chain: no linker after it.
    residues[i].break_after = i + 1 < n && records[i].after == kNoBase;
    if (residues[i].break_after) ++breaks;
  }
  return residues;
}

std::string format_sequence_line(std::string_view name, int64_t number) {
  std::string line = pad_right(name, 5);
  line += pad_left(decimal(number), 4);
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

std::vector<ResidueIdRecord> residue_id_records(const std::vector<Residue>& residues) {
  std::vector<ResidueIdRecord> ids;
  ids.reserve(residues.size());
  for (const Residue& residue : residues) ids.push_back(residue.id);
  return ids;
}

void write_sequence_file(const std::vector<Residue>& residues) {
  write_output_file(kSequenceFileName, format_sequence_file(residues));
}

std::string format_residue_id_file(const std::vector<Residue>& residues) {
  return format_residue_id_lines(residue_id_records(residues));
}

void write_residue_id_file(std::string_view content) {
  write_output_file(kResidueIdFileName, content);
}

SecondaryStructure read_secondary_structure(const char* file_name) {
  std::string content;
  if (!read_input_file(file_name, &content)) {
    fatal("\nUnable to open secondary sequence file: %s\nFor help type: mirelon -h\n", file_name);
  }
  SecondaryStructure structure;
  std::string error;
  if (!parse_ct(content, file_name, &structure.records, &error)) fatal("%s", error.c_str());
  structure.residues = build_residues(structure.records);
  return structure;
}

}  // namespace mirelon
