#include "mirelon/translate_wc.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "program_run.h"
#include "structure/structure.h"

namespace mirelon {
namespace {

CtNucleotides structure_of(const std::string& ct) {
  CtNucleotides structure;
  std::string error;
  EXPECT_TRUE(parse_ct_records(ct, "x.ct", &structure.records, &error)) << error;
  structure.residues = build_residues(structure.records);
  return structure;
}

std::string macro_of(const CtNucleotides& structure) {
  return format_hbond_macro(structure.residues,
                            find_helices(structure.records, five_prime_pairs(structure.records)));
}

std::string macro_of(const std::string& ct) { return macro_of(structure_of(ct)); }

// The CT tables of a dot-bracket structure ("&" between strands).
CtNucleotides from_dot_bracket(const std::string& sequence, const std::string& pairs) {
  Structure structure;
  std::string error;
  EXPECT_TRUE(
      parse_structure_dot_bracket(sequence + "\n" + pairs + "\n", "x.db", &structure, &error))
      << error;
  CtNucleotides tables;
  tables.records = to_ct_records(structure);
  tables.residues = build_residues(tables.records);
  return tables;
}

// A helix is a chain of 5' members whose partners descend with nothing
// paired between them and no strand end on either strand.
TEST(HelixTest, OneLinePerMaximalChainOfStackedPairs) {
  struct Case {
    const char* sequence;
    const char* pairs;
    const char* macro;
  } const cases[] = {
      {"GGCAAAAAUGCC", "((((....))))", "hbond watsoncrick=1-4,9-12\n"},
      {"GGGG&CCCC", "((((&))))", "hbond watsoncrick=1-4,105-108\n"},
      // A nicked 3' strand ends the helix at the nick.
      {"GGGGGG&CCC&CCC", "((((((&)))&)))",
       "hbond watsoncrick=1-3,210-212\nhbond watsoncrick=4-6,107-109\n"},
      // Adjacent hairpins, a multiloop, a pseudoknot, a stem with a 3' bulge
      // of a whole helix: the partners do not descend across the junction.
      {"GGAAAAAACCGGAAAAAACC", "((......))((......))",
       "hbond watsoncrick=1-2,9-10\nhbond watsoncrick=11-12,19-20\n"},
      {"GGAAGGAAACCGGAAACCAACC", "((..((...))((...))..))",
       "hbond watsoncrick=1-2,21-22\nhbond watsoncrick=5-6,10-11\n"
       "hbond watsoncrick=12-13,17-18\n"},
      {"GGGAAGGAACCCAACC", "(((..[[..)))..]]",
       "hbond watsoncrick=1-3,10-12\nhbond watsoncrick=6-7,15-16\n"},
      {"GGAGGAAACCCC", "((.((...))))", "hbond watsoncrick=1-2,11-12\nhbond watsoncrick=4-5,9-10\n"},
      // Unpaired records on the 3' strand do not split a helix; on the 5'
      // strand they do, and so does a G-U pair, on either strand.
      {"GGGAAAAAAAAAAAAACACC", "(((.............).))", "hbond watsoncrick=1-3,17-20\n"},
      {"GGAGGAAAACCCC", "((.((....))))",
       "hbond watsoncrick=1-2,12-13\nhbond watsoncrick=4-5,10-11\n"},
      {"GGCAAAAAUGUC", "((((....))))", "hbond watsoncrick=1-1,12-12\nhbond watsoncrick=3-4,9-10\n"},
      // Between the partners of 1 and 2 stands the G-U pair 7-9: paired, if
      // not canonical, so the chain breaks.
      {"GGAAACGAUAC", "((...)(.).)", "hbond watsoncrick=1-1,11-11\nhbond watsoncrick=2-2,6-6\n"},
      {"GAAAAAAAAU", "..........", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(macro_of(from_dot_bracket(c.sequence, c.pairs)), c.macro) << c.sequence << "\n"
                                                                        << c.pairs;
  }
}

// Pairs that the file does not name consistently belong to no helix and
// split the chain they stand in; nothing outside the tables is read.
TEST(HelixTest, PairsThatAreNotConsistentSplitHelicesAndGetNoLine) {
  struct Case {
    const char* what;
    const char* ct;
    const char* macro;
  } const cases[] = {
      // 1-8 2-7 3-6 stem, but 6 names 4 instead of 3: 3 is left out.
      {"not named back",
       "8 h\n1 G 0 2 8 1\n2 G 1 3 7 2\n3 G 2 4 6 3\n4 A 3 5 0 4\n5 A 4 6 0 5\n"
       "6 C 5 7 4 6\n7 C 6 8 2 7\n8 C 7 0 1 8\n",
       "hbond watsoncrick=1-2,7-8\n"},
      // The same with 2 unusable: the chain 1, 3 is no chain.
      {"unusable record in the middle",
       "8 h\n1 G 0 2 8 1\n2 G 1 3 7 2\n3 G 2 4 6 3\n4 A 3 5 0 4\n5 A 4 6 0 5\n"
       "6 C 5 7 3 6\n7 C 6 8 4 7\n8 C 7 0 1 8\n",
       "hbond watsoncrick=1-1,8-8\nhbond watsoncrick=3-3,6-6\n"},
      // 2 names position 9 of an 8-record file: 1 and 3 stay helices alone.
      {"partner outside",
       "8 h\n1 G 0 2 8 1\n2 G 1 3 9 2\n3 G 2 4 6 3\n4 A 3 5 0 4\n5 A 4 6 0 5\n"
       "6 C 5 7 3 6\n7 C 6 8 0 7\n8 C 7 0 1 8\n",
       "hbond watsoncrick=1-1,8-8\nhbond watsoncrick=3-3,6-6\n"},
      // 1 and 2 both name 8, which names 1.
      {"partner shared",
       "8 h\n1 G 0 2 8 1\n2 G 1 3 8 2\n3 G 2 4 6 3\n4 A 3 5 0 4\n5 A 4 6 0 5\n"
       "6 C 5 7 3 6\n7 A 6 8 0 7\n8 C 7 0 1 8\n",
       "hbond watsoncrick=3-3,6-6\n"},
      // 1-8 2-7 stem, and 4 names 1 too: the pair of 1 is left out as well.
      {"5' member named twice",
       "8 h\n1 G 0 2 8 1\n2 G 1 3 7 2\n3 A 2 4 0 3\n4 A 3 5 1 4\n5 A 4 6 0 5\n"
       "6 A 5 7 0 6\n7 C 6 8 2 7\n8 C 7 0 1 8\n",
       "hbond watsoncrick=2-2,7-7\n"},
      // The residue numbers are the records' own, whatever column 1 says.
      {"index of a later record",
       "h\n1 A 0 2 0 1\n5 G 1 3 6 2\n6 A 2 4 0 3\n7 A 3 5 0 4\n8 A 4 6 0 5\n9 C 5 0 2 6\n",
       "hbond watsoncrick=5-5,9-9\n"},
      {"3' side only", "h\n1 G 0 2 0 1\n2 A 1 3 0 2\n3 A 2 4 0 3\n4 C 3 0 1 4\n", ""},
      // Column 1 equal to column 5 on the G of a G-C pair: no 5' pair record.
      {"column 1 equal to column 5", "h\n1 A 0 2 0 1\n3 G 1 3 3 2\n4 C 2 0 2 3\n", ""},
      {"shifted indices", "h\n101 G 0 2 4 1\n102 A 1 3 0 2\n103 A 2 4 0 3\n104 C 3 0 1 4\n", ""},
      // Column 1 below column 5 on both members: each is a 5' pair record.
      {"partner below the record", "h\n-2 C 0 2 3 1\n-1 A 1 3 0 2\n0 G 2 0 1 3\n",
       "hbond watsoncrick=-2--2,0-0\nhbond watsoncrick=0-0,-2--2\n"},
      {"empty file", "", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(macro_of(c.ct), c.macro) << c.what << "\n" << c.ct;
}

// ---- The helix rule as a property of the macro ----

// The rule, written out on the CT columns: record j = i + 1 stacks on
// record i, both usable 5' pair records with partners pi and pj.
bool stacks(const std::vector<CtRecord>& records, size_t i, size_t pi, size_t pj) {
  if (records[i].after == "0" || pj >= pi) return false;
  for (size_t k = pj + 1; k < pi; ++k) {
    if (std::strtol(records[k].partner.c_str(), nullptr, 10) != 0) return false;
  }
  for (size_t k = pj; k < pi; ++k) {
    if (records[k].after == "0") return false;
  }
  return true;
}

// Checks the macro of `structure` against its usable pairs: every line a
// chain that obeys the rule, from the partner of its last 5' member to that
// of its first; every usable pair in exactly one line; lines in file order,
// none that could be joined to the next.
void expect_macro_follows_the_rule(const CtNucleotides& structure, const std::string& what) {
  const std::vector<CtRecord>& records = structure.records;
  std::map<std::string, size_t> position_of;  // residue number -> file position
  for (size_t i = 0; i < structure.residues.size(); ++i) {
    position_of[structure.residues[i].id[kResidueNumber]] = i;
  }
  ASSERT_EQ(position_of.size(), records.size()) << what << ": residue numbers not unique";
  std::map<size_t, size_t> usable;  // 5' member -> partner
  for (const FivePrimePair& pair : five_prime_pairs(records)) {
    if (pair.fault == PairFault::kNone) usable[pair.record] = pair.partner;
  }
  std::istringstream macro(macro_of(structure));
  std::string line;
  std::set<size_t> covered;
  bool have_previous = false;
  size_t previous_last = 0;
  while (std::getline(macro, line)) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(line, m,
                                 std::regex("hbond watsoncrick=(-?\\d+)-(-?\\d+),"
                                            "(-?\\d+)-(-?\\d+)")))
        << what << ": " << line;
    const size_t a = position_of.at(m[1]);
    const size_t b = position_of.at(m[2]);
    ASSERT_LE(a, b) << what << ": " << line;
    for (size_t r = a; r <= b; ++r) {
      ASSERT_EQ(usable.count(r), 1u) << what << ": " << line << " names a record not usable";
      EXPECT_TRUE(covered.insert(r).second) << what << ": pair of " << r << " twice";
      if (r < b) {
        EXPECT_TRUE(stacks(records, r, usable[r], usable[r + 1])) << what << ": " << line;
      }
    }
    EXPECT_EQ(usable[a], position_of.at(m[4])) << what << ": " << line;
    EXPECT_EQ(usable[b], position_of.at(m[3])) << what << ": " << line;
    if (have_previous) {
      EXPECT_LT(previous_last, a) << what << ": lines out of order at " << line;
      EXPECT_FALSE(previous_last + 1 == a && usable.count(previous_last) == 1 &&
                   stacks(records, previous_last, usable[previous_last], usable[a]))
          << what << ": " << line << " could join the line before";
    }
    have_previous = true;
    previous_last = b;
  }
  EXPECT_EQ(covered.size(), usable.size()) << what << ": usable pairs left out";
}

TEST(HelixPropertyTest, EverySharedCtFile) {
  const std::filesystem::path root = MIRELON_SHARED_DATA "/ct";
  if (!std::filesystem::is_directory(root)) GTEST_SKIP() << "no shared data at " << root;
  int files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file() || entry.path().filename().string().rfind("README", 0) == 0 ||
        entry.path().extension() == ".md") {
      continue;
    }
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    CtNucleotides structure;
    std::string error;
    if (!parse_ct_records(content.str(), "x.ct", &structure.records, &error)) continue;
    structure.residues = build_residues(structure.records);
    expect_macro_follows_the_rule(structure, entry.path().string());
    ++files;
  }
  EXPECT_GE(files, 20);
}

// A random well-formed structure: nested stems of random lengths with
// bulges, interior loops and multiloops, then pseudoknot stems between
// unpaired stretches, random strand ends; pairs mostly canonical, some G-U
// and some mismatches.
std::vector<CtRecord> random_structure(std::mt19937* random) {
  auto roll = [random](int n) { return static_cast<int>((*random)() % static_cast<unsigned>(n)); };
  const size_t n = 8 + static_cast<size_t>(roll(150));
  std::vector<long> partner(n, -1);
  std::vector<size_t> open;
  for (size_t i = 0; i < n;) {
    const int action = roll(10);
    if (action < 3) {
      for (int k = 1 + roll(6); k > 0 && i < n; --k) open.push_back(i++);
    } else if (action < 6 && !open.empty()) {
      for (int k = 1 + roll(6); k > 0 && i < n && !open.empty(); --k) {
        partner[i] = static_cast<long>(open.back());
        partner[open.back()] = static_cast<long>(i++);
        open.pop_back();
      }
    } else {
      ++i;
    }
  }
  for (int knots = roll(3); knots > 0; --knots) {  // crossing stems on unpaired records
    std::vector<size_t> free;
    for (size_t i = 0; i < n; ++i) {
      if (partner[i] < 0) free.push_back(i);
    }
    const size_t stem = 1 + static_cast<size_t>(roll(4));
    for (size_t k = 0; k + 1 < free.size() / 2 && k < stem; ++k) {
      const size_t x = free[free.size() / 4 + k];
      const size_t y = free[free.size() - 1 - k];
      if (x < y && partner[x] < 0 && partner[y] < 0) {
        partner[x] = static_cast<long>(y);
        partner[y] = static_cast<long>(x);
      }
    }
  }
  static const char* const kPairs[] = {"GC", "CG", "AU", "UA", "GC", "CG", "AU", "UA", "GU", "AA"};
  std::vector<std::string> base(n);
  for (size_t i = 0; i < n; ++i) {
    if (partner[i] < 0) {
      base[i] = std::string(1, "ACGU"[roll(4)]);
    } else if (static_cast<size_t>(partner[i]) > i) {
      const char* pair = kPairs[roll(10)];
      base[i] = std::string(1, pair[0]);
      base[static_cast<size_t>(partner[i])] = std::string(1, pair[1]);
    }
  }
  std::vector<CtRecord> records;
  bool strand_start = true;
  for (size_t i = 0; i < n; ++i) {
    const bool strand_end = i + 1 == n || roll(25) == 0;
    records.push_back(CtRecord{std::to_string(i + 1), base[i],
                               strand_start ? "0" : std::to_string(i),
                               strand_end ? "0" : std::to_string(i + 2),
                               std::to_string(partner[i] + 1), std::to_string(i + 1)});
    strand_start = strand_end;
  }
  return records;
}

TEST(HelixPropertyTest, GeneratedStructuresWithKnotsMultiloopsBulgesAndStrands) {
  std::mt19937 random(12);
  for (int round = 0; round < 3000; ++round) {
    CtNucleotides structure;
    structure.records = random_structure(&random);
    structure.residues = build_residues(structure.records);
    std::string ct;
    for (const CtRecord& r : structure.records) {
      ct += r.index + " " + r.base + " " + r.before + " " + r.after + " " + r.partner + "\n";
    }
    expect_macro_follows_the_rule(structure,
                                  "generated structure " + std::to_string(round) + ":\n" + ct);
    if (HasFailure()) break;
  }
}

// The capacity test is 2 x H against 10000: it passes every file mirelon
// reads (usable pairs are disjoint, so H is at most 5000) and is kept
// before the macro file is touched.
TEST(HelixTest, HelixCapacityIsTwiceTheHelixCountAgainstTenThousand) {
  std::string error;
  EXPECT_TRUE(check_helix_capacity(5000, &error));
  EXPECT_FALSE(check_helix_capacity(5001, &error));
  EXPECT_EQ(error, "Error: String array size 10002 larger than maximum 10000.\n");

  // 5000 one-pair helices in 10000 nucleotides: each G pairs the C after it.
  std::string ct = "h\n";
  for (int i = 1; i <= 10000; i += 2) {
    ct += std::to_string(i) + " G 0 0 " + std::to_string(i + 1) + " 1\n" + std::to_string(i + 1) +
          " C 0 0 " + std::to_string(i) + " 1\n";
  }
  const CtNucleotides structure = structure_of(ct);
  EXPECT_EQ(find_helices(structure.records, five_prime_pairs(structure.records)).size(), 5000u);
}

// With -w the sequence and residue-ID files are written twice; on every real
// CT file of the shared collection the run must leave them, the restraints,
// standard output and the exit status exactly as a run without -w does.
TEST(HbondRunTest, MacroRunLeavesEveryOtherOutputAsARunWithout) {
  const std::filesystem::path root = MIRELON_SHARED_DATA "/ct";
  if (!std::filesystem::is_directory(root)) GTEST_SKIP() << "no shared data at " << root;
  int files = 0;
  int macros = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    const std::string name = entry.path().filename().string();
    const std::string extension = entry.path().extension().string();
    if (!entry.is_regular_file() || (extension != ".ct" && extension != ".txt") ||
        name.rfind("README", 0) == 0) {
      continue;
    }
    ++files;
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream ct;
    ct << in.rdbuf();
    ProgramRun plain;
    ProgramRun with_macro;
    ASSERT_TRUE(plain.ok() && with_macro.ok());
    plain.write("rna.ct", ct.str());
    with_macro.write("rna.ct", ct.str());
    const int status = plain.run("");
    EXPECT_EQ(with_macro.run("-w hb.mac"), status) << name;
    for (const char* output : {"stdout", "kesta.seq", "idarrayke.txt", "kesta.aco"}) {
      EXPECT_TRUE(plain.file(output) == with_macro.file(output)) << name << ": " << output;
    }
    // The warnings about the file come once, from the sequence step; the
    // -w run adds the macro's own.
    const std::string warnings = with_macro.file("stderr");
    std::istringstream lines(plain.file("stderr"));
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind("Note: this run stopped after writing", 0) == 0) continue;  // names hb.mac
      const size_t at = warnings.find(line + "\n");
      EXPECT_NE(at, std::string::npos) << name << ": " << line;
      EXPECT_EQ(warnings.find(line + "\n", at + 1), std::string::npos) << name << ": " << line;
    }
    if (with_macro.file("hb.mac") != "(none)") ++macros;
  }
  EXPECT_GE(files, 25);
  EXPECT_GE(macros, 20);
}

}  // namespace
}  // namespace mirelon
