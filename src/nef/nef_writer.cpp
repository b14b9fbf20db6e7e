#include "nef/nef_writer.h"

#include <limits>
#include <optional>
#include <set>
#include <utility>

#include "common/messages.h"
#include "common/nucleotides.h"
#include "common/numbers.h"
#include "nef/nef_restraints.h"
#include "nef/nef_shift_list.h"
#include "nef/nef_star_text.h"

namespace mirelon {

namespace {

constexpr std::string_view kFormatName = "nmr_exchange_format";
constexpr std::string_view kFormatVersion = "1.1";
constexpr std::string_view kProgramName = "mirelon-nef";
constexpr size_t kLetters = 26;

bool is_standard_base(std::string_view base) { return !residue_name(base).empty(); }

// Strands as ranges [begin, end) of structure positions.
std::vector<std::pair<size_t, size_t>> strand_ranges(const Structure& structure) {
  std::vector<std::pair<size_t, size_t>> strands;
  size_t first = 0;
  for (size_t end : structure.breaks) {
    strands.emplace_back(first, end + 1);
    first = end + 1;
  }
  strands.emplace_back(first, structure.size());
  return strands;
}

// The sequence code of the nucleotide at `position`: its CT column 6 with
// -N, else its position counting from 1. Returns false with a message when
// column 6 holds no whole number.
bool sequence_code(const Structure& structure, size_t position, const NefSettings& settings,
                   std::string* code, std::string* error) {
  if (!settings.natural_numbering) {
    *code = decimal(static_cast<int64_t>(position + 1));
    return true;
  }
  int64_t natural = 0;
  if (!natural_number(structure, position, settings.input_name, &natural, error)) return false;
  *code = decimal(natural);
  return true;
}

// Linking of the kept residues `members` of one chain (positions, in
// order): a chain of one is "single"; otherwise "start", "middle" and
// "end", and "break" before a left-out nucleotide, where the chain does not
// run on to its next residue.
void link_chain(const std::vector<size_t>& members,
                std::vector<std::optional<NefResidue>>* residues) {
  for (size_t m = 0; m < members.size(); ++m) {
    NefResidue& residue = *(*residues)[members[m]];
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
}

// The residues of the molecular system, by structure position; none for a
// nucleotide that is left out.
bool build_residues(const Structure& structure, const NefSettings& settings,
                    std::vector<std::optional<NefResidue>>* residues,
                    std::vector<std::string>* warnings, std::string* error) {
  const size_t n = structure.size();
  const std::string fault =
      settings.natural_numbering
          ? natural_numbering_fault(structure, settings.input_name, "sequence codes")
          : "";
  if (!fault.empty()) {
    *error = fault;
    return false;
  }
  std::vector<std::optional<NefResidue>> result(n);
  const std::vector<std::pair<size_t, size_t>> strands = strand_ranges(structure);
  size_t kept = 0;
  const std::vector<std::string> left_out = odd_base_positions(structure.bases);
  for (size_t s = 0; s < strands.size(); ++s) {
    const auto [begin, end] = strands[s];
    std::vector<size_t> members;
    std::set<std::string> codes;
    for (size_t i = begin; i < end; ++i) {
      if (!is_standard_base(structure.bases[i])) continue;
      NefResidue residue;
      residue.chain = chain_code(s);
      residue.name = structure.bases[i];
      if (!sequence_code(structure, i, settings, &residue.sequence_code, error)) return false;
      if (!codes.insert(residue.sequence_code).second) {
        *error = format_message("%s: nucleotide %zu: sequence code %s repeats in chain %s\n",
                                settings.input_name.c_str(), i + 1, residue.sequence_code.c_str(),
                                residue.chain.c_str());
        return false;
      }
      result[i] = std::move(residue);
      members.push_back(i);
    }
    link_chain(members, &result);
    kept += members.size();
  }
  if (kept == 0) {
    *error = format_message("%s: no nucleotide is A, C, G or U: there is nothing to write\n",
                            settings.input_name.c_str());
    return false;
  }
  if (!left_out.empty()) {
    warnings->push_back(odd_bases_warning(settings.input_name,
                                          "get no residue, no shifts and no restraints", left_out));
  }
  *residues = std::move(result);
  return true;
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
  // The calendar date by integer arithmetic (days since 1970 to the
  // proleptic Gregorian calendar, eras of 400 years of 146,097 days), not by
  // gmtime: the browser page's time_t has 32 bits and ends in 2038. A year
  // must fit an int (gmtime refuses some later years and the C library's
  // strftime writes the others' years overflowed); dates before 1970 are
  // refused, as no caller gives them.
  if (epoch < 0) return false;
  const int64_t days = epoch / 86400;
  const int64_t second_of_day = epoch % 86400;
  const int64_t shifted = days + 719468;  // days since 0000-03-01
  const int64_t era = shifted / 146097;
  const int64_t day_of_era = shifted - era * 146097;
  const int64_t year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const int64_t day_of_year =
      day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const int64_t month_index = (5 * day_of_year + 2) / 153;  // March is 0
  const int64_t day = day_of_year - (153 * month_index + 2) / 5 + 1;
  const int64_t month = month_index < 10 ? month_index + 3 : month_index - 9;
  const int64_t year = year_of_era + era * 400 + (month <= 2 ? 1 : 0);
  if (year > std::numeric_limits<int>::max()) return false;
  *date = format_message("%04lld-%02lld-%02lldT%02lld:%02lld:%02lld", static_cast<long long>(year),
                         static_cast<long long>(month), static_cast<long long>(day),
                         static_cast<long long>(second_of_day / 3600),
                         static_cast<long long>(second_of_day / 60 % 60),
                         static_cast<long long>(second_of_day % 60));
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
