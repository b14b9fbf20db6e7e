#include "nef/nef_writer.h"

#include <algorithm>
#include <ctime>
#include <map>
#include <optional>
#include <set>
#include <utility>

#include "common/messages.h"
#include "common/nucleotides.h"
#include "common/numbers.h"
#include "common/prediction_levels.h"
#include "structure/backbone_windows.h"
#include "structure/canonical_pairs.h"

namespace mirelon {

namespace {

constexpr std::string_view kFormatName = "nmr_exchange_format";
constexpr std::string_view kFormatVersion = "1.1";
constexpr std::string_view kProgramName = "mirelon-nef";
constexpr std::string_view kMissing = ".";
constexpr std::string_view kWeight = "1.0";
constexpr size_t kLetters = 26;
constexpr double kFullTurn = 360.0;
constexpr double kHalfTurn = 180.0;
constexpr const char* kIndent = "   ";

// A nucleotide of the molecular system: the residue that NEF names.
struct NefResidue {
  std::string chain;
  std::string sequence_code;
  std::string name;  // "A", "C", "G" or "U"
  std::string linking;
};

// Rows of a loop, each a value per tag.
using Rows = std::vector<std::vector<std::string>>;

bool is_standard_base(std::string_view base) { return !residue_name(base).empty(); }

// A value as STAR writes it: "." for an empty text, quoted where a bare word
// would be read as something else.
std::string star_value(std::string_view value) {
  if (value.empty()) return std::string(kMissing);
  // A quote inside a word ends nothing (H1'); one in front would open a
  // quoted value.
  const bool plain = value.find_first_of(" \t\r\n") == std::string_view::npos &&
                     std::string_view("'\"_#;$[]").find(value[0]) == std::string_view::npos &&
                     value.rfind("data_", 0) != 0 && value.rfind("save_", 0) != 0 &&
                     value != "loop_" && value != "stop_" && value != "?";
  if (plain) return std::string(value);
  const char quote = value.find('\'') == std::string_view::npos ? '\'' : '"';
  return quote + std::string(value) + quote;
}

std::string fixed(double value, int decimals) { return format_message("%.*f", decimals, value); }

// One saveframe's items, tag names aligned.
void append_items(const std::string& category,
                  const std::vector<std::pair<std::string, std::string>>& items, std::string* out) {
  size_t width = 0;
  for (const auto& item : items) width = std::max(width, category.size() + 2 + item.first.size());
  for (const auto& [tag, value] : items) {
    *out += kIndent;
    std::string name = "_";
    name.append(category).append(".").append(tag);
    append_pad_right(out, name, width + 2);
    *out += star_value(value);
    *out += '\n';
  }
}

// A loop with its columns aligned; a loop without rows is written with its
// tags only.
void append_loop(const std::string& category, const std::vector<std::string>& tags,
                 const Rows& rows, std::string* out) {
  *out += "\n";
  *out += kIndent;
  *out += "loop_\n";
  for (const std::string& tag : tags) {
    *out += kIndent;
    out->append("   _").append(category).append(".").append(tag).append("\n");
  }
  *out += "\n";
  std::vector<size_t> widths(tags.size(), 0);
  std::vector<std::vector<std::string>> cells;
  cells.reserve(rows.size());
  for (const auto& row : rows) {
    std::vector<std::string> line;
    for (size_t c = 0; c < row.size(); ++c) {
      line.push_back(star_value(row[c]));
      widths[c] = std::max(widths[c], line.back().size());
    }
    cells.push_back(std::move(line));
  }
  for (const auto& line : cells) {
    *out += kIndent;
    *out += "   ";
    for (size_t c = 0; c < line.size(); ++c) {
      if (c + 1 == line.size()) {
        *out += line[c];
      } else {
        append_pad_right(out, line[c], widths[c] + 2);
      }
    }
    *out += '\n';
  }
  *out += kIndent;
  *out += "stop_\n";
}

void open_saveframe(const std::string& framecode, std::string* out) {
  *out += "\nsave_" + framecode + "\n";
}

void close_saveframe(std::string* out) { *out += "save_\n"; }

// The residues of the molecular system, by structure position; none for a
// nucleotide that is left out.
bool build_residues(const Structure& structure, const NefSettings& settings,
                    std::vector<std::optional<NefResidue>>* residues,
                    std::vector<std::string>* warnings, std::string* error) {
  const size_t n = structure.size();
  if (settings.natural_numbering && structure.natural_numbers.size() != n) {
    *error =
        format_message("%s: -N takes the sequence codes from CT column 6, and this is no CT file\n",
                       settings.input_name.c_str());
    return false;
  }
  std::vector<std::optional<NefResidue>> result(n);
  // Strands as ranges of positions.
  std::vector<std::pair<size_t, size_t>> strands;
  size_t first = 0;
  for (size_t end : structure.breaks) {
    strands.emplace_back(first, end + 1);
    first = end + 1;
  }
  strands.emplace_back(first, n);
  size_t kept = 0;
  for (size_t s = 0; s < strands.size(); ++s) {
    const auto [begin, end] = strands[s];
    std::vector<size_t> members;
    std::set<std::string> codes;
    for (size_t i = begin; i < end; ++i) {
      if (!is_standard_base(structure.bases[i])) {
        warnings->push_back(format_message(
            "Warning: %s: nucleotide %zu has base '%s', not A, C, G or U; it is left out\n",
            settings.input_name.c_str(), i + 1, structure.bases[i].c_str()));
        continue;
      }
      NefResidue residue;
      residue.chain = chain_code(s);
      residue.name = structure.bases[i];
      if (settings.natural_numbering) {
        const std::string& natural = structure.natural_numbers[i];
        if (!whole_number_value(natural)) {
          *error = format_message(
              "%s: nucleotide %zu: column 6 '%s' is no whole number, so -N cannot use it\n",
              settings.input_name.c_str(), i + 1, natural.c_str());
          return false;
        }
        residue.sequence_code = decimal(*whole_number_value(natural));
      } else {
        residue.sequence_code = decimal(static_cast<int64_t>(i + 1));
      }
      if (!codes.insert(residue.sequence_code).second) {
        *error = format_message("%s: nucleotide %zu: sequence code %s repeats in chain %s\n",
                                settings.input_name.c_str(), i + 1, residue.sequence_code.c_str(),
                                residue.chain.c_str());
        return false;
      }
      result[i] = std::move(residue);
      members.push_back(i);
    }
    // Linking: a chain of one is "single"; otherwise "start", "middle" and
    // "end", and "break" before a left-out nucleotide, where the chain does
    // not run on to its next residue.
    for (size_t m = 0; m < members.size(); ++m) {
      NefResidue& residue = *result[members[m]];
      if (members.size() == 1) {
        residue.linking = "single";
      } else if (m + 1 == members.size()) {
        residue.linking = "end";
      } else if (members[m + 1] != members[m] + 1) {
        residue.linking = "break";
      } else if (m == 0) {
        residue.linking = "start";
      } else {
        residue.linking = "middle";
      }
    }
    kept += members.size();
  }
  if (kept == 0) {
    *error = format_message("%s: no nucleotide is A, C, G or U: there is nothing to write\n",
                            settings.input_name.c_str());
    return false;
  }
  *residues = std::move(result);
  return true;
}

void append_residue(const NefResidue& residue, std::string_view atom,
                    std::vector<std::string>* row) {
  row->push_back(residue.chain);
  row->push_back(residue.sequence_code);
  row->push_back(residue.name);
  row->emplace_back(atom);
}

// NEF atom names follow the RCSB: the two hydrogens at C5' are not
// stereospecifically assigned in the data the statistics come from, so
// they are H5x (the table's H5', the downfield one) and H5y (its H5").
std::string nef_atom_name(std::string_view table_atom) {
  if (table_atom == "H5'") return "H5x";
  if (table_atom == "H5\"") return "H5y";
  return std::string(table_atom);
}

// The element and the isotope observed by NMR of an atom of the catalogue:
// its first letter names the element (H, C, N or P), which the dictionary
// wants written out together with its isotope number.
std::pair<std::string_view, std::string_view> nucleus_of(std::string_view atom) {
  switch (atom.empty() ? ' ' : atom[0]) {
    case 'H':
      return {"H", "1"};
    case 'C':
      return {"C", "13"};
    case 'N':
      return {"N", "15"};
    case 'P':
      return {"P", "31"};
    default:
      return {kMissing, kMissing};
  }
}

std::string shift_list_framecode(const NefSettings& settings) {
  std::string table = settings.table_path;
  const size_t slash = table.find_last_of('/');
  if (slash != std::string::npos) table.erase(0, slash + 1);
  const size_t dot = table.find_last_of('.');
  if (dot != std::string::npos && dot > 0) table.erase(dot);
  return "nef_chemical_shift_list_mirelon_" + nef_safe_name(table) + "_level_" +
         decimal(settings.level);
}

// The label of the shift list, as comment lines: the dictionary defines no
// details item for it.
std::string shift_list_label(const NefSettings& settings, double quantile) {
  std::string table;
  for (char c : settings.table_path) table += (c >= ' ' && c <= '~') ? c : '?';
  const double coverage = kLevelCoverages[static_cast<size_t>(settings.level - kMinLevel)];
  return format_message(
      "%s# Shifts predicted by mirelon from the statistics table %s at level %ld (%g %%):\n"
      "%s# value is the mean shift of the matching statistics, value_uncertainty the\n"
      "%s# spread, the tolerance at that level divided by %.6f.\n",
      kIndent, table.c_str(), settings.level, coverage * 100, kIndent, kIndent, quantile);
}

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
          settings.table_path.c_str(), entry.atom.c_str(), entry.residue_number.c_str(),
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
    const auto [element, isotope] = nucleus_of(atom);
    row.emplace_back(element);
    row.emplace_back(isotope);
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

// A hydrogen bond of a base pair: donor, its hydrogen and the acceptor, each
// on the nucleotide of the named base.
struct HydrogenBond {
  std::string_view donor_base;
  std::string_view donor;
  std::string_view hydrogen;
  std::string_view acceptor_base;
  std::string_view acceptor;
};

// The bonds of a pair of bases (in either order): G-C three, A-U two, and
// the G-U wobble pair two; none for any other pair.
std::vector<HydrogenBond> pair_bonds(std::string_view a, std::string_view b) {
  auto is = [&](std::string_view x, std::string_view y) {
    return (a == x && b == y) || (a == y && b == x);
  };
  if (is("G", "C")) {
    return {
        {"G", "N1", "H1", "C", "N3"}, {"G", "N2", "H21", "C", "O2"}, {"C", "N4", "H41", "G", "O6"}};
  }
  if (is("A", "U")) return {{"U", "N3", "H3", "A", "N1"}, {"A", "N6", "H61", "U", "O4"}};
  if (is("G", "U")) return {{"G", "N1", "H1", "U", "O2"}, {"U", "N3", "H3", "G", "O6"}};
  return {};
}

void append_distance_limits(double lower, double upper, std::vector<std::string>* row) {
  row->emplace_back(kWeight);
  row->push_back(fixed((lower + upper) / 2, 2));
  row->push_back(fixed((upper - lower) / 2, 2));
  row->push_back(fixed(lower, 2));
  row->push_back(fixed(upper, 2));
}

void append_distance_list(const Structure& structure, const StructurePrediction& prediction,
                          const std::vector<std::optional<NefResidue>>& residues,
                          const NefSettings& settings, std::string* out) {
  // The pairs by their 5' member: every usable canonical Watson-Crick pair,
  // and with -g every G-U pair.
  std::vector<std::pair<size_t, size_t>> pairs;
  for (const FivePrimePair& pair : five_prime_pairs(prediction.records)) {
    if (pair.fault == PairFault::kNone) pairs.emplace_back(pair.record, pair.partner);
  }
  if (settings.wobble_pairs) {
    for (size_t i = 0; i < structure.size(); ++i) {
      const std::optional<size_t> j = structure.partners[i];
      if (!j || *j < i) continue;
      const std::string& a = structure.bases[i];
      const std::string& b = structure.bases[*j];
      if ((a == "G" && b == "U") || (a == "U" && b == "G")) pairs.emplace_back(i, *j);
    }
    std::sort(pairs.begin(), pairs.end());
  }
  Rows rows;
  for (const auto& [i, j] : pairs) {
    if (!residues[i] || !residues[j]) continue;
    for (const HydrogenBond& bond : pair_bonds(structure.bases[i], structure.bases[j])) {
      const NefResidue& donor = structure.bases[i] == bond.donor_base ? *residues[i] : *residues[j];
      const NefResidue& acceptor =
          structure.bases[i] == bond.acceptor_base ? *residues[i] : *residues[j];
      for (const bool from_hydrogen : {true, false}) {
        std::vector<std::string> row;
        row.push_back(decimal(static_cast<int64_t>(rows.size() + 1)));
        row.push_back(decimal(static_cast<int64_t>(rows.size() + 1)));
        row.emplace_back(kMissing);
        append_residue(donor, from_hydrogen ? bond.hydrogen : bond.donor, &row);
        append_residue(acceptor, bond.acceptor, &row);
        if (from_hydrogen) {
          append_distance_limits(kHydrogenAcceptorLower, kHydrogenAcceptorUpper, &row);
        } else {
          append_distance_limits(kDonorAcceptorLower, kDonorAcceptorUpper, &row);
        }
        rows.push_back(std::move(row));
      }
    }
  }
  if (rows.empty()) return;
  const std::string framecode = "nef_distance_restraint_list_hbond";
  open_saveframe(framecode, out);
  *out += format_message(
      "%s# Two restraints per hydrogen bond of every canonical Watson-Crick pair%s:\n"
      "%s# hydrogen to acceptor %.1f to %.1f A, donor to acceptor %.1f to %.1f A.\n",
      kIndent, settings.wobble_pairs ? " and every G-U pair" : "", kIndent, kHydrogenAcceptorLower,
      kHydrogenAcceptorUpper, kDonorAcceptorLower, kDonorAcceptorUpper);
  append_items("nef_distance_restraint_list",
               {{"sf_category", "nef_distance_restraint_list"},
                {"sf_framecode", framecode},
                {"potential_type", "square-well-parabolic"},
                {"restraint_origin", "hbond"}},
               out);
  append_loop("nef_distance_restraint",
              {"index", "restraint_id", "restraint_combination_id", "chain_code_1",
               "sequence_code_1", "residue_name_1", "atom_name_1", "chain_code_2",
               "sequence_code_2", "residue_name_2", "atom_name_2", "weight", "target_value",
               "target_value_uncertainty", "lower_limit", "upper_limit"},
              rows, out);
  close_saveframe(out);
}

// The dihedral's usual name: KESTA's EPSI is epsilon.
std::string_view dihedral_name(std::string_view window_name) {
  return window_name == "EPSI" ? std::string_view("EPSILON") : window_name;
}

// An angle within (-180, 180].
double normalised_angle(double degrees) {
  while (degrees > kHalfTurn) degrees -= kFullTurn;
  while (degrees <= -kHalfTurn) degrees += kFullTurn;
  return degrees;
}

void append_dihedral_list(const StructurePrediction& prediction,
                          const std::vector<std::optional<NefResidue>>& residues,
                          std::string* out) {
  Rows rows;
  const size_t n = prediction.residues.size();
  for (size_t i = 0; i < n; ++i) {
    if (!residues[i]) continue;
    for (const BackboneWindow* window :
         restrained_windows(classify_stem_position(prediction.residues[i].id))) {
      std::vector<std::string> row;
      row.push_back(decimal(static_cast<int64_t>(rows.size() + 1)));
      row.push_back(decimal(static_cast<int64_t>(rows.size() + 1)));
      row.emplace_back(kMissing);
      bool complete = true;
      for (const TorsionAtom& atom : window->atoms) {
        // A stem position guarantees the Watson-Crick paired neighbour that
        // the angle reaches into; the test keeps a malformed input safe.
        const long position = static_cast<long>(i) + atom.offset;
        if (position < 0 || static_cast<size_t>(position) >= n ||
            !residues[static_cast<size_t>(position)]) {
          complete = false;
          break;
        }
        append_residue(*residues[static_cast<size_t>(position)], atom.name, &row);
      }
      if (!complete) continue;
      // A window through 180 degrees runs upward from its lower limit: its
      // upper limit is written plus 360, so the lower never exceeds it.
      const double upper =
          window->upper < window->lower ? window->upper + kFullTurn : window->upper;
      row.emplace_back(kWeight);
      row.push_back(fixed(normalised_angle((window->lower + upper) / 2), 1));
      row.push_back(fixed((upper - window->lower) / 2, 1));
      row.push_back(fixed(window->lower, 1));
      row.push_back(fixed(upper, 1));
      row.emplace_back(dihedral_name(window->name));
      rows.push_back(std::move(row));
    }
  }
  if (rows.empty()) return;
  const std::string framecode = "nef_dihedral_restraint_list_backbone";
  open_saveframe(framecode, out);
  *out += format_message(
      "%s# Backbone torsion windows of 60 degrees for the nucleotides of Watson-Crick stems;\n"
      "%s# a window through 180 degrees has its upper limit above 180 (BETA 150 to 210).\n",
      kIndent, kIndent);
  append_items("nef_dihedral_restraint_list",
               {{"sf_category", "nef_dihedral_restraint_list"},
                {"sf_framecode", framecode},
                {"potential_type", "square-well-parabolic"},
                {"restraint_origin", "secondary_structure"}},
               out);
  std::vector<std::string> tags = {"index", "restraint_id", "restraint_combination_id"};
  for (const char* n_atom : {"1", "2", "3", "4"}) {
    for (const char* part : {"chain_code_", "sequence_code_", "residue_name_", "atom_name_"}) {
      tags.push_back(std::string(part) + n_atom);
    }
  }
  for (const char* tag : {"weight", "target_value", "target_value_uncertainty", "lower_limit",
                          "upper_limit", "name"}) {
    tags.emplace_back(tag);
  }
  append_loop("nef_dihedral_restraint", tags, rows, out);
  close_saveframe(out);
}

}  // namespace

std::string nef_name_fault(std::string_view name) {
  if (name.empty()) return "it is empty";
  for (char c : name) {
    if (c <= ' ' || c > '~') return "it holds a blank or a character that is not printable ASCII";
    if (c == '\'' || c == '"' || c == '#') return "it holds a quote or '#'";
  }
  return {};
}

std::string nef_safe_name(std::string_view text) {
  std::string name;
  for (char c : text) {
    name += (c <= ' ' || c > '~' || c == '\'' || c == '"' || c == '#') ? '_' : c;
  }
  return name.empty() ? "rna" : name;
}

std::string chain_code(size_t strand) {
  std::string code;
  size_t n = strand + 1;
  while (n > 0) {
    --n;
    code.insert(code.begin(), static_cast<char>('A' + n % kLetters));
    n /= kLetters;
  }
  return code;
}

bool format_creation_date(int64_t epoch, std::string* date) {
  const auto seconds = static_cast<std::time_t>(epoch);
  if (static_cast<int64_t>(seconds) != epoch) return false;
  std::tm utc{};
  if (gmtime_r(&seconds, &utc) == nullptr) return false;
  char text[64];
  if (std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc) == 0) return false;
  *date = text;
  return true;
}

uint64_t text_hash(std::string_view text) {
  constexpr uint64_t kOffset = 14695981039346656037ULL;
  constexpr uint64_t kPrime = 1099511628211ULL;
  uint64_t hash = kOffset;
  for (char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= kPrime;
  }
  return hash;
}

bool build_nef(const Structure& structure, const StructurePrediction& prediction,
               const NefSettings& settings, std::string* text, std::vector<std::string>* warnings,
               std::string* error) {
  std::vector<std::optional<NefResidue>> residues;
  std::vector<std::string> notes;
  if (!build_residues(structure, settings, &residues, &notes, error)) return false;

  std::string out = "data_nef_" + settings.name + "\n";
  open_saveframe("nef_nmr_meta_data", &out);
  append_items("nef_nmr_meta_data",
               {{"sf_category", "nef_nmr_meta_data"},
                {"sf_framecode", "nef_nmr_meta_data"},
                {"format_name", std::string(kFormatName)},
                {"format_version", std::string(kFormatVersion)},
                {"program_name", std::string(kProgramName)},
                {"program_version", settings.program_version},
                {"creation_date", settings.creation_date},
                {"uuid", settings.uuid}},
               &out);
  close_saveframe(&out);

  open_saveframe("nef_molecular_system", &out);
  out += format_message("%s# %s: one chain per strand of the secondary structure.\n", kIndent,
                        settings.name.c_str());
  append_items("nef_molecular_system",
               {{"sf_category", "nef_molecular_system"}, {"sf_framecode", "nef_molecular_system"}},
               &out);
  Rows sequence;
  for (const auto& residue : residues) {
    if (!residue) continue;
    sequence.push_back({decimal(static_cast<int64_t>(sequence.size() + 1)), residue->chain,
                        residue->sequence_code, residue->name, residue->linking,
                        std::string(kMissing), std::string(kMissing)});
  }
  append_loop("nef_sequence",
              {"index", "chain_code", "sequence_code", "residue_name", "linking", "residue_variant",
               "cis_peptide"},
              sequence, &out);
  close_saveframe(&out);

  append_shift_list(prediction, residues, settings, &out, &notes);
  append_distance_list(structure, prediction, residues, settings, &out);
  append_dihedral_list(prediction, residues, &out);
  *text = std::move(out);
  warnings->insert(warnings->end(), notes.begin(), notes.end());
  return true;
}

}  // namespace mirelon
