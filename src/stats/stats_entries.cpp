#include "stats/stats_entries.h"

#include <utility>

#include "common/messages.h"
#include "prediction/shift_prediction.h"
#include "structure/residue_context.h"

namespace mirelon {

void PlacementCounts::add(const PlacementCounts& other) {
  for (const auto& [name, count] : other.other_residues) other_residues[name] += count;
  for (const auto& [name, count] : other.other_atoms) other_atoms[name] += count;
  unmapped_chains += other.unmapped_chains;
  repeated += other.repeated;
  repeated_differing += other.repeated_differing;
  differing_repeats.insert(differing_repeats.end(), other.differing_repeats.begin(),
                           other.differing_repeats.end());
}

int catalogue_rank(std::string_view base, std::string_view atom) {
  const auto& catalogue = atom_catalogue(base);
  for (size_t i = 0; i < catalogue.size(); ++i) {
    if (catalogue[i] == atom) return static_cast<int>(i);
  }
  return -1;
}

bool place_shifts(const ManifestEntry& entry, const Structure& structure,
                  const std::vector<ObservedShift>& shifts, StatsEntry* placed,
                  PlacementCounts* counts, std::string* disagreement) {
  placed->name = entry.name;
  placed->sequence.clear();
  for (size_t i = 0, next_break = 0; i < structure.size(); ++i) {
    placed->sequence += structure.bases[i];
    if (next_break < structure.breaks.size() && structure.breaks[next_break] == i) {
      placed->sequence += '&';
      ++next_break;
    }
  }
  // The very records mirelon's sequence step writes for this structure.
  placed->residues = residue_id_records(build_residues(to_ct_records(structure)));
  placed->shifts.clear();

  // The first listing of every atom placed, by residue and atom name.
  std::map<std::pair<size_t, std::string>, const ObservedShift*> seen;
  for (const ObservedShift& shift : shifts) {
    const std::string_view letter = nucleotide_letter(shift.residue_name);
    if (letter.empty()) {
      ++counts->other_residues[shift.residue_name];
      continue;
    }
    const std::optional<long> position = entry.offsets.position(shift.chain, shift.residue);
    if (!position) {
      ++counts->unmapped_chains;
      continue;
    }
    const std::string chain = shift.chain.empty() ? "" : " of chain " + shift.chain;
    if (*position < 1 || static_cast<size_t>(*position) > structure.size()) {
      *disagreement = format_message(
          "residue %s %ld%s (line %d of %s) lies outside the %zu "
          "nucleotides of %s",
          shift.residue_name.c_str(), shift.residue, chain.c_str(), shift.line,
          entry.shift_file.c_str(), structure.size(), entry.structure_file.c_str());
      return false;
    }
    const size_t index = static_cast<size_t>(*position) - 1;
    const ResidueIdRecord& residue = placed->residues[index];
    if (residue[kOwnBase] != letter) {
      *disagreement =
          format_message("residue %s %ld%s (line %d of %s) is %s at position %zu of %s",
                         shift.residue_name.c_str(), shift.residue, chain.c_str(), shift.line,
                         entry.shift_file.c_str(), residue[kOwnBase].c_str(), index + 1,
                         entry.structure_file.c_str());
      return false;
    }
    std::string atom = table_atom_name(shift.atom);
    if (catalogue_rank(letter, atom) < 0) {
      ++counts->other_atoms[std::string(letter) + " " + shift.atom];
      continue;
    }
    const auto [first, is_new] = seen.emplace(std::make_pair(index, atom), &shift);
    if (!is_new) {
      ++counts->repeated;
      if (first->second->value != shift.value) {
        ++counts->repeated_differing;
        counts->differing_repeats.push_back(differing_repeat_text(*first->second, shift));
      }
      continue;
    }
    EntryShift placed_shift;
    placed_shift.residue = index;
    placed_shift.observation.base = std::string(letter);
    placed_shift.observation.key = context_key(residue);
    placed_shift.observation.atom = std::move(atom);
    placed_shift.observation.value = shift.value;
    placed->shifts.push_back(std::move(placed_shift));
  }
  return true;
}

size_t number_rnas(std::vector<StatsEntry>* entries) {
  std::map<std::string, size_t> numbers;
  for (StatsEntry& entry : *entries) {
    const size_t rna = numbers.emplace(entry.sequence, numbers.size()).first->second;
    entry.rna = rna;
    for (EntryShift& shift : entry.shifts) shift.observation.rna = rna;
  }
  return numbers.size();
}

void number_structures(const std::vector<StatsEntry>& entries,
                       std::vector<StatsEntry>* structures) {
  for (StatsEntry& structure : *structures) {
    structure.rna = kNoRna;
    for (const StatsEntry& entry : entries) {
      if (entry.sequence == structure.sequence) structure.rna = entry.rna;
    }
  }
}

std::map<std::string, size_t> count_context_keys(const std::vector<StatsEntry>& entries,
                                                 const std::vector<StatsEntry>& structures,
                                                 size_t skip) {
  std::map<std::string, size_t> counts;
  for (const auto* list : {&entries, &structures}) {
    for (const StatsEntry& entry : *list) {
      if (entry.rna == skip) continue;
      for (const ResidueIdRecord& residue : entry.residues) {
        if (!atom_catalogue(residue[kOwnBase]).empty()) ++counts[context_key(residue)];
      }
    }
  }
  return counts;
}

std::vector<Observation> collect_observations(const std::vector<StatsEntry>& entries, size_t skip) {
  std::vector<Observation> observations;
  for (const StatsEntry& entry : entries) {
    for (const EntryShift& shift : entry.shifts) {
      if (shift.observation.rna != skip) observations.push_back(shift.observation);
    }
  }
  return observations;
}

}  // namespace mirelon
