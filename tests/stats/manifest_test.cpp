#include "stats/manifest.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace mirelon {
namespace {

TEST(ManifestTest, EntriesOffsetsAndPaths) {
  std::vector<ManifestEntry> entries;
  std::string error;
  ASSERT_TRUE(
      parse_manifest("# name structure shifts offset\n\n1ABC a.db s/1abc.dat\n"
                     "2XYZ /abs/x.ct x.str -15\nDUP d.bpseq d.str 1:0,2:12\n",
                     "data/set/list.txt", &entries, &error))
      << error;
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].structure_file, "data/set/a.db");
  EXPECT_EQ(entries[0].shift_file, "data/set/s/1abc.dat");
  EXPECT_EQ(entries[0].offsets.position("", 5), 5);
  EXPECT_EQ(entries[1].structure_file, "/abs/x.ct");
  EXPECT_EQ(entries[1].offsets.position("", 16), 1);
  EXPECT_EQ(entries[1].offsets.position("2", 16), 1);  // one offset serves every chain
  EXPECT_EQ(entries[2].offsets.position("1", 3), 3);
  EXPECT_EQ(entries[2].offsets.position("2", 3), 15);
  EXPECT_EQ(entries[2].offsets.position("3", 3), std::nullopt);
  EXPECT_EQ(entries[2].line, 5);

  entries.clear();
  ASSERT_TRUE(parse_manifest("A a.ct a.dat\n", "list.txt", &entries, &error));
  EXPECT_EQ(entries[0].structure_file, "a.ct");

  const std::pair<const char*, const char*> bad[] = {
      {"A a.ct\n", "m:1: has 2 words instead of NAME STRUCTURE SHIFTS [OFFSETS]"},
      {"A a.ct a.dat 1 2\n", "m:1: has 5 words instead of NAME STRUCTURE SHIFTS [OFFSETS]"},
      {"A a.ct a.dat x\n", "m:1: offsets 'x' are neither a whole number nor CHAIN:N pairs"},
      {"A a.ct a.dat 1:2,\n", "m:1: offsets '1:2,' are neither a whole number nor CHAIN:N pairs"},
      {"A a.ct a.dat 1:2,1:3\n",
       "m:1: offsets '1:2,1:3' are neither a whole number nor CHAIN:N pairs"},
      {"A a.ct a.dat\n#\nA b.ct b.dat\n", "m:3: entry name A is used twice"},
  };
  for (const auto& [content, message] : bad) {
    entries.clear();
    EXPECT_FALSE(parse_manifest(content, "m", &entries, &error)) << content;
    EXPECT_EQ(error, message);
  }
}

}  // namespace
}  // namespace mirelon
