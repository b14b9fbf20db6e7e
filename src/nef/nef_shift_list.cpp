#include "nef/nef_shift_list.h"

#include <map>
#include <set>
#include <string_view>
#include <utility>

#include "common/files.h"
#include "common/messages.h"
#include "common/nuclei.h"
#include "common/numbers.h"
#include "common/prediction_levels.h"

namespace mirelon {

namespace {

// NEF atom names follow the RCSB: the two hydrogens at C5' are not
// stereospecifically assigned in the data the statistics come from, so
// they are H5x (the table's H5', the downfield one) and H5y (its H5").
std::string nef_atom_name(std::string_view table_atom) {
  if (table_atom == "H5'") return "H5x";
  if (table_atom == "H5\"") return "H5y";
  return std::string(table_atom);
}

std::string shift_list_framecode(const NefSettings& settings) {
  return "nef_chemical_shift_list_mirelon_" + nef_safe_name(path_stem(settings.table_path)) +
         "_level_" + decimal(settings.level);
}

// The label of the shift list, as comment lines: the dictionary defines no
// details item for it.
std::string shift_list_label(const NefSettings& settings, double quantile) {
  std::string table;
  for (char c : settings.table_name) table += (c >= ' ' && c <= '~') ? c : '?';
  const double coverage = kLevelCoverages[static_cast<size_t>(settings.level - kMinLevel)];
  return format_message(
      "%s# Shifts predicted by mirelon from the statistics table %s at level %ld (%g %%):\n"
      "%s# value is the mean shift of the matching statistics, value_uncertainty the\n"
      "%s# spread, the tolerance at that level divided by %.6f.\n",
      kIndent, table.c_str(), settings.level, coverage * 100, kIndent, kIndent, quantile);
}

}  // namespace

void append_shift_list(const StructurePrediction& prediction,
                       const std::vector<std::optional<NefResidue>>& residues,
                       const NefSettings& settings, std::string* out,
                       std::vector<std::string>* warnings) {
  std::map<std::string, size_t> position_of;
  for (size_t i = 0; i < prediction.residues.size(); ++i) {
    position_of.emplace(prediction.residues[i].id[kResidueNumber], i);
  }
  const double quantile = kLevelNormalQuantiles[static_cast<size_t>(settings.level - kMinLevel)];
  Rows rows;
  std::set<std::pair<size_t, std::string>> written;
  for (const ShiftEntry& entry : prediction.entries) {
    const auto found = position_of.find(entry.residue_number);
    if (found == position_of.end() || !residues[found->second]) continue;
    const std::string atom = nef_atom_name(entry.atom);
    if (!written.emplace(found->second, atom).second) {
      warnings->push_back(format_message(
          "Warning: %s: a second prediction for atom %s of residue %s (entry %zu) is left out\n",
          settings.table_name.c_str(), entry.atom.c_str(), entry.residue_number.c_str(),
          entry.number));
      continue;
    }
    // The numbers of "kesta.prot": the texts read as strtod reads them, the
    // shift with four decimals.
    const double tolerance = strtod_text(entry.tolerance);
    std::vector<std::string> row;
    append_residue(*residues[found->second], atom, &row);
    row.push_back(format_f4(strtod_text(entry.mean_shift)));
    row.push_back(format_f4(tolerance / quantile));
    // The dictionary wants the element and the isotope number written out.
    const Nucleus nucleus = atom_nucleus(atom);
    row.emplace_back(nucleus == kOtherNucleus ? kMissing : element_symbol(nucleus));
    row.emplace_back(nucleus == kOtherNucleus ? kMissing : isotope_number(nucleus));
    rows.push_back(std::move(row));
  }
  const std::string framecode = shift_list_framecode(settings);
  open_saveframe(framecode, out);
  *out += shift_list_label(settings, quantile);
  append_items("nef_chemical_shift_list",
               {{"sf_category", "nef_chemical_shift_list"}, {"sf_framecode", framecode}}, out);
  append_loop("nef_chemical_shift",
              {"chain_code", "sequence_code", "residue_name", "atom_name", "value",
               "value_uncertainty", "element", "isotope_number"},
              rows, out);
  close_saveframe(out);
}

}  // namespace mirelon
