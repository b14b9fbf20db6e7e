#include "stats/stats_builder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <tuple>

#include "common/messages.h"
#include "common/numbers.h"
#include "common/text.h"
#include "shifts/shift_data.h"

namespace mirelon {
namespace {

using BaseAtom = std::pair<std::string, std::string>;

// The numeric columns of a row of base statistics in comma-separated values,
// from the third on.
constexpr std::array<std::string_view, 5> kCsvNumberNames = {"count", "min", "max", "avg", "std"};

struct Cell {
  std::string atom;
  std::vector<double> values;
  std::set<size_t> rnas;
  size_t removed = 0;
};

// Writes a value with four decimals; a value that rounds to zero is written
// without a minus sign.
std::string fixed4(double value) {
  std::string text = format_f4(value);
  if (text == "-0.0000") text = "0.0000";
  return text;
}

std::vector<std::string_view> split_commas(std::string_view line) {
  std::vector<std::string_view> fields;
  for (;;) {
    const size_t comma = line.find(',');
    fields.push_back(line.substr(0, comma));
    if (comma == std::string_view::npos) return fields;
    line.remove_prefix(comma + 1);
  }
}

// The description of every field, after the header lines: shrunk tables.
constexpr const char* kShrunkFields =
    "#\n"
    "# Section 1, context statistics, one record per atom and context key chosen\n"
    "# (observed or not):\n"
    "#   1 atom  2 own base  3 context key (base and pairing mark, w or o, of the\n"
    "#   nucleotide two before, the one before, the nucleotide itself and the one\n"
    "#   after; 0 and o for a missing neighbour)  4 calibration count: NOT the\n"
    "#   number of observations, but the count whose multiplier row gives the\n"
    "#   atom's calibrated intervals (above 121: the large-count row)\n"
    "#   5 shrunk mean (ppm)  6 calibrated spread (ppm)  7 observations of this\n"
    "#   atom and key  8 number of distinct RNAs among them  9 their mean\n"
    "#   10 their sample standard deviation (. where there are too few)\n"
    "#   11 residues with this key in the structures learnt from  12 shrinkage\n"
    "#   strength L of the atom  13 shrunk mean minus the base mean of the atom\n"
    "# Section 2, base statistics, one record per base and atom:\n"
    "#   1 base  2 atom  3 number of observations  4 minimum  5 maximum  6 median\n"
    "#   7 mean (ppm)  8 calibrated spread (ppm), used with the large-count row\n"
    "# Section 3, interval multipliers: row n - 1 serves count n (n = 2 to 121),\n"
    "#   the last row larger counts and all base statistics; field L + 1 serves\n"
    "#   prediction level L.\n";

// The description of every field of a raw table.
constexpr const char* kRawFields =
    "#\n"
    "# Section 1, context statistics, one record per atom and context key seen at\n"
    "# least twice (after the outlier filter):\n"
    "#   1 atom  2 own base  3 context key (base and pairing mark, w or o, of the\n"
    "#   nucleotide two before, the one before, the nucleotide itself and the one\n"
    "#   after; 0 and o for a missing neighbour)  4 number of observations\n"
    "#   5 mean (ppm)  6 sample standard deviation (ppm)  7 minimum  8 maximum\n"
    "#   9 median  10 median absolute deviation times 1.4826 (ppm)\n"
    "#   11 number of distinct RNAs  12 observations of this atom and key left out\n"
    "#   as outliers  13 mean minus the mean of the base statistics of the atom\n"
    "# Section 2, base statistics, one record per base and atom:\n"
    "#   1 base  2 atom  3 number of observations  4 minimum  5 maximum  6 median\n"
    "#   (. where the source gives none)  7 mean (ppm)  8 sample standard deviation\n"
    "# Section 3, interval multipliers: row n - 1 serves n observations (n = 2 to\n"
    "#   121), the last row larger counts and all base statistics; field L + 1\n"
    "#   serves prediction level L.\n";

// Each header text as comment lines, also where it holds line ends.
void append_header_lines(const std::vector<std::string>& header, std::string* text) {
  for (const std::string& entry : header) {
    size_t start = 0;
    for (;;) {
      const size_t end = entry.find_first_of("\r\n", start);
      const std::string line = entry.substr(start, end - start);
      *text += line.empty() ? "#\n" : "# " + line + "\n";
      if (end == std::string::npos) break;
      start = end + (entry.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
  }
}

// The line of a context statistics record, shrunk or raw.
std::string context_line(const ContextStatistic& r, bool shrunk) {
  const ShiftSummary& s = r.summary;
  char line[512];
  if (shrunk) {
    std::snprintf(line, sizeof line, "%-5s %s %-8s %5ld %9s %7s %5zu %3zu %9s %7s %5zu %4s %8s\n",
                  r.atom.c_str(), r.base.c_str(), r.key.c_str(), r.calibration_count,
                  fixed4(r.mean).c_str(), fixed4(r.spread).c_str(), s.count, r.rnas,
                  s.count > 0 ? fixed4(s.mean).c_str() : ".",
                  s.count > 1 ? fixed4(s.sd).c_str() : ".", r.key_frequency,
                  format_g6(r.strength).c_str(), fixed4(r.base_offset).c_str());
    return line;
  }
  std::snprintf(line, sizeof line, "%-5s %s %-8s %5zu %9s %7s %9s %9s %9s %7s %3zu %3zu %8s\n",
                r.atom.c_str(), r.base.c_str(), r.key.c_str(), s.count, fixed4(s.mean).c_str(),
                fixed4(s.sd).c_str(), fixed4(s.minimum).c_str(), fixed4(s.maximum).c_str(),
                fixed4(s.median).c_str(), fixed4(s.mad).c_str(), r.rnas, r.removed,
                fixed4(r.base_offset).c_str());
  return line;
}

// The line of a base statistics record.
std::string base_line(const BaseStatistic& r) {
  const ShiftSummary& s = r.summary;
  char line[512];
  std::snprintf(line, sizeof line, "%s %-5s %5zu %9s %9s %9s %9s %7s\n", r.base.c_str(),
                r.atom.c_str(), s.count, fixed4(s.minimum).c_str(), fixed4(s.maximum).c_str(),
                r.has_median ? fixed4(s.median).c_str() : ".", fixed4(s.mean).c_str(),
                fixed4(s.sd).c_str());
  return line;
}

}  // namespace

StatisticsTable build_statistics(const std::vector<Observation>& observations,
                                 const BuildSettings& settings, const AtomRank& rank) {
  StatisticsTable table;
  std::map<BaseAtom, std::vector<size_t>> by_atom;
  for (size_t i = 0; i < observations.size(); ++i) {
    const Observation& o = observations[i];
    if (rank(o.base, o.atom) < 0) continue;
    by_atom[{o.base, o.atom}].push_back(i);
    ++table.observations;
  }

  std::map<std::tuple<std::string, int, std::string>, Cell> cells;
  std::map<BaseAtom, double> base_means;
  for (const auto& [base_atom, members] : by_atom) {
    std::vector<double> values;
    values.reserve(members.size());
    for (size_t i : members) values.push_back(observations[i].value);
    BaseStatistic record;
    record.base = base_atom.first;
    record.atom = base_atom.second;
    record.limits = outlier_limits(values, settings.outlier_k);
    std::vector<double> kept;
    kept.reserve(values.size());
    const int atom_rank = rank(record.base, record.atom);
    for (size_t i : members) {
      const Observation& o = observations[i];
      Cell& cell = cells[{o.base, atom_rank, o.key}];
      cell.atom = o.atom;
      if (record.limits.contains(o.value)) {
        kept.push_back(o.value);
        cell.values.push_back(o.value);
        cell.rnas.insert(o.rna);
      } else {
        ++record.removed;
        ++cell.removed;
      }
    }
    table.removed += record.removed;
    record.summary = summarize(std::move(kept));
    base_means[base_atom] = record.summary.mean;
    if (record.summary.count >= kMinObservations) table.base.push_back(std::move(record));
  }
  std::stable_sort(table.base.begin(), table.base.end(),
                   [&](const BaseStatistic& a, const BaseStatistic& b) {
                     return std::make_pair(a.base, rank(a.base, a.atom)) <
                            std::make_pair(b.base, rank(b.base, b.atom));
                   });

  for (auto& [place, cell] : cells) {
    if (cell.values.size() < kMinObservations || cell.rnas.size() < settings.min_rnas) continue;
    // A key that begins like a comment or a section terminator could not be
    // read back (a structure with such a character for a base).
    const std::string& key = std::get<2>(place);
    if (key.empty() || key[0] == '#' || key[0] == ':') continue;
    ContextStatistic record;
    record.base = std::get<0>(place);
    record.atom = cell.atom;
    record.key = std::get<2>(place);
    record.summary = summarize(std::move(cell.values));
    record.rnas = cell.rnas.size();
    record.removed = cell.removed;
    record.base_offset = record.summary.mean - base_means[{record.base, record.atom}];
    table.context.push_back(std::move(record));
  }
  return table;
}

bool parse_base_statistics_csv(std::string_view content, const std::string& file_name,
                               const AtomRank& rank, std::vector<BaseStatistic>* records,
                               std::string* error) {
  LineReader reader(content);
  std::string_view line;
  bool terminated;
  bool header = true;
  while (reader.next(&line, &terminated)) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (is_blank(line)) continue;
    const auto fields = split_commas(line);
    if (header) {
      header = false;
      if (fields.size() < 7 || fields[0] != "comp_id" || fields[1] != "atom_id") {
        *error = format_message("%s:%d: header is not comp_id,atom_id,count,min,max,avg,std",
                                file_name.c_str(), reader.line_number());
        return false;
      }
      continue;
    }
    std::optional<double> numbers[kCsvNumberNames.size()];
    bool numeric = fields.size() >= 7;
    for (size_t f = 0; numeric && f < kCsvNumberNames.size(); ++f) {
      numbers[f] = real_number_value(fields[2 + f]);
      numeric = numbers[f].has_value();
    }
    if (!numeric || !is_whole_number(fields[2])) {
      *error = format_message("%s:%d: row is not comp_id,atom_id,count,min,max,avg,std",
                              file_name.c_str(), reader.line_number());
      return false;
    }
    BaseStatistic record;
    record.base = std::string(fields[0]);
    record.atom = table_atom_name(fields[1]);
    if (rank(record.base, record.atom) < 0 || *numbers[0] < kMinObservations) continue;
    // A row that is used must give finite numbers and a spread that is not
    // negative: the table would carry anything else into every prediction.
    for (size_t f = 0; f < kCsvNumberNames.size(); ++f) {
      const bool finite = std::isfinite(*numbers[f]);
      const bool negative_std = f + 1 == kCsvNumberNames.size() && *numbers[f] < 0;
      if (finite && !negative_std) continue;
      *error = format_message("%s:%d: %s '%s' is %s", file_name.c_str(), reader.line_number(),
                              std::string(kCsvNumberNames[f]).c_str(),
                              std::string(fields[2 + f]).c_str(),
                              finite ? "negative" : "not a finite number");
      return false;
    }
    record.summary.count = static_cast<size_t>(*numbers[0]);
    record.summary.minimum = *numbers[1];
    record.summary.maximum = *numbers[2];
    record.summary.mean = *numbers[3];
    record.summary.sd = *numbers[4];
    record.has_median = false;
    records->push_back(std::move(record));
  }
  std::stable_sort(records->begin(), records->end(),
                   [&](const BaseStatistic& a, const BaseStatistic& b) {
                     return std::make_pair(a.base, rank(a.base, a.atom)) <
                            std::make_pair(b.base, rank(b.base, b.atom));
                   });
  return true;
}

std::string format_statistics_table(const StatisticsTable& table,
                                    const std::vector<std::string>& header,
                                    std::string_view multiplier_section) {
  std::string text;
  append_header_lines(header, &text);
  text += table.shrunk ? kShrunkFields : kRawFields;
  for (const ContextStatistic& r : table.context) text += context_line(r, table.shrunk);
  text += ":\n";
  for (const BaseStatistic& r : table.base) text += base_line(r);
  text += ":\n";
  text += multiplier_section;
  return text;
}

}  // namespace mirelon
