// mirelon-check's modules: the predicted peaks and their peak lists, label
// placement in the pictures, the assignment check and the ranking of
// structures, on structures predicted with the shipped table.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "check/assignment_check.h"
#include "check/check_report.h"
#include "check/predicted_peaks.h"
#include "check/structure_ranking.h"
#include "check/svg_pictures.h"
#include "check_fixtures.h"
#include "common/files.h"
#include "common/numbers.h"
#include "prediction/structure_prediction.h"
#include "prediction/table_file.h"
#include "structure/residue_ids.h"
#include "structure/structure.h"

namespace mirelon {
namespace {

ObservedShift* find_shift(std::vector<ObservedShift>* shifts, long residue, const char* atom) {
  for (ObservedShift& shift : *shifts) {
    if (shift.residue == residue && shift.atom == atom) return &shift;
  }
  return nullptr;
}

TEST(PeakListTest, SparkyLayoutWithResidueOnceAndHeteronucleusFirst) {
  const Structure structure = dot_bracket(kHairpinSequence, kHairpinPairs);
  const PredictionIndex index(predict(structure));
  const Experiment& h1c1 = experiments().front();
  const std::vector<PredictedPeak> peaks = predicted_peaks(index, h1c1);
  ASSERT_EQ(peaks.size(), 30u);
  const std::string list = format_peak_list(index, {peaks[11]});
  char expected[128];
  std::snprintf(expected, sizeof expected, "%16s%11.3f%11.3f\n", "G12C1'-H1'", peaks[11].heavy.mean,
                peaks[11].proton.mean);
  EXPECT_EQ(list, std::string("      Assignment         w1         w2\n\n") + expected);
  // w1 is the heteronucleus: 13C near 90 ppm, the proton near 5.5.
  EXPECT_GT(peaks[11].heavy.mean, 80);
  EXPECT_LT(peaks[11].proton.mean, 7);
}

TEST(PeakListTest, ExperimentsTakeOnlyTheirBases) {
  const Structure structure = dot_bracket(kHairpinSequence, kHairpinPairs);
  const PredictionIndex index(predict(structure));
  for (const Experiment& experiment : experiments()) {
    for (const PredictedPeak& peak : predicted_peaks(index, experiment)) {
      EXPECT_EQ(index.base(peak.position), peak.atoms.base) << experiment.title;
    }
  }
  // H2-C2 is adenine only, H5-C5 pyrimidines only.
  EXPECT_EQ(predicted_peaks(index, experiments()[2]).size(), 6u);
  EXPECT_EQ(predicted_peaks(index, experiments()[3]).size(), 14u);
}

TEST(AssignmentCheckTest, MedianIntervalOfOrderStatistics) {
  const Referencing r = median_interval({5, 1, 4, 2, 3, 9, 8, 7, 6});
  EXPECT_EQ(r.count, 9u);
  EXPECT_DOUBLE_EQ(r.median, 5);
  // n = 9: ranks 9/2 -+ 1.96 * 3 / 2 give the 2nd smallest and largest.
  EXPECT_DOUBLE_EQ(r.low, 2);
  EXPECT_DOUBLE_EQ(r.high, 8);
  const Referencing even = median_interval({1, 2});
  EXPECT_DOUBLE_EQ(even.median, 1.5);
  EXPECT_DOUBLE_EQ(even.low, 1);
  EXPECT_DOUBLE_EQ(even.high, 2);
}

TEST(AssignmentCheckTest, PerfectShiftsGiveZeroZAndNoFlags) {
  const Structure structure = dot_bracket(kHairpinSequence, kHairpinPairs);
  const PredictionIndex index(predict(structure));
  const std::vector<ObservedShift> shifts = shifts_at_predictions(index);
  const AssignmentCheck check = check_assignment(index, shifts, ResidueMapping(), kLevel);
  EXPECT_EQ(check.atoms.size(), shifts.size());
  EXPECT_EQ(check.unmatched, 0u);
  for (const ComparedAtom& atom : check.atoms) {
    EXPECT_DOUBLE_EQ(atom.z, 0) << atom.atom;
    EXPECT_FALSE(atom.outlier || atom.swap);
  }
  for (const Referencing& r : check.referencing) EXPECT_FALSE(r.applied);
  EXPECT_TRUE(check.swaps.empty());
}

// A 13C referencing error of 2.5 ppm is found, removed before the flags,
// and the z use the spread at the level's normal quantile.
TEST(AssignmentCheckTest, CarbonOffsetFoundAndRemoved) {
  const Structure structure = dot_bracket(kHairpinSequence, kHairpinPairs);
  const PredictionIndex index(predict(structure));
  std::vector<ObservedShift> shifts = shifts_at_predictions(index);
  for (ObservedShift& shift : shifts) {
    if (shift.atom.front() == 'C') shift.value += 2.5;
  }
  ObservedShift* off = find_shift(&shifts, 5, "H1'");
  ASSERT_NE(off, nullptr);
  off->value += 3.0;  // far outside any H1' tolerance
  const AssignmentCheck check = check_assignment(index, shifts, ResidueMapping(), kLevel);
  const Referencing& carbon = check.referencing[kCarbon];
  EXPECT_TRUE(carbon.applied);
  EXPECT_NEAR(carbon.median, 2.5, 1e-9);
  EXPECT_FALSE(check.referencing[kProton].applied);
  size_t outliers = 0;
  for (const ComparedAtom& atom : check.atoms) {
    if (atom.nucleus == kCarbon) {
      EXPECT_NEAR(atom.corrected, atom.observed - 2.5, 1e-9);
    }
    if (atom.outlier) {
      ++outliers;
      EXPECT_EQ(atom.position, 4u);
      EXPECT_EQ(atom.atom, "H1'");
      EXPECT_NEAR(atom.z, 3.0 / (atom.predicted.tolerance / 2.575829303549), 1e-9);
    }
  }
  EXPECT_EQ(outliers, 1u);
}

// Two exchanged H1' values are named as a swap candidate, best first, and
// the exchange of the two hydrogens at C5' of one residue too.
TEST(AssignmentCheckTest, ExchangedShiftsAreSwapCandidates) {
  const Structure structure = dot_bracket(kHairpinSequence, kHairpinPairs);
  const PredictionIndex index(predict(structure));
  std::vector<ObservedShift> shifts = shifts_at_predictions(index);
  // The two H1' values furthest apart.
  ObservedShift* a = nullptr;
  ObservedShift* b = nullptr;
  for (ObservedShift& one : shifts) {
    for (ObservedShift& other : shifts) {
      if (one.atom != "H1'" || other.atom != "H1'" || one.residue >= other.residue) continue;
      if (a == nullptr || std::fabs(one.value - other.value) > std::fabs(a->value - b->value)) {
        a = &one;
        b = &other;
      }
    }
  }
  ASSERT_TRUE(a && b);
  ASSERT_GT(std::fabs(a->value - b->value), 0.4);
  const size_t first = static_cast<size_t>(a->residue - 1);
  const size_t second = static_cast<size_t>(b->residue - 1);
  std::swap(a->value, b->value);
  const AssignmentCheck check = check_assignment(index, shifts, ResidueMapping(), kLevel);
  ASSERT_FALSE(check.swaps.empty());
  const SwapCandidate& best = check.swaps.front();
  EXPECT_EQ(check.atoms[best.first].position, first);
  EXPECT_EQ(check.atoms[best.second].position, second);
  EXPECT_GE(best.gain, kMinSwapGain);
}

// An atom that holds another residue's value may fit a third residue as well
// or better; the true partner is still named. Here C, predicted almost as B,
// also holds A's value: A <-> B and A <-> C both fit, and keeping only A's
// best exchange would hide one of them.
TEST(AssignmentCheckTest, EveryFittingExchangeIsNamed) {
  const Structure structure = dot_bracket(kHairpinSequence, kHairpinPairs);
  const PredictionIndex index(predict(structure));
  std::vector<ObservedShift> shifts = shifts_at_predictions(index);
  std::vector<ObservedShift*> h1;
  for (ObservedShift& shift : shifts) {
    if (shift.atom == "H1'") h1.push_back(&shift);
  }
  // A and B predicted furthest apart, C the nearest to B.
  ObservedShift* a = nullptr;
  ObservedShift* b = nullptr;
  for (ObservedShift* one : h1) {
    for (ObservedShift* other : h1) {
      if (a == nullptr || std::fabs(one->value - other->value) > std::fabs(a->value - b->value)) {
        a = one;
        b = other;
      }
    }
  }
  ASSERT_TRUE(a && b);
  ObservedShift* c = nullptr;
  for (ObservedShift* one : h1) {
    if (one != a && one != b &&
        (c == nullptr || std::fabs(one->value - b->value) < std::fabs(c->value - b->value))) {
      c = one;
    }
  }
  ASSERT_TRUE(c);
  ASSERT_GT(std::fabs(a->value - b->value), 0.4);
  std::swap(a->value, b->value);
  c->value = b->value;  // A's prediction, as B now holds it
  const AssignmentCheck check = check_assignment(index, shifts, ResidueMapping(), kLevel);
  const auto named = [&](const ObservedShift* x, const ObservedShift* y) {
    for (const SwapCandidate& swap : check.swaps) {
      const long first = static_cast<long>(check.atoms[swap.first].position) + 1;
      const long second = static_cast<long>(check.atoms[swap.second].position) + 1;
      if ((first == x->residue && second == y->residue) ||
          (first == y->residue && second == x->residue)) {
        return true;
      }
    }
    return false;
  };
  EXPECT_TRUE(named(a, b));
  EXPECT_TRUE(named(a, c));
}

// A nucleus's offset is removed when at least 5 atoms share it, its
// magnitude reaches the threshold (1.0 ppm for 13C) and its interval
// excludes 0, either side; with 5 atoms the interval spans all of them.
TEST(AssignmentCheckTest, ReferencingRule) {
  struct Case {
    std::vector<double> offsets;  // observed - predicted of each C1'
    bool applied;
  };
  const Case cases[] = {
      {{2, 2, 2, 2, 2}, true},
      {{2, 2, 2, 2}, false},
      {{-2, -2, -2, -2, -2}, true},
      {{1, 1, 1, 1, 1}, true},
      {{0.9, 0.9, 0.9, 0.9, 0.9}, false},
      {{2, 2, 2, 0, 0}, false},
      {{2, 2, 2, -0.5, -0.5}, false},
      {{-2, -2, -2, 0.5, 0.5}, false},
  };
  for (const Case& c : cases) {
    std::vector<HandShift> predictions;
    std::vector<ObservedShift> shifts;
    for (size_t i = 0; i < c.offsets.size(); ++i) {
      predictions.push_back({i, "C1'", "90", "4"});
      shifts.push_back(observed_shift("C", static_cast<long>(i + 1), "C1'", 90 + c.offsets[i]));
    }
    const PredictionIndex index = hand_index(std::string(c.offsets.size(), 'C'), predictions);
    const AssignmentCheck check = check_assignment(index, shifts, ResidueMapping(), kLevel);
    const Referencing& carbon = check.referencing[kCarbon];
    SCOPED_TRACE(testing::PrintToString(c.offsets));
    EXPECT_EQ(carbon.applied, c.applied);
    const double removed = c.applied ? carbon.median : 0;
    for (const ComparedAtom& atom : check.atoms) {
      EXPECT_DOUBLE_EQ(atom.corrected, atom.observed - removed);
    }
  }
}

// Only atoms that map onto a residue of the same base with a prediction
// are compared; an atom listed twice counts once.
TEST(AssignmentCheckTest, MatchingShifts) {
  const PredictionIndex index = hand_index(
      "GC", {{0, "H1'", "5.8", "0.5"}, {0, "H5\"", "4.1", "0.3"}, {1, "H1'", "5.5", "0.5"}});
  struct Case {
    std::vector<ObservedShift> shifts;
    size_t atoms;
    size_t unmatched;
    size_t base_mismatches;
  };
  const Case cases[] = {
      {{observed_shift("G", 1, "H1'", 5.8), observed_shift("CYT", 2, "H1'", 5.5)}, 2, 0, 0},
      {{observed_shift("G", 1, "H5''", 4.1)}, 1, 0, 0},
      {{observed_shift("G", 0, "H1'", 5.8), observed_shift("G", 3, "H1'", 5.8)}, 0, 2, 0},
      {{observed_shift("A", 1, "H1'", 5.8), observed_shift("PSU", 2, "H1'", 5.5)}, 0, 2, 2},
      {{observed_shift("G", 1, "H8", 7.8)}, 0, 1, 0},
      {{observed_shift("G", 1, "H1'", 5.8), observed_shift("G", 1, "H1'", 5.9)}, 1, 1, 0},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const AssignmentCheck check =
        check_assignment(index, cases[i].shifts, ResidueMapping(), kLevel);
    EXPECT_EQ(check.atoms.size(), cases[i].atoms) << "case " << i;
    EXPECT_EQ(check.unmatched, cases[i].unmatched) << "case " << i;
    EXPECT_EQ(check.base_mismatches, cases[i].base_mismatches) << "case " << i;
  }
}

// Two observed shifts are a swap candidate when exchanging them brings both
// inside their tolerances and lowers the sum of their squared z by at least
// 4; the same atom of two residues or a commonly exchanged pair of one.
TEST(AssignmentCheckTest, SwapRule) {
  struct Case {
    HandShift a;
    HandShift b;
    double observed_a;
    double observed_b;
    bool swap;
  };
  const Case cases[] = {
      // Both fit after the exchange: 2 (0.5 / spread)^2 gained.
      {{0, "H1'", "5.0", "0.4"}, {1, "H1'", "5.5", "0.4"}, 5.5, 5.0, true},
      // Only one of the two fits after it, either way round.
      {{0, "H1'", "5.0", "0.4"}, {1, "H1'", "5.5", "0.4"}, 6.0, 5.0, false},
      {{0, "H1'", "5.0", "0.4"}, {1, "H1'", "5.5", "0.4"}, 5.5, 4.5, false},
      // Both fit, but the gain stays under 4.
      {{0, "H1'", "5.0", "0.4"}, {1, "H1'", "5.1", "0.4"}, 5.1, 5.0, false},
      // Different atoms of two residues are never exchanged ...
      {{0, "H1'", "5.0", "0.4"}, {1, "H2'", "5.5", "0.4"}, 5.5, 5.0, false},
      // ... the two hydrogens at C5' of one residue are.
      {{0, "H5'", "4.5", "0.4"}, {0, "H5\"", "4.0", "0.4"}, 4.0, 4.5, true},
  };
  const double spread = 0.4 / 2.575829303549;
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    const PredictionIndex index = hand_index("GG", {c.a, c.b});
    const std::vector<ObservedShift> shifts = {
        observed_shift("G", static_cast<long>(c.a.position + 1), c.a.atom, c.observed_a),
        observed_shift("G", static_cast<long>(c.b.position + 1), c.b.atom, c.observed_b)};
    const AssignmentCheck check = check_assignment(index, shifts, ResidueMapping(), kLevel);
    ASSERT_EQ(check.atoms.size(), 2u);
    EXPECT_EQ(check.swaps.size(), c.swap ? 1u : 0u) << "case " << i;
    EXPECT_EQ(check.atoms[0].swap, c.swap) << "case " << i;
    if (c.swap && !check.swaps.empty()) {
      EXPECT_NEAR(check.swaps[0].gain, 2 * 0.25 / (spread * spread), 1e-9) << "case " << i;
    }
  }
}

TEST(AssignmentCheckTest, OffsetsAndBasesMapResidues) {
  const Structure structure = dot_bracket(kHairpinSequence, kHairpinPairs);
  const PredictionIndex index(predict(structure));
  std::vector<ObservedShift> shifts = shifts_at_predictions(index);
  for (ObservedShift& shift : shifts) shift.residue += 10;  // numbered from 11
  // Residue names are read in any case.
  for (ObservedShift& shift : shifts) {
    if (shift.residue_name == "G") shift.residue_name = "gua";
  }
  ResidueMapping mapping;
  ASSERT_TRUE(parse_shift_offsets("-10", &mapping.offsets));
  const AssignmentCheck mapped = check_assignment(index, shifts, mapping, kLevel);
  EXPECT_EQ(mapped.atoms.size(), shifts.size());
  // Every output names residue 11 of the shift file at its place, G1.
  EXPECT_EQ(mapped.atoms.front().shift_residue, "11");
  EXPECT_EQ(residue_name(index, &mapped, 0), "G1 (11 in the shift file)");
  EXPECT_EQ(residue_name(index, nullptr, 0), "G1");
  EXPECT_TRUE(renumbered(mapped));
  // Numbered as the outputs number them, residues keep their labels.
  const AssignmentCheck same =
      check_assignment(index, shifts_at_predictions(index), ResidueMapping(), kLevel);
  EXPECT_EQ(residue_name(index, &same, 0), "G1");
  EXPECT_FALSE(renumbered(same));
  // Without the offset, residues 11 to 30 fall on other bases or beyond.
  const AssignmentCheck unmapped = check_assignment(index, shifts, ResidueMapping(), kLevel);
  EXPECT_GT(unmapped.unmatched, 0u);
  EXPECT_GT(unmapped.base_mismatches, 0u);
  EXPECT_EQ(unmapped.atoms.size() + unmapped.unmatched, shifts.size());
}

// An atom listed again counts once, with its first value; a repeat with
// another value is named, one with the same value or without a prediction
// is not.
TEST(AssignmentCheckTest, RepeatsWithOtherValuesAreNamed) {
  const Structure structure = dot_bracket(kHairpinSequence, kHairpinPairs);
  const PredictionIndex index(predict(structure));
  std::vector<ObservedShift> shifts = shifts_at_predictions(index);
  const size_t listed = shifts.size();
  const ObservedShift first = *find_shift(&shifts, 22, "H1'");
  ObservedShift again = first;
  shifts.push_back(again);  // same value
  again.value = first.value + 1;
  shifts.push_back(again);
  ObservedShift unpredicted = again;
  unpredicted.atom = "H9";
  shifts.push_back(unpredicted);
  shifts.push_back(unpredicted);
  const AssignmentCheck check = check_assignment(index, shifts, ResidueMapping(), kLevel);
  EXPECT_EQ(check.atoms.size(), listed);
  EXPECT_EQ(check.unmatched, 4u);
  ASSERT_EQ(check.differing_repeats.size(), 1u);
  EXPECT_EQ(check.differing_repeats[0], differing_repeat_text(first, again));
}

// Where two chains of a shift file name one residue, the first shift placed
// there gives the number the outputs show beside the residue's own.
TEST(AssignmentCheckTest, TheFirstShiftOfAResidueGivesItsNumber) {
  const PredictionIndex index(predict(dot_bracket(kHairpinSequence, kHairpinPairs)));
  std::vector<ObservedShift> shifts = {{"A", 5, "C", "H1'", index.find(4, "H1'")->mean, 1},
                                       {"B", 7, "C", "H6", index.find(4, "H6")->mean, 2}};
  ResidueMapping mapping;
  ASSERT_TRUE(parse_shift_offsets("A:0,B:-2", &mapping.offsets));
  AssignmentCheck check = check_assignment(index, shifts, mapping, kLevel);
  ASSERT_EQ(check.atoms.size(), 2u);
  EXPECT_EQ(check.atoms[1].shift_residue, "B:7");
  EXPECT_EQ(residue_name(index, &check, 4), "C5");
  std::swap(shifts[0], shifts[1]);
  check = check_assignment(index, shifts, mapping, kLevel);
  EXPECT_EQ(residue_name(index, &check, 4), "C5 (B:7 in the shift file)");
}

// Shifts predicted from one structure rank it above the same sequence with
// a helix removed, even with one wild shift in them (the heavy tail).
TEST(StructureRankingTest, TrueStructureFirstDespiteOneWildShift) {
  const Structure truth = dot_bracket(kHairpinSequence, kHairpinPairs);
  const Structure no_helix = dot_bracket(kHairpinSequence, "((((((....))))))..............");
  const Structure slipped = dot_bracket(kHairpinSequence, "((((((....)))))).((((....)))).");
  const std::vector<PredictionIndex> indexes = {PredictionIndex(predict(no_helix)),
                                                PredictionIndex(predict(truth)),
                                                PredictionIndex(predict(slipped))};
  std::vector<ObservedShift> shifts = shifts_at_predictions(indexes[1]);
  ObservedShift* wild = find_shift(&shifts, 22, "C1'");
  ASSERT_NE(wild, nullptr);
  wild->value += 30;  // a typing error in the list
  std::vector<AssignmentCheck> checks;
  checks.reserve(indexes.size());
  for (const PredictionIndex& index : indexes) {
    checks.push_back(check_assignment(index, shifts, ResidueMapping(), kLevel));
  }
  const StructureRanking ranking = rank_structures(checks);
  ASSERT_EQ(ranking.order.size(), 3u);
  EXPECT_EQ(ranking.order[0].structure, 1u);
  EXPECT_DOUBLE_EQ(ranking.order[0].difference, 0);
  EXPECT_LT(ranking.order[1].difference, 0);
  EXPECT_GT(ranking.atoms, 100u);
  ASSERT_FALSE(ranking.discriminating.empty());
  EXPECT_GT(ranking.discriminating.front().difference, 0);
  // The heavy tail: one shift 30 ppm off costs a bounded amount, far less
  // than a normal density would charge.
  const double spread = 1;
  EXPECT_GT(fit_log_density(30, spread) - fit_log_density(0, spread), -20);
}

// The log density of the ranking, written out: Student t with 4 degrees of
// freedom, log(3/8) - 5/2 log(1 + z^2/4) - log(spread).
double t4_log_density(double z, double spread) {
  return std::log(3.0 / 8) - 2.5 * std::log1p(z * z / 4) - std::log(spread);
}

ComparedAtom scored(size_t position, double corrected, double mean, double spread) {
  ComparedAtom atom;
  atom.position = position;
  atom.atom = "H1'";
  atom.corrected = corrected;
  atom.predicted.mean = mean;
  atom.spread = spread;
  return atom;
}

// Each structure's atoms are judged with one spread per atom, the geometric
// mean of the structures' spreads, over the atoms every structure has a z
// for.
TEST(StructureRankingTest, SharedSpreadOverCommonAtoms) {
  std::vector<AssignmentCheck> checks(2);
  // Residue 1: the same mean, spreads 0.1 and 0.4 (shared 0.2); residue 2:
  // means 6.0 and 6.5, spread 0.2; residue 3 has a z in the first only.
  checks[0].atoms = {scored(0, 5.3, 5.0, 0.1), scored(1, 6.05, 6.0, 0.2), scored(2, 7, 7, 0.3)};
  checks[1].atoms = {scored(0, 5.3, 5.0, 0.4), scored(1, 6.05, 6.5, 0.2), scored(2, 7, 7, 0)};
  const StructureRanking ranking = rank_structures(checks);
  EXPECT_EQ(ranking.atoms, 2u);
  const double first = t4_log_density(1.5, 0.2) + t4_log_density(0.25, 0.2);
  const double second = t4_log_density(1.5, 0.2) + t4_log_density(-2.25, 0.2);
  ASSERT_EQ(ranking.order.size(), 2u);
  EXPECT_EQ(ranking.order[0].structure, 0u);
  EXPECT_NEAR(ranking.order[0].log_likelihood, first, 1e-9);
  EXPECT_NEAR(ranking.order[1].log_likelihood, second, 1e-9);
  EXPECT_NEAR(ranking.order[1].difference, second - first, 1e-9);
}

// The residues that discriminate most come by the size of their share of
// the difference, whichever structure they favour; a residue that favours
// none is not named.
TEST(StructureRankingTest, DiscriminatingResiduesByMagnitude) {
  std::vector<AssignmentCheck> checks(2);
  // z of each residue in the first and the second structure, spread 1.
  const double z[][2] = {{0, 3}, {4, 0}, {0, 2}, {1, 1}};
  for (size_t i = 0; i < std::size(z); ++i) {
    checks[0].atoms.push_back(scored(i, z[i][0], 0, 1));
    checks[1].atoms.push_back(scored(i, z[i][1], 0, 1));
  }
  const StructureRanking ranking = rank_structures(checks);
  ASSERT_EQ(ranking.order[0].structure, 0u);
  ASSERT_EQ(ranking.discriminating.size(), 3u);
  const size_t expected[] = {1, 0, 2};
  for (size_t i = 0; i < 3; ++i) {
    const size_t r = expected[i];
    EXPECT_EQ(ranking.discriminating[i].position, r);
    EXPECT_NEAR(ranking.discriminating[i].difference,
                t4_log_density(z[r][0], 1) - t4_log_density(z[r][1], 1), 1e-9);
  }
}

// z keeps its decimals up to a magnitude of 999, then three significant
// digits, wherever it is printed.
TEST(CheckReportTest, ZIsShortWhenHuge) {
  struct Case {
    double z;
    int decimals;
    bool sign;
    const char* text;
  } const cases[] = {
      {0.484, 2, false, "0.48"},         {-12.345, 1, true, "-12.3"},
      {999, 2, false, "999.00"},         {-999, 1, true, "-999.0"},
      {999.5, 2, false, "1e+03"},        {-1000, 1, true, "-1e+03"},
      {3.43e300, 2, false, "3.43e+300"}, {3.43e300, 1, true, "+3.43e+300"},
      {HUGE_VAL, 2, false, "inf"},       {2.5, 1, true, "+2.5"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(format_z(c.z, c.decimals, c.sign), c.text) << c.z << " " << c.decimals;
  }
}

}  // namespace
}  // namespace mirelon
