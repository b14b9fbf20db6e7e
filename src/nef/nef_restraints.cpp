#include "nef/nef_restraints.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "common/messages.h"
#include "common/numbers.h"
#include "structure/backbone_windows.h"
#include "structure/canonical_pairs.h"

namespace mirelon {

namespace {

constexpr std::string_view kWeight = "1.0";
constexpr double kFullTurn = 360.0;
constexpr double kHalfTurn = 180.0;

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

}  // namespace

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

}  // namespace mirelon
