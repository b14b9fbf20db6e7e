// The chemical shift step: "idarrayke.txt" and the statistics table in,
// "kesta.prot" out.
#include "translate_stat.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/files.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "ct_warnings.h"
#include "fatal.h"
#include "prediction/stat_table.h"
#include "run_notes.h"
#include "step_files.h"
#include "translate.h"

namespace mirelon {

namespace {

// Columns of a "kesta.prot" line: minimum widths, and the line with every
// text within its width, line feed included.
constexpr size_t kNumberWidth = 4;
constexpr size_t kMeanWidth = 10;
constexpr size_t kToleranceWidth = 9;
constexpr std::string_view kAtomGap = "  ";
constexpr size_t kAtomWidth = 4;
constexpr size_t kResidueWidth = 4;
constexpr size_t kOriginWidth = 4;
constexpr size_t kShiftLineLength = 38;

// Copies `text` into `*at` widened to `width` with blanks on the left (or
// on the right) and moves `*at` past it.
char* put_left(char* at, std::string_view text, size_t width) {
  for (size_t k = text.size(); k < width; ++k) *at++ = ' ';
  return std::copy(text.begin(), text.end(), at);
}
char* put_right(char* at, std::string_view text, size_t width) {
  at = std::copy(text.begin(), text.end(), at);
  for (size_t k = text.size(); k < width; ++k) *at++ = ' ';
  return at;
}

// Texts up to this length go through the line buffer of append_shift_line().
constexpr size_t kShortText = 32;

// Appends the line of `entry` in the layout of format_shift_line(): built
// in a buffer on the stack and appended at once when every text is short,
// as in every table in use.
void append_shift_line(const ShiftEntry& entry, std::string* out) {
  char mean[kFixedTextRoom];
  char tolerance[kFixedTextRoom];
  const size_t mean_length = fixed_text(strtod_text(entry.mean_shift), 4, mean);
  const size_t tolerance_length = fixed_text(strtod_text(entry.tolerance), 4, tolerance);
  if (mean_length != 0 && tolerance_length != 0 && entry.atom.size() <= kShortText &&
      entry.residue_number.size() <= kShortText) {
    char number[24];
    const std::to_chars_result written =
        std::to_chars(number, number + sizeof number, static_cast<uint64_t>(entry.number));
    char line[4 * kShortText + 2 * kFixedTextRoom + sizeof number];
    char* at = line;
    at = put_left(at, std::string_view(number, static_cast<size_t>(written.ptr - number)),
                  kNumberWidth);
    at = put_left(at, std::string_view(mean, mean_length), kMeanWidth);
    at = put_left(at, std::string_view(tolerance, tolerance_length), kToleranceWidth);
    at = std::copy(kAtomGap.begin(), kAtomGap.end(), at);
    at = put_right(at, entry.atom, kAtomWidth);
    at = put_left(at, entry.residue_number, kResidueWidth);
    at = put_left(at, std::string_view(&entry.origin, 1), kOriginWidth);
    *at++ = '\n';
    out->append(line, static_cast<size_t>(at - line));
    return;
  }
  append_pad_left(out, decimal(static_cast<int64_t>(entry.number)), kNumberWidth);
  append_f4(out, strtod_text(entry.mean_shift), kMeanWidth);
  append_f4(out, strtod_text(entry.tolerance), kToleranceWidth);
  out->append(kAtomGap);
  append_pad_right(out, entry.atom, kAtomWidth);
  append_pad_left(out, entry.residue_number, kResidueWidth);
  append_pad_left(out, std::string_view(&entry.origin, 1), kOriginWidth);
  out->push_back('\n');
}

StatTable read_stat_table(const char* file_name) {
  std::string content;
  if (!read_input_file(file_name, &content)) {
    fatal(To::kStdout, "\nUnable to open statistics file: %s\nFor help type: mirelon -h\n",
          file_name);
  }
  StatTable table;
  std::string error;
  if (!parse_stat_table(std::move(content), file_name, &table, &error)) {
    if (is_capacity_message(error)) set_fatal_note(capacity_note(Limit::kTableRecords));
    fatal(To::kStdout, "%s", error.c_str());
  }
  return table;
}

// What a warning says about each kind of faulty table value, in the order
// of TableValueFault.
constexpr std::array<const char*, 3> kTableValueWarnings = {
    "means, spreads or multipliers that are not finite numbers (nan, inf or beyond the range of "
    "a double) reach kesta.prot as nan or inf where they are used",
    "negative spreads or multipliers give negative tolerances in kesta.prot where they are used",
    "means without a number are read as 0 and written as 0.0000 to kesta.prot",
};

// "line 3", then "7", "12": the lines of a warning, each named once.
std::vector<std::string> line_list(const std::vector<int>& lines) {
  std::vector<std::string> named;
  for (size_t k = 0; k < lines.size(); ++k) {
    if (k > 0 && lines[k] == lines[k - 1]) continue;
    named.push_back(decimal(lines[k]));
  }
  if (!named.empty()) named.front().insert(0, named.size() == 1 ? "line " : "lines ");
  return named;
}

}  // namespace

std::vector<std::string> table_value_warnings(const char* file, const StatTable& table,
                                              const std::vector<ShiftEntry>& entries) {
  std::vector<bool> context_used(table.context.size());
  std::vector<bool> base_used(table.base.size());
  for (const ShiftEntry& entry : entries) {
    (entry.origin == kOriginContext ? context_used : base_used)[entry.record] = true;
  }
  std::array<std::vector<int>, kTableValueWarnings.size()> lines;
  for (const TableValueProblem& problem : table_value_problems(table, &context_used, &base_used)) {
    lines[static_cast<size_t>(problem.fault)].push_back(problem.line);
  }
  std::vector<std::string> warnings;
  for (size_t kind = 0; kind < lines.size(); ++kind) {
    if (lines[kind].empty()) continue;
    warnings.push_back(format_warning(file, kTableValueWarnings[kind], line_list(lines[kind])));
  }
  return warnings;
}

std::string entry_bound_note(long long bound) {
  return format_message(
      "Note: the entry bound of this RNA is %lld (%s); the shift list holds at most %zu entries "
      "(%s), so nothing was "
      "written to %s: predict shifts for a smaller construct or a domain.\n",
      bound, entry_bound_text().c_str(), kMaxShiftSlots - 1, shift_list_size_text().c_str(),
      kShiftListFileName);
}

std::string format_shift_line(const ShiftEntry& entry) {
  std::string line;
  append_shift_line(entry, &line);
  return line;
}

std::string format_shift_list(const std::vector<ShiftEntry>& entries) {
  std::string content;
  // Lines are kShiftLineLength bytes unless a text is wider than its column.
  content.reserve(entries.size() * kShiftLineLength);
  for (const ShiftEntry& entry : entries) append_shift_line(entry, &content);
  return content;
}

}  // namespace mirelon

int translate_stat(const char* stat_file, const char* level) {
  using namespace mirelon;
  const std::vector<ResidueIdRecord> residues = read_residue_id_file(kMaxShiftResidues);
  // The bound is tested before the statistics table is opened.
  const long long bound = entry_bound(residues);
  if (bound > static_cast<long long>(kMaxShiftSlots)) {
    set_fatal_note(entry_bound_note(bound));
    fatal(To::kStdout, "%s",
          capacity_message(bound, static_cast<long long>(kMaxShiftSlots)).c_str());
  }
  const StatTable table = read_stat_table(stat_file);
  std::vector<ShiftEntry> entries;
  std::string error;
  if (!predict_shifts(residues, table, strtol10(level), &entries, &error)) {
    if (is_capacity_message(error)) set_fatal_note(capacity_note(Limit::kShiftEntries));
    fatal(To::kStdout, "%s", error.c_str());
  }
  print_warnings(table_value_warnings(stat_file, table, entries));
  // Every failure came before this point, so a failed run leaves an older
  // "kesta.prot" as it was.
  write_step_file(kShiftListFileName, format_shift_list(entries));
  return 1;
}
