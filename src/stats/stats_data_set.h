// The data set of mirelon-stats: the manifest's entries read, placed in
// their structures, and the entries left out.
#ifndef MIRELON_STATS_STATS_DATA_SET_H_
#define MIRELON_STATS_STATS_DATA_SET_H_

#include <cstddef>
#include <string>
#include <vector>

#include "stats/stats_entries.h"
#include "stats/stats_options.h"

namespace mirelon {

// An entry of the manifest that the table does not use, and why.
struct LeftOut {
  std::string name;
  std::string why;     // for the table's header: "structure unreadable", ...
  std::string reason;  // the full message, for the report
};

// Everything read from the data set.
struct DataSet {
  std::vector<StatsEntry> entries;
  std::vector<StatsEntry> structures;  // structure-only entries (shifts "-")
  std::vector<LeftOut> left_out;
  PlacementCounts counts;
  size_t shifts_read = 0;
  size_t rnas = 0;
  std::vector<std::string> warnings;  // "Warning: " lines about the files read
};

// Reads the file `name` whole; false with "cannot open NAME (REASON)" in
// `error`, REASON the system's ("No such file or directory").
bool read_stats_file(const std::string& name, std::string* content, std::string* error);

// Reads the manifest of `options` and every entry it lists. A file that
// cannot be opened, or a malformed manifest, is a fault of the manifest:
// false with the message in `error`. A file that cannot be read as a
// structure or a shift list, or shifts that disagree with the sequence,
// leave their entry out (the data sets hold a few such entries). A shift
// list of an entry used that gives an atom again with another value gets a
// warning (differing_repeats_warning()).
bool read_data_set(const StatsOptions& options, DataSet* data, std::string* error);

// Why `data`, read from the manifest `manifest`, leaves no entry to build a
// table from, for the message after "no entry left to build a table from":
// ": every entry with shifts was left out:" and a line "  NAME: REASON"
// per entry left out (at most kMaxWarningPositions, then "  and N more");
// else that the entries name structures only, or that the manifest lists
// none. Lines are joined by line feeds, without one at the end.
std::string no_entry_reason(const DataSet& data, const std::string& manifest);

// Reads the per-atom table of base statistics `name` (comma-separated
// values); false with the message in `error`.
bool read_base_csv(const std::string& name, std::vector<BaseStatistic>* records,
                   std::string* error);

// The number of shifts placed in `entries`.
size_t count_shifts(const std::vector<StatsEntry>& entries);

}  // namespace mirelon

#endif  // MIRELON_STATS_STATS_DATA_SET_H_
