#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "common/numbers.h"
#include "nef/nef_test_support.h"
#include "structure/structure.h"

namespace mirelon {
namespace {

// The bonds each pair must have, as the atoms "donor-or-H acceptor" of the
// 5' member's base first: what the restraint list is checked against.
std::set<std::string> expected_bonds(const Structure& structure, bool wobble) {
  struct Bond {
    const char* first;
    const char* second;
    std::vector<std::string> atoms;  // base:atom pairs, hydrogen row then donor row
  };
  static const std::vector<Bond> kBonds = {
      {"G", "C", {"G:H1 C:N3", "G:N1 C:N3", "G:H21 C:O2", "G:N2 C:O2", "C:H41 G:O6", "C:N4 G:O6"}},
      {"A", "U", {"U:H3 A:N1", "U:N3 A:N1", "A:H61 U:O4", "A:N6 U:O4"}},
  };
  static const Bond kWobble = {"G", "U", {"G:H1 U:O2", "G:N1 U:O2", "U:H3 G:O6", "U:N3 G:O6"}};
  std::set<std::string> bonds;
  for (size_t i = 0; i < structure.size(); ++i) {
    if (!structure.partners[i] || *structure.partners[i] < i) continue;
    const size_t j = *structure.partners[i];
    std::vector<const Bond*> candidates;
    candidates.reserve(kBonds.size() + 1);
    for (const Bond& bond : kBonds) candidates.push_back(&bond);
    if (wobble) candidates.push_back(&kWobble);
    for (const Bond* bond : candidates) {
      const std::string& a = structure.bases[i];
      const std::string& b = structure.bases[j];
      if (!((a == bond->first && b == bond->second) || (a == bond->second && b == bond->first))) {
        continue;
      }
      for (const std::string& text : bond->atoms) {
        // "X:atom Y:atom" with X and Y base letters: put in positions.
        const size_t space = text.find(' ');
        auto where = [&](const std::string& part) {
          const std::string base = part.substr(0, part.find(':'));
          return decimal(static_cast<int64_t>((base == a ? i : j) + 1)) +
                 part.substr(part.find(':'));
        };
        bonds.insert(where(text.substr(0, space)) + " " + where(text.substr(space + 1)));
      }
    }
  }
  return bonds;
}

std::set<std::string> written_bonds(const std::string& text) {
  std::set<std::string> bonds;
  for (const auto& row : loop_rows(text, "nef_distance_restraint")) {
    bonds.insert(row.at("sequence_code_1") + ":" + row.at("atom_name_1") + " " +
                 row.at("sequence_code_2") + ":" + row.at("atom_name_2"));
    const bool hydrogen = row.at("atom_name_1")[0] == 'H';
    EXPECT_EQ(row.at("lower_limit"), hydrogen ? "1.80" : "2.70");
    EXPECT_EQ(row.at("upper_limit"), hydrogen ? "2.00" : "3.00");
  }
  return bonds;
}

TEST(NefDistanceRestraintsTest, ExactlyTheBondsOfTheCanonicalPairs) {
  // The last holds a G-U pair with U on the 5' side.
  for (const char* content : {kThreeStrands, kPseudoknot, "UGCAAAGCG\n(((...)))\n"}) {
    const Structure structure = structure_of(content);
    NefSettings settings = settings_for("rna.db");
    EXPECT_EQ(written_bonds(nef_text(structure, settings)), expected_bonds(structure, false))
        << content;
    settings.wobble_pairs = true;
    EXPECT_EQ(written_bonds(nef_text(structure, settings)), expected_bonds(structure, true))
        << content;
  }
  // Without a canonical pair there is no distance restraint list at all.
  const std::string text = nef_text(structure_of("GGAAUU\n(....)\n"), settings_for("rna.db"));
  EXPECT_EQ(text.find("nef_distance_restraint_list"), std::string::npos);
  EXPECT_EQ(text.find("nef_dihedral_restraint_list"), std::string::npos);
}

TEST(NefDihedralRestraintsTest, WindowsThrough180KeepTheLowerLimitBelow) {
  const std::string text = nef_text(structure_of("GGGAAACCC\n(((...)))\n"), settings_for("a"));
  const auto rows = loop_rows(text, "nef_dihedral_restraint");
  ASSERT_EQ(rows.size(), 2 * (3 + 6 + 4u));
  for (const auto& row : rows) {
    EXPECT_LT(std::stod(row.at("lower_limit")), std::stod(row.at("upper_limit"))) << row.at("name");
    EXPECT_DOUBLE_EQ(std::stod(row.at("upper_limit")) - std::stod(row.at("lower_limit")), 60.0);
  }
  // The first nucleotide starts the stem: DELTA, EPSILON, ZETA; EPSILON and
  // ZETA reach into the next nucleotide.
  EXPECT_EQ(rows[1].at("name"), "EPSILON");
  EXPECT_EQ(rows[1].at("lower_limit"), "180.0");
  EXPECT_EQ(rows[1].at("upper_limit"), "240.0");
  EXPECT_EQ(rows[1].at("target_value"), "-150.0");
  EXPECT_EQ(rows[1].at("atom_name_4") + rows[1].at("sequence_code_4"), "P2");
  // The second is inside: ALPHA starts at O3' of the first.
  EXPECT_EQ(rows[3].at("name"), "ALPHA");
  EXPECT_EQ(rows[3].at("atom_name_1") + rows[3].at("sequence_code_1"), "O3'1");
  EXPECT_EQ(rows[4].at("name"), "BETA");
  EXPECT_EQ(rows[4].at("lower_limit") + " " + rows[4].at("upper_limit"), "150.0 210.0");
}

}  // namespace
}  // namespace mirelon
