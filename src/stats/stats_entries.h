// The entries of a data set as the statistics builder uses them: each
// structure turned into mirelon's residue-ID records, and each assigned shift
// placed on its residue, checked against the sequence and given the context
// key that mirelon will look it up under.
#ifndef MIRELON_STATS_ENTRIES_H_
#define MIRELON_STATS_ENTRIES_H_

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "shifts/shift_data.h"
#include "stats/manifest.h"
#include "stats/stats_builder.h"
#include "structure/residue_ids.h"
#include "structure/structure.h"

namespace mirelon {

// An observed shift of an entry with the residue it belongs to.
struct EntryShift {
  size_t residue = 0;  // index into the entry's residue-ID records
  Observation observation;
};

struct StatsEntry {
  std::string name;
  size_t rna = 0;        // set by number_rnas(): entries of one sequence share it
  std::string sequence;  // bases joined, "&" between strands
  std::vector<ResidueIdRecord> residues;
  std::vector<EntryShift> shifts;
};

// What the builder passed over while placing shifts, counted by name.
struct PlacementCounts {
  std::map<std::string, size_t> other_residues;  // shifts of residues that are no A, C, G, U
  std::map<std::string, size_t> other_atoms;     // "BASE ATOM" outside the atom catalogue
  size_t unmapped_chains = 0;                    // shifts of chains the manifest maps not
  size_t repeated = 0;                           // further values of one atom (the first is kept)
  size_t repeated_differing = 0;                 // of which differ from the first value
  // Those that differ, as differing_repeat_text() names them.
  std::vector<std::string> differing_repeats;

  void add(const PlacementCounts& other);
};

// Places the `shifts` of `entry` on the residues of `structure`. Returns
// false with the reason in `disagreement` when a nucleotide's shift lies
// outside the structure or on a residue of another base (the entry is then
// left out); shifts of other residues, of atoms outside the atom catalogue,
// of unmapped chains and repeated values are counted in `counts` and skipped.
bool place_shifts(const ManifestEntry& entry, const Structure& structure,
                  const std::vector<ObservedShift>& shifts, StatsEntry* placed,
                  PlacementCounts* counts, std::string* disagreement);

// Position of `atom` in the atom catalogue of `base`, or -1.
int catalogue_rank(std::string_view base, std::string_view atom);

// Numbers the distinct RNAs of `entries`: entries with the same sequence are
// one RNA. Sets the rna field of every observation and returns the count.
size_t number_rnas(std::vector<StatsEntry>* entries);

// All observations of `entries`, in entry order, leaving out RNA `skip`
// (pass a number no RNA has to keep all).
// Gives every structure-only entry of `structures` the number of the RNA of
// `entries` with the same sequence, or kNoRna.
inline constexpr size_t kNoRna = static_cast<size_t>(-1);
void number_structures(const std::vector<StatsEntry>& entries, std::vector<StatsEntry>* structures);

// How often each context key occurs among the residues of base A, C, G or U
// of `entries` and `structures`, leaving out RNA `skip`.
std::map<std::string, size_t> count_context_keys(const std::vector<StatsEntry>& entries,
                                                 const std::vector<StatsEntry>& structures,
                                                 size_t skip);

std::vector<Observation> collect_observations(const std::vector<StatsEntry>& entries, size_t skip);

}  // namespace mirelon

#endif  // MIRELON_STATS_ENTRIES_H_
