// Builds the statistics table that mirelon reads from observed shifts in
// their residue contexts, and writes it in mirelon's table format.
#ifndef MIRELON_STATS_BUILDER_H_
#define MIRELON_STATS_BUILDER_H_

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "prediction/shift_prediction.h"
#include "stats/shift_statistics.h"

namespace mirelon {

// One observed shift of one atom in one residue, ready for the statistics.
struct Observation {
  size_t rna = 0;    // which RNA it comes from (entries of one RNA share the number)
  std::string base;  // own base letter, "A", "C", "G" or "U"
  std::string key;   // context key of the residue, as mirelon builds it
  std::string atom;  // atom name as the table spells it
  double value = 0;
};

// Position of `atom` in the atom catalogue of `base`, or -1 when the
// catalogue does not hold it. Orders the records of the table.
using AtomRank = std::function<int(std::string_view base, std::string_view atom)>;

// Statistics of one atom in one context key (a record of section 1).
struct ContextStatistic {
  std::string atom;
  std::string base;
  std::string key;
  ShiftSummary summary;
  size_t rnas = 0;         // distinct RNAs among the observations
  size_t removed = 0;      // observations of this cell left out as outliers
  double base_offset = 0;  // mean minus the mean of the base statistics of the atom
  // Shrunk tables: the shrunk mean is summary.mean's place in field 5 (held
  // in `mean`), the calibrated spread and count go into fields 6 and 4.
  double mean = 0;
  double spread = 0;
  long calibration_count = 0;
  size_t key_frequency = 0;  // residues with this key in the structures learnt from
  double strength = 0;       // the shrinkage strength L of the atom
};

// Statistics of one atom of one base (a record of section 2).
struct BaseStatistic {
  std::string base;
  std::string atom;
  ShiftSummary summary;
  bool has_median = true;  // false for statistics taken from a table without medians
  size_t removed = 0;      // observations left out as outliers
  ShiftLimits limits{0, 0};
};

// How the builder filters the observations.
struct BuildSettings {
  // Per base and atom, observations beyond this many scaled median absolute
  // deviations from the median are left out; not positive: no filter.
  double outlier_k = 0;
  // A context statistics record needs observations from this many distinct
  // RNAs: observations of one RNA alone give a spread that misses the
  // differences between RNAs (referencing, conditions).
  size_t min_rnas = 1;
};

struct StatisticsTable {
  std::vector<ContextStatistic> context;  // by base (A, C, G, U), catalogue order, key
  std::vector<BaseStatistic> base;        // by base, catalogue order
  size_t observations = 0;                // observations offered
  size_t removed = 0;                     // of which left out as outliers
  // Shrunk: context records hold shrunk means and calibrated spreads and
  // counts, base records a calibrated spread in place of the deviation.
  bool shrunk = false;
};

// Builds the table from `observations`. The outlier filter works per base and
// atom over all observations of that base and atom (see BuildSettings).
// Every (base, atom) with at least kMinObservations observations left gets a
// base statistics record, every (atom, key) with at least kMinObservations
// observations from at least settings.min_rnas RNAs a context statistics
// record; keys that begin with '#' or ':' (which mirelon would read as a
// comment or a terminator) get none. Observations whose atom `rank` does not
// know are not used.
StatisticsTable build_statistics(const std::vector<Observation>& observations,
                                 const BuildSettings& settings, const AtomRank& rank);

// Reads a per-atom table of comma-separated values with the header
// "comp_id,atom_id,count,min,max,avg,std,..." (a database-wide statistics
// table) into base statistics without medians, atom names spelled as the
// statistics table spells them, in the order of `rank`; rows of other bases
// or atoms, and rows of fewer than two observations, are skipped. Returns
// false with "FILE:LINE: reason" in `error` on a malformed row.
bool parse_base_statistics_csv(std::string_view content, const std::string& file_name,
                               const AtomRank& rank, std::vector<BaseStatistic>* records,
                               std::string* error);

// The statistics table text: the '#' lines of `header` (each line of each
// text prefixed with "# "), the description of every field, section 1, ":", section 2, ":",
// `multiplier_section` as it stands (the rows of section 3 and its ":" line).
std::string format_statistics_table(const StatisticsTable& table,
                                    const std::vector<std::string>& header,
                                    std::string_view multiplier_section);

}  // namespace mirelon

#endif  // MIRELON_STATS_BUILDER_H_
