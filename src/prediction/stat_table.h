// The statistics table: context statistics, base statistics and interval
// multipliers, each section closed by a line that starts with ':'.
#ifndef MIRELON_STAT_TABLE_H_
#define MIRELON_STAT_TABLE_H_

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/prediction_levels.h"

namespace mirelon {

// Records each section may hold.
inline constexpr size_t kMaxStatRecords = 20000;
inline constexpr size_t kStatSectionCount = 3;
inline constexpr char kStatComment = '#';
inline constexpr char kStatTerminator = ':';

inline constexpr size_t kContextFieldCount = 13;
inline constexpr size_t kBaseFieldCount = 8;
// A multiplier row: its label, then one factor per prediction level.
inline constexpr size_t kMultiplierFieldCount = 1 + kLevelCount;
static_assert(kMultiplierFieldCount == 12, "the table format has 12 fields per multiplier row");

// A record keeps the fields that the prediction reads; the others must be
// present in the file but are not kept. Context statistics records keep
// their first six fields, at their places (field 1 is position 0); base
// statistics records keep fields 1, 2, 7 and 8 (kBaseKeptFields), in that
// order; multiplier rows keep all twelve.
inline constexpr size_t kContextKeptCount = 6;
inline constexpr std::array<size_t, 4> kBaseKeptFields = {0, 1, 6, 7};

// Places of the kept fields of a record.
enum ContextStatField : size_t {
  kContextAtom = 0,    // atom name, as in the atom catalogue
  kContextBase = 1,    // the own base, which the key also holds; not read
  kContextKey = 2,     // context key of the residue
  kContextCount = 3,   // observation count, selects the multiplier row
  kContextMean = 4,    // mean shift, copied as text
  kContextSpread = 5,  // spread, scaled by the multiplier
};
enum BaseStatField : size_t {
  kBaseLetter = 0,  // "A", "C", "G" or "U"
  kBaseAtom = 1,    // atom name
  kBaseMean = 2,    // mean shift (field 7), copied as text
  kBaseSpread = 3,  // spread (field 8)
};
// Field 1 of a multiplier row is its label; field L + 1 serves level L.
inline constexpr size_t kMultiplierLabel = 0;

// A record's fields are views of the words in the table's text.
using ContextStatRecord = std::array<std::string_view, kContextKeptCount>;
using BaseStatRecord = std::array<std::string_view, kBaseKeptFields.size()>;
using MultiplierRow = std::array<std::string_view, kMultiplierFieldCount>;

// The three sections as the words stood in the file, in file order; nothing
// is converted while reading. Beside each section, the line of each of its
// records in the file, counting from 1. The fields view `text`, the
// content the table was parsed from, which the table shares with its
// copies; a table built by hand may view texts that outlive it instead.
struct StatTable {
  std::shared_ptr<const std::string> text;
  std::vector<ContextStatRecord> context;
  std::vector<BaseStatRecord> base;
  std::vector<MultiplierRow> multipliers;
  std::vector<int> context_lines;
  std::vector<int> base_lines;
  std::vector<int> multiplier_lines;
};

// Parses the content of the statistics table `file_name` (the name only goes
// into messages). Line by line, a last line without a line feed included: a
// line starting with '#' is a comment, one starting with ':' ends a section,
// and any other line is cut at its first word that starts with '#' or ':';
// what is left is a record of its section, or nothing when no word is left.
// Everything after the third terminator is ignored. Returns false with the
// exact message in `error` for the first failure in this order: fewer than
// three terminators; a section above 20000 records (sections 1, 2, 3 in
// turn); the first record, in file order, without 13, 8 or 12 words.
// The table keeps `content` as its text, without a copy, and views it.
bool parse_stat_table(std::string content, const char* file_name, StatTable* table,
                      std::string* error);

// What can be wrong with a value that the prediction takes as it stands: a
// mean, spread or multiplier that is no finite number (nan, inf, or beyond
// the range of a double, which strtod reads as inf), a negative spread or
// multiplier (a negative tolerance), or a mean without a number at its start
// (strtod reads 0).
enum class TableValueFault { kNotFinite, kNegative, kNoNumber };

// The fault of a mean shift text, if any: kNotFinite or kNoNumber.
std::optional<TableValueFault> mean_fault(std::string_view text);

// The fault of a spread or multiplier text, if any: kNotFinite or kNegative.
// A text without a number reads as 0 and has none.
std::optional<TableValueFault> scale_fault(std::string_view text);

// One faulty value of the table.
struct TableValueProblem {
  int line = 0;  // of its record
  TableValueFault fault = TableValueFault::kNotFinite;
  std::string_view field;  // "mean", "spread" or "multiplier"
  std::string text;
};

// The faulty values of `table` in file order: the mean and spread of every
// context and base statistics record (only those whose flag in
// `context_used` or `base_used` is true, where such a list is given), and
// every multiplier of every row.
std::vector<TableValueProblem> table_value_problems(const StatTable& table,
                                                    const std::vector<bool>* context_used,
                                                    const std::vector<bool>* base_used);

// The message of a program that refuses a table for `problem`, for example
// "Error: line 12 of statistics file t.tab: spread 'nan' is not a finite number.\n".
std::string table_value_error(const TableValueProblem& problem, const char* file_name);

}  // namespace mirelon

#endif  // MIRELON_STAT_TABLE_H_
