// The structure formats on the real files of the shared collection.
#include <dirent.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/files.h"
#include "mirelon/ct_tables.h"
#include "mirelon/translate_seq.h"
#include "structure/residue_ids.h"
#include "structure/structure.h"

namespace mirelon {
namespace {

const std::string kData = MIRELON_SHARED_DATA;

std::string read_data(const std::string& relative) {
  std::string content;
  EXPECT_TRUE(read_input_file((kData + "/" + relative).c_str(), &content)) << relative;
  return content;
}

Structure parse_data(const std::string& relative) {
  Structure structure;
  std::string error;
  EXPECT_TRUE(parse_structure(read_data(relative), relative, &structure, &error)) << error;
  return structure;
}

// Sequence, pairs and strand breaks: what every format holds.
void expect_same_structure(const Structure& expected, const Structure& actual,
                           const std::string& label) {
  EXPECT_EQ(expected.bases, actual.bases) << label;
  EXPECT_EQ(expected.partners, actual.partners) << label;
  EXPECT_EQ(expected.breaks, actual.breaks) << label;
}

std::vector<std::string> files_in(const std::string& relative_dir) {
  std::vector<std::string> names;
  DIR* dir = opendir((kData + "/" + relative_dir).c_str());
  if (dir == nullptr) return names;
  while (dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name[0] != '.' && name != "SOURCES.md" && name.rfind("README", 0) != 0) {
      names.push_back((relative_dir + '/').append(name));
    }
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

std::string residue_ids_of(const std::vector<CtRecord>& records) {
  return format_residue_id_lines(residue_id_records(build_residues(records)));
}

// Every single-structure CT file survives CT -> dot-bracket -> CT and
// CT -> BPSEQ -> CT, and the CT file written gives mirelon the same residues
// and the same "kesta.seq" as the original.
TEST(SharedStructureFilesTest, CtFilesRoundTripThroughEveryFormat) {
  int round_trips = 0;
  int multi_structure = 0;
  for (const char* folder : {"archiveII", "rnastructure", "forgi", "cs2structure"}) {
    for (const std::string& file : files_in(std::string("ct/") + folder)) {
      const std::string content = read_data(file);
      Structure original;
      std::string error;
      if (!parse_structure(content, file, &original, &error)) {
        // The only refusal: files holding several structures.
        EXPECT_NE(error.find("more than one structure in this CT file"), std::string::npos)
            << error;
        ++multi_structure;
        continue;
      }
      ++round_trips;

      std::string dot_bracket;
      ASSERT_TRUE(format_structure_dot_bracket(original, &dot_bracket, &error)) << file << error;
      Structure from_dot_bracket;
      ASSERT_TRUE(parse_structure(dot_bracket, "db", &from_dot_bracket, &error)) << file << error;
      expect_same_structure(original, from_dot_bracket, file + " via dot-bracket");
      EXPECT_EQ(from_dot_bracket.name, original.name) << file;

      Structure from_bpseq;
      ASSERT_TRUE(parse_structure(format_structure_bpseq(original), "bpseq", &from_bpseq, &error))
          << file << error;
      expect_same_structure(original, from_bpseq, file + " via BPSEQ");

      const std::string written = format_structure_ct(from_dot_bracket);
      Structure back;
      ASSERT_TRUE(parse_structure(written, "ct", &back, &error)) << file << error;
      expect_same_structure(original, back, file + " via CT");

      std::vector<CtRecord> mirelon_original;
      std::vector<CtRecord> mirelon_written;
      ASSERT_TRUE(parse_ct_records(content, "a", &mirelon_original, &error)) << file << error;
      ASSERT_TRUE(parse_ct_records(format_structure_ct(original), "b", &mirelon_written, &error))
          << error;
      const std::vector<Residue> residues = build_residues(mirelon_written);
      EXPECT_EQ(residue_ids_of(mirelon_original), residue_ids_of(mirelon_written)) << file;
      EXPECT_EQ(format_sequence_file(build_residues(mirelon_original)),
                format_sequence_file(residues))
          << file;
    }
  }
  if (round_trips + multi_structure == 0) GTEST_SKIP() << "no shared data under " << kData;
  EXPECT_EQ(round_trips, 26);
  EXPECT_EQ(multi_structure, 4);
}

TEST(SharedStructureFilesTest, FormatExamplesReadAsTheirCtTwins) {
  if (files_in("formats/bpseq").empty()) GTEST_SKIP() << "no shared data under " << kData;
  // The same RNAs in two formats of the collection.
  const Structure small_bpseq = parse_data("formats/bpseq/example_small.bpseq");
  expect_same_structure(parse_data("ct/forgi/example_small.ct"), small_bpseq, "example_small");
  EXPECT_EQ(small_bpseq.name, "example_small.bpseq");  // from its "Filename:" header

  const Structure trna = parse_data("formats/dotbracket/ct2dot_general_OK.bracket");
  expect_same_structure(parse_data("ct/rnastructure/Fold_minimum_free_energy_option_OK.ct"), trna,
                        "RA7680");
  EXPECT_EQ(trna.name, "ENERGY = -34.8  RA7680");
  EXPECT_EQ(trna.bases[16], "u");  // lower case kept

  // The dot-bracket twin of the first of the 20 structures in the CT file.
  const std::string multi = read_data("ct/rnastructure/bmorivector.ct");
  size_t end = 0;
  for (int line = 0; line < 301; ++line) end = multi.find('\n', end) + 1;
  Structure first;
  std::string error;
  ASSERT_TRUE(parse_structure_ct(multi.substr(0, end), "bmori", &first, &error)) << error;
  const Structure bmori = parse_data("formats/dotbracket/bmorivector.dot");
  expect_same_structure(first, bmori, "bmorivector");
  EXPECT_EQ(bmori.bases[48], "C");
  EXPECT_EQ(bmori.bases[49], "T");  // T and U mixed, as in the file

  const Structure tpp = parse_data("formats/dotbracket/TPP_riboswitch_E.coli.db");
  ASSERT_EQ(tpp.size(), 79u);
  EXPECT_EQ(tpp.name, "");
  EXPECT_EQ(tpp.partners[0], std::optional<size_t>(77));  // G1-U78
  EXPECT_EQ(tpp.partners[78], std::nullopt);
  EXPECT_EQ(tpp.partners[34], std::optional<size_t>(9));  // the lone ")" after "......"

  // Pseudoknotted and plain BPSEQ files, with and without a "#" comment.
  struct Expected {
    const char* file;
    size_t length;
    size_t pairs;
  } const bpseq_files[] = {{"formats/bpseq/1gid.bpseq", 158, 48},
                           {"formats/bpseq/1ymo.bpseq", 47, 15},
                           {"formats/bpseq/bpRNA_PDB_650.bpseq", 71, 29}};
  for (const Expected& expected : bpseq_files) {
    const Structure structure = parse_data(expected.file);
    EXPECT_EQ(structure.size(), expected.length) << expected.file;
    const size_t paired = static_cast<size_t>(
        std::count_if(structure.partners.begin(), structure.partners.end(),
                      [](const std::optional<size_t>& p) { return p.has_value(); }));
    EXPECT_EQ(paired, 2 * expected.pairs) << expected.file;
    // Pseudoknots and all, dot-bracket gives the same pairs back.
    std::string text;
    ASSERT_TRUE(format_structure_dot_bracket(structure, &text, &error)) << error;
    Structure back;
    ASSERT_TRUE(parse_structure(text, "db", &back, &error)) << error;
    expect_same_structure(structure, back, expected.file);
  }
}

}  // namespace
}  // namespace mirelon
