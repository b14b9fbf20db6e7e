#include "stats/stats_data_set.h"

#include <utility>

#include "common/files.h"
#include "common/messages.h"
#include "shifts/shift_data.h"
#include "stats/manifest.h"
#include "stats/stats_builder.h"
#include "structure/structure.h"

namespace mirelon {

bool read_stats_file(const std::string& name, std::string* content, std::string* error) {
  std::string reason;
  if (read_input_file(name.c_str(), content, &reason)) return true;
  *error = "cannot open " + name + " (" + reason + ")";
  return false;
}

bool read_data_set(const StatsOptions& options, DataSet* data, std::string* error) {
  std::string content;
  if (!read_stats_file(options.manifest, &content, error)) return false;
  std::vector<ManifestEntry> manifest;
  if (!parse_manifest(content, options.manifest, &manifest, error)) return false;
  *data = DataSet();
  for (const ManifestEntry& entry : manifest) {
    std::string message;
    if (!read_stats_file(entry.structure_file, &content, error)) return false;
    Structure structure;
    if (!parse_structure(content, entry.structure_file, &structure, &message)) {
      if (!message.empty() && message.back() == '\n') message.pop_back();
      data->left_out.push_back({entry.name, "structure unreadable", message});
      continue;
    }
    if (options.upper_case) convert_to_upper_rna(&structure);
    if (entry.shift_file.empty()) {
      StatsEntry placed;
      PlacementCounts counts;
      std::string unused;
      place_shifts(entry, structure, {}, &placed, &counts, &unused);
      data->structures.push_back(std::move(placed));
      continue;
    }
    if (!read_stats_file(entry.shift_file, &content, error)) return false;
    std::vector<ObservedShift> shifts;
    if (!parse_shift_file(content, entry.shift_file, &shifts, &message)) {
      data->left_out.push_back({entry.name, "shift list unreadable", message});
      continue;
    }
    data->shifts_read += shifts.size();
    StatsEntry placed;
    PlacementCounts counts;
    std::string disagreement;
    if (!place_shifts(entry, structure, shifts, &placed, &counts, &disagreement)) {
      data->left_out.push_back({entry.name, "shifts disagree with the sequence", disagreement});
      continue;
    }
    const std::string warning =
        differing_repeats_warning(entry.shift_file, counts.differing_repeats);
    if (!warning.empty()) data->warnings.push_back(warning);
    data->counts.add(counts);
    data->entries.push_back(std::move(placed));
  }
  data->rnas = number_rnas(&data->entries);
  number_structures(data->entries, &data->structures);
  return true;
}

bool read_base_csv(const std::string& name, std::vector<BaseStatistic>* records,
                   std::string* error) {
  std::string content;
  return read_stats_file(name, &content, error) &&
         parse_base_statistics_csv(content, name, catalogue_rank, records, error);
}

std::string no_entry_reason(const DataSet& data, const std::string& manifest) {
  if (data.left_out.empty()) {
    return data.structures.empty()
               ? ": " + manifest + " lists no entry"
               : ": the entries of " + manifest + " name no shift file (shifts \"-\")";
  }
  std::string reason = ": every entry with shifts was left out:";
  for (size_t i = 0; i < data.left_out.size() && i < kMaxWarningPositions; ++i) {
    reason += "\n  " + data.left_out[i].name + ": " + data.left_out[i].reason;
  }
  if (data.left_out.size() > kMaxWarningPositions) {
    reason += format_message("\n  and %zu more", data.left_out.size() - kMaxWarningPositions);
  }
  return reason;
}

size_t count_shifts(const std::vector<StatsEntry>& entries) {
  size_t n = 0;
  for (const StatsEntry& e : entries) n += e.shifts.size();
  return n;
}

}  // namespace mirelon
