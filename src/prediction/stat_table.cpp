#include "prediction/stat_table.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "common/messages.h"
#include "common/numbers.h"
#include "common/text.h"

namespace mirelon {

namespace {

constexpr std::array<size_t, kStatSectionCount> kSectionFieldCounts = {
    kContextFieldCount, kBaseFieldCount, kMultiplierFieldCount};
constexpr size_t kMostFields = kContextFieldCount;
// Multiplier rows that the prediction reads: counts 2 to 121 and the
// large-count row.
constexpr size_t kMultiplierRoom = kMultiplierRowCount;

enum class LineKind { kComment, kTerminator, kRecord };

// A line of the table as the reader sees it. For a record line: how many
// words it holds before its first word that starts with '#' or ':' (such a
// word never becomes a field), and the first kMostFields of them.
struct TableLine {
  LineKind kind = LineKind::kComment;
  size_t word_count = 0;
  std::array<std::string_view, kMostFields> words;
};

// Classifies a line by its first character. A line that is left without a
// word (empty, white space only, an indented comment) counts as a comment.
void classify(std::string_view line, TableLine* out) {
  out->word_count = 0;
  if (!line.empty() && line.front() == kStatComment) {
    out->kind = LineKind::kComment;
    return;
  }
  if (!line.empty() && line.front() == kStatTerminator) {
    out->kind = LineKind::kTerminator;
    return;
  }
  WordScanner scanner(line);
  std::string_view word;
  while (scanner.next(&word) && word.front() != kStatComment && word.front() != kStatTerminator) {
    if (out->word_count < kMostFields) out->words[out->word_count] = word;
    ++out->word_count;
  }
  out->kind = out->word_count == 0 ? LineKind::kComment : LineKind::kRecord;
}

// Adds the record of `line` whose words at `places` are kept, in that order.
template <size_t N>
void append_record(const TableLine& line, int line_number, const std::array<size_t, N>& places,
                   std::vector<std::array<std::string_view, N>>* records, std::vector<int>* lines) {
  std::array<std::string_view, N>& record = records->emplace_back();
  for (size_t k = 0; k < N; ++k) record[k] = line.words[places[k]];
  lines->push_back(line_number);
}

// The places 0 to N - 1.
template <size_t N>
constexpr std::array<size_t, N> first_places() {
  std::array<size_t, N> places = {};
  for (size_t k = 0; k < N; ++k) places[k] = k;
  return places;
}

// Adds the problem of `text`, if any, to `problems`.
void add_problem(std::optional<TableValueFault> fault, int line, std::string_view field,
                 std::string_view text, std::vector<TableValueProblem>* problems) {
  if (fault) problems->push_back({line, *fault, field, std::string(text)});
}

}  // namespace

bool parse_stat_table(std::string content, const char* file_name, StatTable* table,
                      std::string* error) {
  // One pass: records are kept while the table is sound so far; the first
  // record line with the wrong number of words is reported only when the
  // terminators and the capacities are in order, so the pass runs on to the
  // third terminator whatever it meets. The records view the content, which
  // the table keeps. No section holds more records than the content has
  // lines, so that count sizes each table once (untouched room costs address
  // space, not memory).
  StatTable result;
  result.text = std::make_shared<const std::string>(std::move(content));
  const std::string_view text = *result.text;
  const size_t lines_held = static_cast<size_t>(count_terminated_lines(text)) + 1;
  result.context.reserve(std::min(lines_held, kMaxStatRecords));
  result.base.reserve(std::min(lines_held, kMaxStatRecords));
  result.multipliers.reserve(std::min(lines_held, kMultiplierRoom));
  result.context_lines.reserve(result.context.capacity());
  result.base_lines.reserve(result.base.capacity());
  result.multiplier_lines.reserve(result.multipliers.capacity());

  std::array<size_t, kStatSectionCount> counts = {};
  size_t section = 0;  // sections ended so far
  int bad_line = 0;
  size_t bad_found = 0;
  size_t bad_expected = 0;
  TableLine parsed;
  std::string_view line;
  bool terminated;
  for (LineReader lines(text); section < kStatSectionCount && lines.next(&line, &terminated);) {
    classify(line, &parsed);
    if (parsed.kind == LineKind::kTerminator) ++section;
    if (parsed.kind != LineKind::kRecord) continue;
    const size_t count = ++counts[section];
    if (bad_line == 0 && parsed.word_count != kSectionFieldCounts[section]) {
      bad_line = lines.line_number();
      bad_found = parsed.word_count;
      bad_expected = kSectionFieldCounts[section];
    }
    if (bad_line != 0 || count > kMaxStatRecords) continue;  // refused anyway
    switch (section) {
      case 0:
        append_record(parsed, lines.line_number(), first_places<kContextKeptCount>(),
                      &result.context, &result.context_lines);
        break;
      case 1:
        append_record(parsed, lines.line_number(), kBaseKeptFields, &result.base,
                      &result.base_lines);
        break;
      default:
        append_record(parsed, lines.line_number(), first_places<kMultiplierFieldCount>(),
                      &result.multipliers, &result.multiplier_lines);
        break;
    }
  }

  if (section < kStatSectionCount) {
    *error = format_message(
        "Error: statistics file %s has %d of its 3 sections ended by a line starting with ':'.\n",
        file_name, static_cast<int>(section));
    return false;
  }
  for (size_t count : counts) {
    if (count > kMaxStatRecords) {
      *error =
          capacity_message(static_cast<long long>(count), static_cast<long long>(kMaxStatRecords));
      return false;
    }
  }
  if (bad_line != 0) {
    *error = format_message("Error: line %d of statistics file %s has %d fields instead of %d.\n",
                            bad_line, file_name, static_cast<int>(bad_found),
                            static_cast<int>(bad_expected));
    return false;
  }
  *table = std::move(result);
  return true;
}

std::optional<TableValueFault> mean_fault(std::string_view text) {
  if (!starts_with_number(text)) return TableValueFault::kNoNumber;
  if (!std::isfinite(strtod_text(text))) return TableValueFault::kNotFinite;
  return std::nullopt;
}

std::optional<TableValueFault> scale_fault(std::string_view text) {
  const double value = strtod_text(text);
  if (!std::isfinite(value)) return TableValueFault::kNotFinite;
  if (value < 0) return TableValueFault::kNegative;
  return std::nullopt;
}

std::vector<TableValueProblem> table_value_problems(const StatTable& table,
                                                    const std::vector<bool>* context_used,
                                                    const std::vector<bool>* base_used) {
  std::vector<TableValueProblem> problems;
  for (size_t i = 0; i < table.context.size(); ++i) {
    if (context_used != nullptr && !(*context_used)[i]) continue;
    const ContextStatRecord& record = table.context[i];
    const int line = table.context_lines[i];
    add_problem(mean_fault(record[kContextMean]), line, "mean", record[kContextMean], &problems);
    add_problem(scale_fault(record[kContextSpread]), line, "spread", record[kContextSpread],
                &problems);
  }
  for (size_t i = 0; i < table.base.size(); ++i) {
    if (base_used != nullptr && !(*base_used)[i]) continue;
    const BaseStatRecord& record = table.base[i];
    const int line = table.base_lines[i];
    add_problem(mean_fault(record[kBaseMean]), line, "mean", record[kBaseMean], &problems);
    add_problem(scale_fault(record[kBaseSpread]), line, "spread", record[kBaseSpread], &problems);
  }
  for (size_t i = 0; i < table.multipliers.size(); ++i) {
    for (size_t field = kMultiplierLabel + 1; field < kMultiplierFieldCount; ++field) {
      const std::string_view text = table.multipliers[i][field];
      add_problem(scale_fault(text), table.multiplier_lines[i], "multiplier", text, &problems);
    }
  }
  return problems;
}

std::string table_value_error(const TableValueProblem& problem, const char* file_name) {
  const char* what = problem.fault == TableValueFault::kNotFinite  ? "is not a finite number"
                     : problem.fault == TableValueFault::kNegative ? "is negative"
                                                                   : "holds no number";
  return format_message("Error: line %d of statistics file %s: %s '%s' %s.\n", problem.line,
                        file_name, std::string(problem.field).c_str(), problem.text.c_str(), what);
}

}  // namespace mirelon
