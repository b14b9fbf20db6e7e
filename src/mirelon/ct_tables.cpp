#include "ct_tables.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <utility>

#include "common/files.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "common/text.h"
#include "fatal.h"
#include "run_notes.h"
#include "structure/ct_structures.h"
#include "structure/structure.h"

namespace mirelon {

namespace {

// The message for a file that is no CT file but a structure file that
// mirelon-ct reads (dot-bracket, BPSEQ) or a sequence without a structure
// (FASTA); empty when the content is none of these.
std::string other_format_message(std::string_view content, const char* file_name) {
  const StructureFormat format = detect_structure_format(content);
  if (format == StructureFormat::kFasta) {
    return format_message(
        "Error: secondary sequence file %s holds a sequence without a structure (FASTA), not a "
        "CT file; write its secondary structure in dot-bracket below the sequence and convert "
        "it with: mirelon-ct -o rna.ct %s\n",
        file_name, file_name);
  }
  if (format == StructureFormat::kCt) return {};
  // Only a file that mirelon-ct converts is called by its format's name, so
  // that the advice works.
  Structure structure;
  std::string ignored;
  if (!parse_structure(content, file_name, &structure, &ignored)) return {};
  return format_message(
      "Error: secondary sequence file %s is a %s file, not a CT file; convert it with: "
      "mirelon-ct -o rna.ct %s\n",
      file_name, format == StructureFormat::kBpseq ? "BPSEQ" : "dot-bracket", file_name);
}

// The message for the malformed nucleotide line `line` (line `line_number`
// of the file; `next` the rest of the content after it) with `fault`.
std::string malformed_line_message(std::string_view content, const char* file_name,
                                   std::string_view line, LineReader next, int line_number,
                                   const CtColumnFault& fault, size_t column_count) {
  std::string_view next_line;
  if (next.next_nonblank(&next_line) && starts_ct_structure(line, next_line)) {
    return format_message(
        "Error: line %d of secondary sequence file %s starts a second structure; mirelon reads "
        "one: take one with mirelon-ct -k K\n",
        line_number, file_name);
  }
  std::string message = other_format_message(content, file_name);
  if (!message.empty()) return message;
  if (fault.kind == CtColumnFault::kColumnCount) {
    return format_message(
        "Error: line %d of secondary sequence file %s has %d column%s instead of 6.\n", line_number,
        file_name, static_cast<int>(column_count), column_count == 1 ? "" : "s");
  }
  return format_message(
      "Error: line %d of secondary sequence file %s: column %d is not a whole number.\n",
      line_number, file_name, static_cast<int>(fault.column));
}

// Column 1 as an int; nothing when it does not fit one.
std::optional<int32_t> index_value(std::string_view index) {
  const std::optional<int64_t> value = whole_number_value(index);
  if (!value || *value < std::numeric_limits<int32_t>::min() ||
      *value > std::numeric_limits<int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<int32_t>(*value);
}

// The message for column 1 `index` of the nucleotide line `line_number`,
// which check_ct_index() refused with `fault` after `before`.
std::string index_message(const char* file_name, int line_number, CtIndexFault fault,
                          const std::string& index, std::string_view before) {
  if (fault == CtIndexFault::kOutOfRange) {
    return format_message(
        "Error: line %d of secondary sequence file %s: index %s is out of range.\n", line_number,
        file_name, index.c_str());
  }
  return format_message(
      "Error: line %d of secondary sequence file %s: index %s is not above the index before it "
      "(%s); column 1 must rise through all strands (column 6 may hold your own numbering).\n",
      line_number, file_name, index.c_str(), std::string(before).c_str());
}

}  // namespace

CtIndexFault check_ct_index(std::string_view index, std::string_view before) {
  const std::optional<int32_t> value = index_value(index);
  if (!value) return CtIndexFault::kOutOfRange;
  if (before.empty()) return CtIndexFault::kNone;
  const std::optional<int32_t> previous = index_value(before);
  if (previous && *value <= *previous) return CtIndexFault::kNotAbove;
  return CtIndexFault::kNone;
}

bool parse_ct_records(std::string_view content, const char* file_name,
                      std::vector<CtRecord>* records, std::string* error) {
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
    const CtColumnFault fault = check_ct_columns(words);
    if (fault.kind != CtColumnFault::kNone) {
      *error = malformed_line_message(content, file_name, line, lines, lines.line_number(), fault,
                                      words.size());
      records->clear();
      return false;
    }
    CtRecord record = ct_record_from_words(words);
    const std::string_view before =
        records->empty() ? std::string_view() : std::string_view(records->back().index);
    const CtIndexFault index_fault = check_ct_index(record.index, before);
    if (index_fault != CtIndexFault::kNone) {
      *error = index_message(file_name, lines.line_number(), index_fault, record.index, before);
      records->clear();
      return false;
    }
    records->push_back(std::move(record));
  }
  return true;
}

CtNucleotides read_ct_nucleotides(const char* file_name) {
  std::string content;
  if (!read_input_file(file_name, &content)) {
    fatal(To::kStdout, "\nUnable to open secondary sequence file: %s\nFor help type: mirelon -h\n",
          file_name);
  }
  CtNucleotides tables;
  std::string error;
  if (!parse_ct_records(content, file_name, &tables.records, &error)) {
    const std::string_view other = recognise_other_file(content);
    if (!other.empty()) {
      set_fatal_note(not_a_structure_note(file_name, other));
    } else if (is_capacity_message(error)) {
      set_fatal_note(capacity_note(Limit::kCtLines));
    }
    fatal(To::kStdout, "%s", error.c_str());
  }
  tables.residues = build_residues(tables.records);
  return tables;
}

}  // namespace mirelon
