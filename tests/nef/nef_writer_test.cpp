#include "nef/nef_writer.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "common/files.h"
#include "common/messages.h"
#include "common/nucleotides.h"
#include "common/numbers.h"
#include "common/prediction_levels.h"
#include "common/text.h"
#include "nef/nef_dictionary.h"
#include "nef/nef_test_support.h"
#include "nef/star_tree.h"
#include "prediction/table_file.h"
#include "program_run.h"
#include "shifts/shift_data.h"

namespace mirelon {
namespace {

const std::string kNefFolder = std::string(MIRELON_SHARED_DATA) + "/formats/nef";

TEST(NefNamesTest, ChainCodesNamesAndDates) {
  EXPECT_EQ(chain_code(0), "A");
  EXPECT_EQ(chain_code(25), "Z");
  EXPECT_EQ(chain_code(26), "AA");
  EXPECT_EQ(chain_code(27), "AB");
  EXPECT_EQ(chain_code(26 + 26 * 26), "AAA");
  EXPECT_EQ(nef_name_fault("my_rna-2.1"), "");
  EXPECT_EQ(nef_name_fault("!rna~2"), "");  // the ends of printable ASCII
  EXPECT_NE(nef_name_fault(""), "");
  EXPECT_NE(nef_name_fault("my rna"), "");
  EXPECT_NE(nef_name_fault("rna\x7f"), "");
  EXPECT_NE(nef_name_fault("rna#1"), "");
  EXPECT_NE(nef_name_fault("it's"), "");
  EXPECT_EQ(nef_safe_name("my rna's #1"), "my_rna_s__1");
  EXPECT_EQ(nef_safe_name("!rna~2\x7f"), "!rna~2_");
  EXPECT_EQ(nef_safe_name(""), "rna");
  std::string date;
  ASSERT_TRUE(format_creation_date(0, &date));
  EXPECT_EQ(date, "1970-01-01T00:00:00");
  ASSERT_TRUE(format_creation_date(1796601600, &date));
  EXPECT_EQ(date, "2026-12-07T00:00:00");
  // Every date as gmtime gives it, past 2038 too (the browser page's time_t
  // ends there), and none whose year does not fit an int.
  for (const int64_t epoch :
       {int64_t{86399}, int64_t{951782400}, int64_t{951868799}, int64_t{2147483647},
        int64_t{2147483648}, int64_t{4107542400}, int64_t{253402300799}, int64_t{253402300800},
        int64_t{67767976233316800}, int64_t{67768036191676799}, int64_t{67768036191676800},
        std::numeric_limits<int64_t>::max()}) {
    const std::time_t seconds = static_cast<std::time_t>(epoch);
    std::tm utc{};
    char expected[64] = "";
    const bool representable =
        gmtime_r(&seconds, &utc) != nullptr &&
        utc.tm_year <= std::numeric_limits<int>::max() - 1900 &&
        std::strftime(expected, sizeof expected, "%Y-%m-%dT%H:%M:%S", &utc) != 0;
    EXPECT_EQ(format_creation_date(epoch, &date), representable) << epoch;
    if (representable) {
      EXPECT_EQ(date, expected) << epoch;
    }
  }
  for (int64_t epoch = 0; epoch < 20000LL * 86400; epoch += 86400 * 7 + 3601) {
    const std::time_t seconds = static_cast<std::time_t>(epoch);
    std::tm utc{};
    char expected[64];
    gmtime_r(&seconds, &utc);
    std::strftime(expected, sizeof expected, "%Y-%m-%dT%H:%M:%S", &utc);
    ASSERT_TRUE(format_creation_date(epoch, &date));
    ASSERT_EQ(date, expected) << epoch;
  }
  EXPECT_NE(text_hash("a"), text_hash("b"));
}

TEST(NefMolecularSystemTest, ChainsLinkingAndLeftOutNucleotides) {
  std::vector<std::string> warnings;
  const std::string text =
      nef_text(structure_of(kThreeStrands, "three.db"), settings_for("three.db"), &warnings);
  const auto rows = loop_rows(text, "nef_sequence");
  std::vector<std::string> seen;
  seen.reserve(rows.size());
  for (const auto& row : rows) {
    seen.push_back(row.at("chain_code") + row.at("sequence_code") + row.at("residue_name") + " " +
                   row.at("linking"));
  }
  // Position 3 (N) is left out: G 2 no longer links on, so it is a break.
  EXPECT_EQ(seen,
            (std::vector<std::string>{"A1G start", "A2G break", "A4G middle", "A5C middle",
                                      "A6C end", "B7G start", "B8G middle", "B9C middle",
                                      "B10U middle", "B11C middle", "B12C end", "C13A single"}));
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0],
            "Warning: three.db: nucleotides whose base is not A, C, G or U get no residue, no "
            "shifts and no restraints (mirelon-ct -u writes upper-case bases): 3\n");
  EXPECT_EQ(text.rfind("data_nef_test\n", 0), 0u);
  // One nucleotide left is enough to write.
  const auto single =
      loop_rows(nef_text(structure_of("NAN\n...\n"), settings_for("a")), "nef_sequence");
  ASSERT_EQ(single.size(), 1u);
  EXPECT_EQ(single[0].at("linking"), "single");
}

TEST(NefMolecularSystemTest, NaturalNumberingAndItsFaults) {
  const std::string ct = "4 rna\n1 G 0 2 4 19\n2 G 1 3 0 20\n3 A 2 4 0 22\n4 C 3 0 1 23\n";
  NefSettings settings = settings_for("rna.ct");
  settings.natural_numbering = true;
  std::vector<std::string> codes;
  for (const auto& row :
       loop_rows(nef_text(structure_of(ct, "rna.ct"), settings), "nef_sequence")) {
    codes.push_back(row.at("sequence_code"));
  }
  EXPECT_EQ(codes, (std::vector<std::string>{"19", "20", "22", "23"}));

  const std::string repeated = "3 rna\n1 G 0 2 0 5\n2 G 1 3 0 6\n3 A 2 0 0 5\n";
  EXPECT_EQ(nef_error(structure_of(repeated, "rna.ct"), settings),
            "rna.ct: nucleotide 3: sequence code 5 repeats in chain A\n");
  const std::string word = "2 rna\n1 G 0 2 0 5\n2 G 1 0 0 6a\n";
  EXPECT_EQ(nef_error(structure_of(word, "rna.ct"), settings),
            "rna.ct: nucleotide 2: column 6 '6a' is no whole number, so -N cannot use it\n");
  settings.input_name = "rna.db";
  EXPECT_EQ(nef_error(structure_of("GGAC\n(..)\n"), settings),
            "rna.db: -N takes the sequence codes from CT column 6, and this is no CT file\n");
  // The same code in two strands is no repeat: chains are apart.
  const std::string two = "2 rna\n1 G 0 0 2 1\n2 C 0 0 1 1\n";
  settings.input_name = "rna.ct";
  EXPECT_EQ(loop_rows(nef_text(structure_of(two, "rna.ct"), settings), "nef_sequence").size(), 2u);
  EXPECT_EQ(nef_error(structure_of("Nn\n..\n"), settings_for("rna.db")),
            "rna.db: no nucleotide is A, C, G or U: there is nothing to write\n");
}

TEST(NefShiftListTest, ASecondPredictionOfAnAtomIsLeftOutWithAWarning) {
  const Structure structure = structure_of("GGGAAACCC\n(((...)))\n");
  const NefSettings settings = settings_for("rna.db");
  StructurePrediction prediction;
  std::string error;
  ASSERT_TRUE(predict_structure_shifts(structure, shipped_table(), 2, &prediction, &error));
  const size_t atoms = prediction.entries.size();
  ShiftEntry again = prediction.entries[0];
  again.number = atoms + 1;
  again.mean_shift = "9.9999";
  prediction.entries.push_back(again);
  std::string text;
  std::vector<std::string> warnings;
  ASSERT_TRUE(build_nef(structure, prediction, settings, &text, &warnings, &error)) << error;
  const auto rows = loop_rows(text, "nef_chemical_shift");
  EXPECT_EQ(rows.size(), atoms);
  EXPECT_NE(rows[0].at("value"), "9.9999");
  EXPECT_EQ(warnings, std::vector<std::string>{format_message(
                          "Warning: %s: a second prediction for atom %s of residue 1 (entry %zu) "
                          "is left out\n",
                          kTablePath.c_str(), again.atom.c_str(), atoms + 1)});
}

// The shared CT files, with their pseudoknots, linkers and other bases, and
// made-up structures of several strands.
std::vector<std::pair<std::string, std::string>> structures_to_check() {
  std::vector<std::pair<std::string, std::string>> inputs = {
      {"three.db", kThreeStrands},
      {"knot.db", kPseudoknot},
      {"duplex.db", "GGCACUGC&GCAGUGCCU\n((((((((&)))))))).\n"},
  };
  const std::filesystem::path ct_folder = std::filesystem::path(MIRELON_SHARED_DATA) / "ct";
  if (!std::filesystem::exists(ct_folder)) return inputs;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(ct_folder)) {
    const std::string name = entry.path().string();
    if (!entry.is_regular_file() || name.find("SOURCES") != std::string::npos ||
        name.find("README") != std::string::npos) {
      continue;
    }
    std::string content;
    if (read_input_file(name.c_str(), &content)) inputs.emplace_back(name, content);
  }
  return inputs;
}

std::string first_fault(const std::vector<std::string>& faults) {
  return faults.empty() ? std::string() : faults.front();
}

TEST(NefDictionaryTest, EveryWrittenFileKeepsTheDictionary) {
  NefDictionary dictionary;
  std::string error;
  if (!std::filesystem::exists(kNefFolder)) GTEST_SKIP() << "shared data not found";
  ASSERT_TRUE(load_nef_dictionary(kNefFolder + "/mmcif_nef_v1_1.dic", &dictionary, &error))
      << error;
  ASSERT_TRUE(dictionary.categories.count("nef_chemical_shift"));
  ASSERT_EQ(dictionary.categories.at("nef_sequence").items.at("linking").allowed.size(), 7u);
  size_t checked = 0;
  for (const auto& [name, content] : structures_to_check()) {
    Structure structure;
    if (!parse_structure(content, name, &structure, &error)) continue;  // several structures
    StructurePrediction prediction;
    // The shift list has room for about 740 nucleotides, as "kesta.prot".
    if (!predict_structure_shifts(structure, shipped_table(), 2, &prediction, &error)) continue;
    for (const bool wobble : {false, true}) {
      NefSettings settings = settings_for(name);
      settings.wobble_pairs = wobble;
      settings.natural_numbering =
          !structure.natural_numbers.empty() && name.find("rnastructure") == std::string::npos;
      std::string text;
      std::vector<std::string> warnings;
      if (!build_nef(structure, prediction, settings, &text, &warnings, &error)) {
        settings.natural_numbering = false;
        ASSERT_TRUE(build_nef(structure, prediction, settings, &text, &warnings, &error)) << error;
      }
      const std::vector<std::string> faults = check_nef_file(dictionary, text);
      EXPECT_EQ(first_fault(faults), "") << name << ": " << faults.size() << " faults";
      ++checked;
    }
  }
  EXPECT_GE(checked, 2 * 20u);
}

TEST(NefDictionaryTest, TheCheckFindsFaults) {
  if (!std::filesystem::exists(kNefFolder)) GTEST_SKIP() << "shared data not found";
  NefDictionary dictionary;
  std::string error;
  ASSERT_TRUE(load_nef_dictionary(kNefFolder + "/mmcif_nef_v1_1.dic", &dictionary, &error));
  const std::string good = nef_text(structure_of(kThreeStrands), settings_for("a"));
  const std::vector<std::string> faults = check_nef_file(dictionary, good);
  ASSERT_EQ(first_fault(faults), "");
  struct Case {
    const char* from;
    const char* to;
  } const cases[] = {
      {"single", "lonely"},                                   // outside the enumeration
      {"square-well-parabolic", "square-well"},               // no potential type
      {"_nef_nmr_meta_data.uuid", "_nef_nmr_meta_data.uid"},  // unknown tag, mandatory missing
      {"_nef_chemical_shift.value\n", "_nef_chemical_shift.mirelon_value\n"},
      {"save_nef_molecular_system", "save_nef_molecular_systems"},
  };
  for (const Case& c : cases) {
    std::string bad = good;
    bad.replace(bad.find(c.from), std::string(c.from).size(), c.to);
    EXPECT_FALSE(check_nef_file(dictionary, bad).empty()) << c.from;
  }
}

TEST(NefReaderTest, TheCommentedExampleReads) {
  if (!std::filesystem::exists(kNefFolder)) GTEST_SKIP() << "shared data not found";
  std::string content;
  ASSERT_TRUE(read_input_file((kNefFolder + "/Commented_Example_v1_1.nef").c_str(), &content));
  EXPECT_EQ(detect_shift_format(content), ShiftFormat::kNef);
  std::vector<ObservedShift> shifts;
  std::string error;
  ASSERT_TRUE(parse_shift_file(content, "example.nef", &shifts, &error)) << error;
  // Both lists, 104 rows; the 12 with sequence codes such as 24B, @5 and
  // SS@12 are passed over.
  EXPECT_EQ(shifts.size(), 92u);
  EXPECT_EQ(shifts[0].chain, "A");
  EXPECT_EQ(shifts[0].residue, 14);
  EXPECT_EQ(shifts[0].residue_name, "TRP");
  EXPECT_EQ(shifts[0].atom, "HB2");
  EXPECT_DOUBLE_EQ(shifts[0].value, 3.4);
  std::vector<StarBlock> blocks;
  ASSERT_TRUE(parse_star(content, "example.nef", &blocks, &error)) << error;
  EXPECT_EQ(blocks.at(0).own.name, "nef_my_nmr_project_1");
}

// The residue number mirelon gives position `position` of strand `strand`.
std::string kesta_number(const std::map<std::string, std::string>& row, const std::string& which,
                         const std::map<std::string, size_t>& strand_of_chain) {
  return decimal(std::stol(row.at("sequence_code" + which)) +
                 100 * static_cast<long>(strand_of_chain.at(row.at("chain_code" + which))));
}

TEST(NefRoundTripTest, ShiftsAndWindowsAreThoseOfMirelon) {
  std::vector<std::pair<std::string, std::string>> inputs = {{"three.db", kThreeStrands},
                                                             {"knot.db", kPseudoknot}};
  for (const char* example : {"hairpin/hairpin.ct", "duplex/duplex.ct"}) {
    std::string content;
    if (read_input_file((std::string(MIRELON_EXAMPLES) + "/" + example).c_str(), &content)) {
      inputs.emplace_back(example, content);
    }
  }
  for (const char* shared :
       {"ct/cs2structure/2N7X-2D-ct.txt", "ct/archiveII/srp_Acin.baum._CP000521.ct",
        "ct/rnastructure/testFile_CircleCompare_accepted_bimolecular.ct",
        "ct/archiveII/tmRNA_Acid.caps._TRW-240015_1-352.ct"}) {
    std::string content;
    if (read_input_file((std::string(MIRELON_SHARED_DATA) + "/" + shared).c_str(), &content)) {
      inputs.emplace_back(shared, content);
    }
  }
  ASSERT_GE(inputs.size(), 4u);
  for (const auto& [name, content] : inputs) {
    SCOPED_TRACE(name);
    const Structure structure = structure_of(content, name);
    for (const long level : {2L, 7L}) {
      NefSettings settings = settings_for(name);
      settings.level = level;
      const std::string text = nef_text(structure, settings);
      ProgramRun run;
      ASSERT_TRUE(run.ok());
      run.write("rna.ct", format_structure_ct(structure));
      ASSERT_EQ(run.run("-s rna.ct -f '" + kTablePath + "' -c " + std::to_string(level)), 0)
          << run.file("stdout");
      std::map<std::string, size_t> strand_of_chain;
      for (size_t s = 0; s <= structure.breaks.size(); ++s) strand_of_chain[chain_code(s)] = s;

      // Shifts: our reader's view of the file equals "kesta.prot" line by line.
      std::vector<ObservedShift> shifts;
      std::string error;
      ASSERT_TRUE(parse_shift_file(text, "out.nef", &shifts, &error)) << error;
      const auto rows = loop_rows(text, "nef_chemical_shift");
      ASSERT_EQ(rows.size(), shifts.size());
      const std::string prot_text = run.file("kesta.prot");
      LineReader prot(prot_text);
      std::vector<std::string_view> words;
      size_t k = 0;
      const double quantile = kLevelNormalQuantiles[static_cast<size_t>(level - 1)];
      while (prot.next_words(&words)) {
        ASSERT_LT(k, shifts.size());
        const ObservedShift& shift = shifts[k];
        EXPECT_EQ(table_atom_name(shift.atom), words[3]);
        EXPECT_EQ(decimal(shift.residue + 100 * static_cast<long>(strand_of_chain.at(shift.chain))),
                  words[4]);
        EXPECT_EQ(format_f4(shift.value), words[1]);
        EXPECT_NEAR(std::stod(rows[k].at("value_uncertainty")) * quantile,
                    std::stod(std::string(words[2])), 0.0001 * quantile + 0.00005);
        ++k;
      }
      EXPECT_EQ(k, shifts.size());

      // Dihedrals: one restraint per line of "kesta.aco", in its order.
      const auto dihedrals = loop_rows(text, "nef_dihedral_restraint");
      const std::string aco_text = run.file("kesta.aco");
      LineReader aco(aco_text);
      size_t d = 0;
      while (aco.next_words(&words)) {
        ASSERT_LT(d, dihedrals.size());
        const auto& row = dihedrals[d++];
        // The restrained nucleotide is the one of atom 2 (alpha starts one before).
        EXPECT_EQ(kesta_number(row, "_2", strand_of_chain), words[0]);
        EXPECT_EQ(residue_name(row.at("residue_name_2")), words[1]);
        EXPECT_EQ(row.at("name"), words[2] == "EPSI" ? "EPSILON" : std::string(words[2]));
        const double lower = std::stod(std::string(words[3]));
        double upper = std::stod(std::string(words[4]));
        if (upper < lower) upper += 360;
        EXPECT_DOUBLE_EQ(std::stod(row.at("lower_limit")), lower);
        EXPECT_DOUBLE_EQ(std::stod(row.at("upper_limit")), upper);
      }
      EXPECT_EQ(d, dihedrals.size());
    }
  }
}

}  // namespace
}  // namespace mirelon
