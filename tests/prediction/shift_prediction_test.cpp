#include "prediction/shift_prediction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "common/files.h"
#include "common/numbers.h"
#include "prediction/structure_prediction.h"

namespace mirelon {
namespace {

// A residue-ID record from its residue number and its context key of four
// one-letter bases, each followed by its mark ("0oGwCwAo").
ResidueIdRecord residue(const std::string& number, const std::string& key) {
  ResidueIdRecord record;
  record[kResidueNumber] = number;
  record[kCtIndex] = number;
  for (size_t i = 0; i < key.size(); ++i) record[kBaseTwoBefore + i] = key.substr(i, 1);
  return record;
}

// A table's fields view texts; those of the tables built here live as long
// as the test program.
std::string_view kept(std::string text) {
  static std::deque<std::string> texts;
  return texts.emplace_back(std::move(text));
}

ContextStatRecord context(const std::string& atom, const std::string& key, const std::string& count,
                          const std::string& mean, const std::string& spread) {
  return {kept(atom), "x", kept(key), kept(count), kept(mean), kept(spread)};
}

BaseStatRecord base(const std::string& letter, const std::string& atom, const std::string& mean,
                    const std::string& spread) {
  return {kept(letter), kept(atom), kept(mean), kept(spread)};
}

// `count` multiplier rows in which row r (from 1) holds r * 100 + L for
// level L, so that a spread of 1 shows which row and field were used.
std::vector<MultiplierRow> numbered_rows(size_t count) {
  std::vector<MultiplierRow> rows(count);
  for (size_t r = 1; r <= count; ++r) {
    rows[r - 1][kMultiplierLabel] = kept("row" + decimal(static_cast<int64_t>(r)));
    for (size_t level = 1; level < kMultiplierFieldCount; ++level) {
      rows[r - 1][level] = kept(decimal(static_cast<int64_t>(r * 100 + level)));
    }
  }
  return rows;
}

// The entries as "number mean tolerance atom residue origin" lines.
std::string describe(const std::vector<ShiftEntry>& entries) {
  std::string text;
  for (const ShiftEntry& e : entries) {
    text += decimal(static_cast<int64_t>(e.number)) + " " + e.mean_shift + " " + e.tolerance + " " +
            e.atom + " " + e.residue_number + " " + e.origin + "\n";
  }
  return text;
}

std::string predict_ok(const std::vector<ResidueIdRecord>& residues, const StatTable& table,
                       long level = 2) {
  std::vector<ShiftEntry> entries;
  std::string error;
  EXPECT_TRUE(predict_shifts(residues, table, level, &entries, &error)) << error;
  return describe(entries);
}

std::string predict_error(const std::vector<ResidueIdRecord>& residues, const StatTable& table,
                          long level = 2) {
  std::vector<ShiftEntry> entries;
  std::string error;
  EXPECT_FALSE(predict_shifts(residues, table, level, &entries, &error));
  return error;
}

// The prediction as a plain scan of every record for every residue and of
// every filled slot for the repeat test; predict_shifts() must agree with it.
bool predict_by_scan(const std::vector<ResidueIdRecord>& residues, const StatTable& table,
                     long level, std::vector<ShiftEntry>* entries) {
  auto multiplier = [&](size_t row) {  // row counted from 1
    return row <= table.multipliers.size() ? strtod_text(table.multipliers[row - 1][level]) : 0.0;
  };
  auto create = [&](std::string_view mean, std::string_view spread, size_t row,
                    std::string_view atom, const std::string& number, char origin) {
    entries->push_back({entries->size() + 1, std::string(mean),
                        format_g6(multiplier(row) * strtod_text(spread)), std::string(atom), number,
                        origin});
  };
  for (const ResidueIdRecord& r : residues) {
    const std::string key = context_key(r);
    const std::string& b = r[kOwnBase];
    const bool known = b == "A" || b == "C" || b == "G" || b == "U";
    for (const ContextStatRecord& record : table.context) {
      if (record[kContextKey] != key) continue;
      const long n = strtol10(record[kContextCount]);
      if (n < 2) continue;
      if (!known) return false;
      for (std::string_view name : atom_catalogue(b)) {
        if (name == record[kContextAtom]) {
          create(record[kContextMean], record[kContextSpread], n > 121 ? 121 : n - 1, name,
                 r[kResidueNumber], 's');
        }
      }
    }
    if (!known) continue;
    for (const BaseStatRecord& record : table.base) {
      if (record[kBaseLetter] != b) continue;
      for (std::string_view name : atom_catalogue(b)) {
        if (name != record[kBaseAtom]) continue;
        const bool repeat = std::any_of(entries->begin(), entries->end(), [&](const ShiftEntry& e) {
          return e.atom == name && e.residue_number == r[kResidueNumber];
        });
        if (!repeat)
          create(record[kBaseMean], record[kBaseSpread], 121, name, r[kResidueNumber], 'o');
      }
    }
  }
  return true;
}

TEST(ShiftPredictionTest, AgreesWithAScanOfEveryRecordOnRandomTables) {
  std::mt19937 random(3);
  auto pick = [&](const std::vector<std::string>& words) { return words[random() % words.size()]; };
  const std::vector<std::string> bases = {"A", "C", "G", "U", "A", "G", "C", "U",
                                          "A", "G", "C", "U", "A", "G", "T", "a"};
  const std::vector<std::string> marks = {"w", "o"};
  const std::vector<std::string> atoms = {"H8", "H6", "H5", "H2", "H1'", "P", "N1", "C8", "XX"};
  const std::vector<std::string> counts = {"0", "1", "2", "3", "12", "121", "122", "x", "-1"};
  const std::vector<std::string> numbers = {"1", "2", "3", "4", "104", "105"};
  int compared = 0;
  int errors_seen = 0;
  for (int round = 0; round < 600; ++round) {
    std::vector<ResidueIdRecord> residues(1 + random() % 12);
    for (ResidueIdRecord& r : residues) {
      r[kResidueNumber] = pick(numbers);
      for (size_t f = kBaseTwoBefore; f <= kMarkAfter; f += 2) {
        r[f] = f == kOwnBase ? pick(bases) : pick({"A", "G", "0"});
        r[f + 1] = pick(marks);
      }
    }
    StatTable table;
    table.multipliers = numbered_rows(random() % 2 == 0 ? 121 : random() % 130);
    for (auto i = static_cast<int64_t>(random() % 30); i > 0; --i) {
      const ResidueIdRecord& r = residues[random() % residues.size()];
      table.context.push_back(context(pick(atoms), random() % 5 == 0 ? "other" : context_key(r),
                                      pick(counts), decimal(i), "0.5"));
    }
    for (auto i = static_cast<int64_t>(random() % 30); i > 0; --i) {
      table.base.push_back(base(pick(bases), pick(atoms), decimal(100 + i), "0.25"));
    }
    const long level = 1 + static_cast<long>(random() % 11);
    std::vector<ShiftEntry> expected;
    const bool expected_ok = predict_by_scan(residues, table, level, &expected);
    std::vector<ShiftEntry> actual;
    std::string error;
    ASSERT_EQ(predict_shifts(residues, table, level, &actual, &error), expected_ok) << round;
    if (!expected_ok) {
      EXPECT_EQ(error, "Unknown Residue type!");
      ++errors_seen;
      continue;
    }
    ASSERT_EQ(describe(actual), describe(expected)) << "round " << round;
    compared += static_cast<int>(actual.size());
  }
  // The rounds made real work and met the stop too.
  EXPECT_GT(compared, 2000);
  EXPECT_GT(errors_seen, 50);
}

TEST(ShiftPredictionTest, WorkedExample) {
  StatTable table;
  table.context = {context("H6", "0oGwCwAo", "12", "7.85", "0.20")};
  table.base = {base("C", "H6", "7.9", "0.3"), base("C", "H5", "5.6", "0.25")};
  table.multipliers = std::vector<MultiplierRow>(121);
  for (MultiplierRow& row : table.multipliers) row.fill("1");
  table.multipliers[10][2] = "0.9";
  table.multipliers[120][2] = "0.8";
  const ResidueIdRecord record = {"2", "2", "0", "o", "G", "w", "C", "w", "A", "o"};
  EXPECT_EQ(context_key(record), "0oGwCwAo");
  EXPECT_EQ(predict_ok({record}, table),
            "1 7.85 0.18 H6 2 s\n"
            "2 5.6 0.2 H5 2 o\n");
}

TEST(ShiftPredictionTest, ContextEntriesFollowTableOrderThenBaseEntriesByFirstRecord) {
  StatTable table;
  table.multipliers = numbered_rows(121);
  table.context = {
      context("C8", "0oAoAoAo", "2", "140", "1"),  // order of the table, not of the catalogue
      context("H8", "0oAoAoAo", "2", "8.0", "1"),
      context("H6", "0oAoAoAo", "2", "7.7", "1"),  // not an adenine atom: nothing
      context("H8", "other", "2", "9.9", "1"),     // another key: nothing
      context("H8", "0oAoAoAo", "2", "8.1", "1"),  // no repeat test here: a second entry
  };
  table.base = {
      base("A", "P", "-4", "1"),   base("A", "H8", "7.0", "1"),  // H8 has its context entry
      base("A", "H2", "7.6", "1"), base("A", "P", "-5", "1"),    // a second P: nothing
      base("G", "H1", "12", "1"),  base("A", "XX", "1", "1"),    // other base, unknown atom
      base("a", "H2", "1", "1"),
  };
  EXPECT_EQ(predict_ok({residue("1", "0oAoAoAo"), residue("2", "AoAoAoAo")}, table),
            "1 140 102 C8 1 s\n"
            "2 8.0 102 H8 1 s\n"
            "3 8.1 102 H8 1 s\n"
            "4 -4 12102 P 1 o\n"
            "5 7.6 12102 H2 1 o\n"
            // Residue 2 has no context statistics: entry numbers run on.
            "6 -4 12102 P 2 o\n"
            "7 7.0 12102 H8 2 o\n"
            "8 7.6 12102 H2 2 o\n");
}

TEST(ShiftPredictionTest, ResiduesWithTheSameNumberShareTheRepeatTest) {
  StatTable table;
  table.multipliers = numbered_rows(121);
  table.context = {context("H8", "0oAoAoAo", "5", "8.0", "1")};
  table.base = {base("A", "H8", "7.0", "1"), base("A", "H2", "7.6", "1"),
                base("G", "H8", "7.5", "1")};
  // The G of number 7 finds H8 already given to number 7 by the A before it.
  EXPECT_EQ(predict_ok({residue("7", "0oAoAoAo"), residue("7", "AoAoGoAo")}, table),
            "1 8.0 402 H8 7 s\n"
            "2 7.6 12102 H2 7 o\n");
}

TEST(ShiftPredictionTest, ObservationCountSelectsTheMultiplierRow) {
  struct Case {
    const char* count;
    const char* tolerance;  // "" when the record is passed over
  } const cases[] = {
      {"2", "102"},
      {"3", "202"},
      {"12", "1102"},
      {"121", "12002"},
      {"122", "12102"},
      {"5000", "12102"},
      {"99999999999999999999", "12102"},
      {"12abc", "1102"},
      {" +7", "602"},
      {"1", ""},
      {"0", ""},
      {"-3", ""},
      {"abc", ""},
      {"", ""},
  };
  for (const Case& c : cases) {
    StatTable table;
    table.multipliers = numbered_rows(125);  // rows beyond 121 are never used
    table.context = {context("H8", "0oAoAoAo", c.count, "8.0", "1")};
    table.base = {base("A", "H8", "7.0", "1")};
    const std::string expected = *c.tolerance != '\0'
                                     ? std::string("1 8.0 ") + c.tolerance + " H8 1 s\n"
                                     : "1 7.0 12102 H8 1 o\n";  // the base statistics stand in
    EXPECT_EQ(predict_ok({residue("1", "0oAoAoAo")}, table), expected) << "count " << c.count;
  }
}

TEST(ShiftPredictionTest, LevelSelectsTheFieldAndMissingRowsReadAsZero) {
  StatTable table;
  table.multipliers = numbered_rows(121);
  table.context = {context("H8", "0oAoAoAo", "2", "8.0", "1")};
  table.base = {base("A", "H2", "7.6", "1")};
  const std::vector<ResidueIdRecord> residues = {residue("1", "0oAoAoAo")};
  EXPECT_EQ(predict_ok(residues, table, 1), "1 8.0 101 H8 1 s\n2 7.6 12101 H2 1 o\n");
  EXPECT_EQ(predict_ok(residues, table, 11), "1 8.0 111 H8 1 s\n2 7.6 12111 H2 1 o\n");

  // A short multiplier section: the large-count row is missing.
  table.multipliers = numbered_rows(3);
  EXPECT_EQ(predict_ok(residues, table), "1 8.0 102 H8 1 s\n2 7.6 0 H2 1 o\n");
  table.multipliers.clear();
  EXPECT_EQ(predict_ok(residues, table), "1 8.0 0 H8 1 s\n2 7.6 0 H2 1 o\n");

  EXPECT_EQ(predict_error(residues, table, 0), "Invalid prediction level '0': use 1 to 11.\n");
  EXPECT_EQ(predict_error(residues, table, 12), "Invalid prediction level '12': use 1 to 11.\n");
}

TEST(ShiftPredictionTest, ToleranceKeepsSixSignificantDigits) {
  struct Case {
    const char* multiplier;
    const char* spread;
    const char* tolerance;
  } const cases[] = {
      {"1", "123.45678", "123.457"},
      {"1000", "1000", "1e+06"},
      {"0", "0.2", "0"},
      {"0", "-0.2", "-0"},
      {"2", "abc", "0"},
      {"abc", "0.2", "0"},
      {"0.5", "1.2345679", "0.617284"},
      {"1e-3", "0.05", "5e-05"},
      {"-1", "0.25", "-0.25"},
  };
  for (const Case& c : cases) {
    StatTable table;
    table.multipliers = std::vector<MultiplierRow>(121);
    table.multipliers[0][2] = c.multiplier;
    table.context = {context("P", "0oUoUoUo", "2", "-4", c.spread)};
    EXPECT_EQ(predict_ok({residue("1", "0oUoUoUo")}, table),
              std::string("1 -4 ") + c.tolerance + " P 1 s\n")
        << c.multiplier << " x " << c.spread;
  }
}

TEST(ShiftPredictionTest, OtherBasesGetNoEntriesAndStopOnlyOnAContextMatch) {
  StatTable table;
  table.multipliers = numbered_rows(121);
  table.base = {base("A", "H8", "7.0", "1"), base("T", "H6", "7.0", "1")};
  const std::vector<ResidueIdRecord> residues = {residue("1", "0oAoToAo"),
                                                 residue("2", "AoToAo0o")};
  EXPECT_EQ(predict_ok(residues, table), "1 7.0 12102 H8 2 o\n");

  // A record of one observation counts as absent, also here.
  table.context = {context("H6", "0oAoToAo", "1", "7.5", "1")};
  EXPECT_EQ(predict_ok(residues, table), "1 7.0 12102 H8 2 o\n");

  // Whatever its atom, a counted record for the key of a T stops the run.
  table.context = {context("XX", "0oAoToAo", "2", "7.5", "1")};
  EXPECT_EQ(predict_error(residues, table), "Unknown Residue type!");
}

TEST(ShiftPredictionTest, AtMostNineteenThousandNineHundredNinetyNineEntries) {
  StatTable table;
  table.multipliers = numbered_rows(121);
  table.context.assign(kMaxShiftSlots - 1, context("H8", "0oAoAoAo", "2", "8.0", "1"));
  const std::vector<ResidueIdRecord> residues = {residue("1", "0oAoAoAo")};
  std::vector<ShiftEntry> entries;
  std::string error;
  ASSERT_TRUE(predict_shifts(residues, table, 2, &entries, &error)) << error;
  ASSERT_EQ(entries.size(), kMaxShiftSlots - 1);
  EXPECT_EQ(entries.back().number, kMaxShiftSlots - 1);

  // Far beyond the entry bound of one residue (37), and all of them are kept.
  table.base = {base("A", "H2", "7.6", "1")};
  EXPECT_EQ(predict_error(residues, table),
            "Error: String array size 20001 larger than maximum 20000.\n");
  table.base.clear();
  table.context.push_back(table.context.front());
  EXPECT_EQ(predict_error(residues, table),
            "Error: String array size 20001 larger than maximum 20000.\n");
}

TEST(ShiftPredictionTest, EntryBoundChargesEachBaseItsCatalogue) {
  EXPECT_EQ(entry_bound({}), 10);
  EXPECT_EQ(
      entry_bound({residue("1", "0oAoCoGo"), residue("2", "AoCoGoUo"), residue("3", "CoGoUoXo"),
                   residue("4", "GoUoAo0o"), residue("5", "GoUoao0o")}),
      10 + 24 + 27 + 22 + 27 + 30);
  std::vector<ResidueIdRecord> adenines(740, residue("1", "AoAoAoAo"));
  EXPECT_EQ(entry_bound(adenines), 19990);  // the most that fit
  adenines.push_back(adenines.front());
  EXPECT_EQ(entry_bound(adenines), 20017);
}

TEST(ShiftPredictionTest, CatalogueSizesAreTheEntryBoundCharges) {
  EXPECT_EQ(atom_catalogue("A").size(), 27u);
  EXPECT_EQ(atom_catalogue("C").size(), 24u);
  EXPECT_EQ(atom_catalogue("G").size(), 27u);
  EXPECT_EQ(atom_catalogue("U").size(), 22u);
  EXPECT_TRUE(atom_catalogue("a").empty());
}

TEST(ShiftPredictionTest, ExampleTableNamesOnlyCatalogueAtoms) {
  std::string example;
  ASSERT_TRUE(read_input_file(MIRELON_EXAMPLES "/statfile.tab", &example));
  StatTable table;
  std::string error;
  ASSERT_TRUE(parse_stat_table(example, "statfile.tab", &table, &error)) << error;
  EXPECT_FALSE(table.context.empty());
  auto in_catalogue = [](std::string_view base, std::string_view atom) {
    for (std::string_view name : atom_catalogue(base)) {
      if (name == atom) return true;
    }
    return false;
  };
  for (const ContextStatRecord& record : table.context) {
    // Field 2 is the own base, which the key holds third.
    EXPECT_EQ(record[kContextKey].substr(4, 1), record[kContextBase]) << record[kContextKey];
    EXPECT_TRUE(in_catalogue(record[kContextBase], record[kContextAtom])) << record[kContextAtom];
    EXPECT_GE(strtol10(record[kContextCount]), 2);
  }
  for (const BaseStatRecord& record : table.base) {
    EXPECT_TRUE(in_catalogue(record[kBaseLetter], record[kBaseAtom])) << record[kBaseAtom];
  }
}

// Unpaired nucleotides of `bases`, one strand.
Structure unpaired(const std::string& bases) {
  Structure structure;
  for (char letter : bases) structure.bases.emplace_back(1, letter);
  structure.partners.resize(bases.size());
  return structure;
}

TEST(StructurePredictionTest, TooManyEntriesAreToldAsTheRnaNeedsThem) {
  const std::string fits =
      "the 19999 the shift list holds (740 nucleotides always fit, up to about 900 depending on "
      "composition)";
  // Beyond the bound the RNA is too large; within it the table repeats records.
  const struct {
    size_t nucleotides;
    long long bound;
    std::string message;
  } cases[] = {
      {741, 20001,
       "the RNA of 741 nucleotides needs up to 20001 shift entries, more than " + fits +
           ": predict shifts for a smaller construct or a domain.\n"},
      {1, 20000,
       "the statistics table gives the RNA of 1 nucleotide more shift entries than " + fits +
           ", although it needs at most 20000, so the table repeats records: check the table.\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(shift_capacity_message(c.nucleotides, c.bound), c.message) << c.bound;
  }

  // The prediction of a structure tells it so, with the structure's bound.
  StatTable table;
  table.multipliers = numbered_rows(121);
  for (std::string_view atom : atom_catalogue("A")) {
    table.base.push_back(base("A", std::string(atom), "7.0", "1"));
  }
  StructurePrediction prediction;
  std::string error;
  EXPECT_FALSE(
      predict_structure_shifts(unpaired(std::string(1000, 'A')), table, 2, &prediction, &error));
  EXPECT_EQ(error, shift_capacity_message(1000, 27010));
  table.base.clear();
  table.context.assign(kMaxShiftSlots, context("H8", "0o0oAo0o", "2", "8.0", "1"));
  EXPECT_FALSE(predict_structure_shifts(unpaired("A"), table, 2, &prediction, &error));
  EXPECT_EQ(error, shift_capacity_message(1, 37));
}

}  // namespace
}  // namespace mirelon
