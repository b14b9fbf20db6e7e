#include "prediction/stat_table.h"

#include <algorithm>
#include <utility>

#include "common/messages.h"
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

// The fields of a record are built from the words directly: cheaper than
// assigning to default-built strings, on tables of 20000 records.
template <size_t N, size_t... I>
std::array<std::string, N> make_record(const TableLine& line, std::index_sequence<I...>) {
  return {std::string(line.words[I])...};
}

template <size_t N>
void append_record(const TableLine& line, std::vector<std::array<std::string, N>>* records) {
  records->push_back(make_record<N>(line, std::make_index_sequence<N>()));
}

}  // namespace

bool parse_stat_table(std::string_view content, const char* file_name, StatTable* table,
                      std::string* error) {
  // One pass: records are kept while the table is sound so far; the first
  // record line with the wrong number of words is reported only when the
  // terminators and the capacities are in order, so the pass runs on to the
  // third terminator whatever it meets. Room is reserved for as many records
  // as the content could hold (a record of n words takes at least 2n bytes);
  // untouched room costs address space, not memory.
  StatTable result;
  result.context.reserve(std::min(content.size() / (2 * kContextFieldCount) + 1, kMaxStatRecords));
  result.base.reserve(std::min(content.size() / (2 * kBaseFieldCount) + 1, kMaxStatRecords));
  result.multipliers.reserve(
      std::min(content.size() / (2 * kMultiplierFieldCount) + 1, kMultiplierRoom));

  std::array<size_t, kStatSectionCount> counts = {};
  size_t section = 0;  // sections ended so far
  int bad_line = 0;
  size_t bad_found = 0;
  size_t bad_expected = 0;
  TableLine parsed;
  std::string_view line;
  bool terminated;
  for (LineReader lines(content); section < kStatSectionCount && lines.next(&line, &terminated);) {
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
        append_record(parsed, &result.context);
        break;
      case 1:
        append_record(parsed, &result.base);
        break;
      default:
        append_record(parsed, &result.multipliers);
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

}  // namespace mirelon
