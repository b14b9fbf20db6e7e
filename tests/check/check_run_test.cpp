// mirelon-check's decisions between its checks and its outputs: candidate
// names, the shared sequence, the structure shown, the notes on the ranking
// and on the match, the legend's note on the offsets removed.
#include "check/check_run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mirelon {
namespace {

TEST(CheckRunTest, CandidateNames) {
  EXPECT_EQ(candidate_name("true.db", 0, 1), "true.db");
  EXPECT_EQ(candidate_name("folds.ct", 0, 3), "folds.ct #1");
  EXPECT_EQ(candidate_name("folds.ct", 2, 3), "folds.ct #3");
}

TEST(CheckRunTest, CandidatesMustShareTheSequence) {
  std::vector<Candidate> candidates(3);
  const char* const names[] = {"a.db", "b.db", "c.db"};
  for (size_t i = 0; i < candidates.size(); ++i) {
    candidates[i].name = names[i];
    candidates[i].structure.bases = {"G", "C"};
  }
  std::string error;
  EXPECT_TRUE(same_sequences(candidates, &error));
  candidates[2].structure.bases = {"G", "U"};
  candidates[1].structure.bases = {"G", "C", "A"};
  EXPECT_FALSE(same_sequences(candidates, &error));
  EXPECT_EQ(error, "Structures to rank must have the same sequence: b.db differs from a.db\n");
}

// A ranking of two structures, structure `best` (0 or 1) first.
StructureRanking two_ranked(size_t best, double best_fit, double second_fit) {
  StructureRanking ranking;
  ranking.order = {{best, best_fit, 0}, {1 - best, second_fit, second_fit - best_fit}};
  return ranking;
}

// The structure shown is the best-ranked one, and the first without a
// ranking.
TEST(CheckRunTest, ShownStructure) {
  EXPECT_EQ(shown_structure(StructureRanking()), 0u);
  EXPECT_EQ(shown_structure(two_ranked(1, -10, -20)), 1u);
  StructureRanking three;
  three.order = {{2, -1, 0}, {0, -5, -4}, {1, -9, -8}};
  EXPECT_EQ(shown_structure(three), 2u);
}

// A lead is judged as printed, two decimals: 2.996 reads 3.00 and is clear,
// 2.994 reads 2.99 and is not; exactly 3 is clear.
TEST(CheckRunTest, NarrowLeadNote) {
  const std::vector<std::string> names = {"true.db", "slipped.db"};
  struct Case {
    double best;
    double second;
    const char* note;
  };
  const Case cases[] = {
      {-100, -103, ""},
      {-548.99, -585.38, ""},
      {-10, -12.996, ""},
      {-10, -12.994,
       "Note: slipped.db leads true.db by 2.99 log-likelihood units only (under 3): the observed "
       "shifts hardly tell them apart\n"},
      {-7.5, -7.5,
       "Note: slipped.db leads true.db by 0.00 log-likelihood units only (under 3): the observed "
       "shifts hardly tell them apart\n"},
  };
  for (const Case& c : cases) {
    const StructureRanking ranking = two_ranked(1, c.best, c.second);
    EXPECT_EQ(ranking_note(ranking, names), c.note) << c.best << " " << c.second;
  }
  EXPECT_DOUBLE_EQ(printed_lead(two_ranked(0, -10, -12.996)), 3);
  EXPECT_DOUBLE_EQ(printed_lead(two_ranked(0, -10, -12.994)), 2.99);
}

// Without a ranking, several structures get a note (there were no observed
// shifts), a single one none.
TEST(CheckRunTest, UnrankedNote) {
  EXPECT_EQ(ranking_note(StructureRanking(), {"a.db", "b.db", "c.db"}),
            "Note: 3 structures and no observed shifts to rank them: the outputs show the first, "
            "a.db\n");
  EXPECT_EQ(ranking_note(StructureRanking(), {"a.db"}), "");
}

TEST(CheckRunTest, UnmatchedWarning) {
  AssignmentCheck check;
  EXPECT_EQ(unmatched_warning(check, "shifts.txt", "a.db", false),
            "Warning: shifts.txt holds no observed shift, so there is nothing to check against "
            "a.db\n");
  check.unmatched = 1;
  EXPECT_EQ(
      unmatched_warning(check, "shifts.txt", "a.db", false),
      "Warning: no observed shift of shifts.txt matches a predicted atom of a.db (check -O)\n");
  EXPECT_EQ(unmatched_warning(check, "shifts.txt", "a.ct", true),
            "Warning: no observed shift of shifts.txt matches a predicted atom of a.ct (check -O, "
            "and CT column 6, which -N reads)\n");
  check.atoms.emplace_back();
  EXPECT_EQ(unmatched_warning(check, "shifts.txt", "a.db", false), "");
}

// The note names the applied offsets only, in the order 1H, 13C, 15N.
TEST(CheckRunTest, OffsetsRemovedNote) {
  AssignmentCheck check;
  check.referencing[kProton] = {20, 0.2, 0.1, 0.3, true};
  check.referencing[kCarbon] = {20, -1.774, -1.81, -1.76, false};
  check.referencing[kNitrogen] = {20, -1.6, -1.9, -1.2, true};
  EXPECT_EQ(offsets_removed_note(check),
            "Observed shown with referencing offsets removed: 1H +0.20 ppm, 15N -1.60 ppm");
  check.referencing[kProton].applied = false;
  check.referencing[kCarbon].applied = true;
  check.referencing[kNitrogen].applied = false;
  EXPECT_EQ(offsets_removed_note(check),
            "Observed shown with referencing offsets removed: 13C -1.77 ppm");
  check.referencing[kCarbon].applied = false;
  EXPECT_EQ(offsets_removed_note(check), "");
}

}  // namespace
}  // namespace mirelon
