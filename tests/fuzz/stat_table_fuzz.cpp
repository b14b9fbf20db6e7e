// Fuzz target: the statistics table reader, the prediction on what it reads
// for residues that cover every base, strand ends and odd letters, and the
// checks of the values the prediction takes as they stand.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "common/numbers.h"
#include "mirelon/translate_stat.h"
#include "prediction/shift_prediction.h"
#include "prediction/stat_table.h"
#include "structure/residue_ids.h"

namespace {

const std::vector<mirelon::ResidueIdRecord>& residues() {
  static const std::vector<mirelon::ResidueIdRecord> records = [] {
    std::vector<mirelon::ResidueIdRecord> parsed;
    std::string error;
    const std::string ids =
        "1 1 0 o 0 o G w C w \n"
        "2 2 0 o G w C w A o \n"
        "3 3 G w C w A o U o \n"
        "4 4 C w A o U o G w \n"
        "104 5 0 o 0 o T o a o \n"
        "105 6 0 o T o a o 0 o \n"
        "2 7 A o U o G w 0 o \n";
    if (!mirelon::parse_residue_ids(ids, mirelon::kMaxShiftResidues, &parsed, &error)) std::abort();
    return parsed;
  }();
  return records;
}

// True when `field` is a word of `text`: inside it, not empty, without white
// space, and not a comment or terminator word, which never fills a field.
bool is_word_of(std::string_view field, std::string_view text) {
  if (field.empty() || field.data() < text.data() ||
      field.data() + field.size() > text.data() + text.size()) {
    return false;
  }
  if (field.front() == mirelon::kStatComment || field.front() == mirelon::kStatTerminator) {
    return false;
  }
  for (char c : field) {
    if (mirelon::is_space(c)) return false;
  }
  return true;
}

template <typename Records>
bool all_words_of(const Records& records, std::string_view text) {
  for (const auto& record : records) {
    for (std::string_view field : record) {
      if (!is_word_of(field, text)) return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  mirelon::StatTable table;
  std::string error;
  {
    // The records view the table's text: a copy of the table shares it and
    // stays whole after the table it was copied from is gone.
    mirelon::StatTable parsed;
    if (!mirelon::parse_stat_table(std::string(content), "fuzz.tab", &parsed, &error)) {
      if (error.empty()) std::abort();
      return 0;
    }
    table = parsed;
  }
  if (table.text == nullptr || *table.text != content ||
      !all_words_of(table.context, *table.text) || !all_words_of(table.base, *table.text) ||
      !all_words_of(table.multipliers, *table.text)) {
    std::abort();
  }
  if (table.context.size() > mirelon::kMaxStatRecords ||
      table.base.size() > mirelon::kMaxStatRecords ||
      table.multipliers.size() > mirelon::kMaxStatRecords ||
      table.context_lines.size() != table.context.size() ||
      table.base_lines.size() != table.base.size() ||
      table.multiplier_lines.size() != table.multipliers.size()) {
    std::abort();
  }
  // Problems come in file order, on lines of the content.
  int last_line = 0;
  for (const mirelon::TableValueProblem& problem :
       mirelon::table_value_problems(table, nullptr, nullptr)) {
    if (problem.line < last_line || problem.line < 1 ||
        static_cast<size_t>(problem.line) > content.size()) {
      std::abort();
    }
    last_line = problem.line;
    if (mirelon::table_value_error(problem, "fuzz.tab").empty()) std::abort();
  }
  for (long level = mirelon::kMinLevel; level <= mirelon::kMaxLevel; level += 5) {
    std::vector<mirelon::ShiftEntry> entries;
    if (!mirelon::predict_shifts(residues(), table, level, &entries, &error)) {
      if (error.empty()) std::abort();
      continue;
    }
    for (size_t i = 0; i < entries.size(); ++i) {
      if (entries[i].number != i + 1) std::abort();  // slots are filled in order
    }
    mirelon::format_shift_list(entries);
    // At most one warning per kind of faulty value.
    if (mirelon::table_value_warnings("fuzz.tab", table, entries).size() > 3) std::abort();
  }
  return 0;
}
