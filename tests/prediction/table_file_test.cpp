#include "prediction/table_file.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace mirelon {
namespace {

// The files that exist in a pretended file system.
std::set<std::string> existing;
bool exists(const char* path) { return existing.count(path) > 0; }

TEST(ShippedTable, FoundBesideTheProgramsFolderThenInsideIt) {
  struct Case {
    std::set<std::string> files;
    const char* folder;
    const char* expected;
  };
  const Case cases[] = {
      // installed: PREFIX/bin/mirelon and PREFIX/share/mirelon/statfile.tab
      {{"/opt/x/bin/../share/mirelon/statfile.tab"},
       "/opt/x/bin",
       "/opt/x/bin/../share/mirelon/statfile.tab"},
      // a build folder, into which the build copies the table
      {{"/b/share/mirelon/statfile.tab"}, "/b", "/b/share/mirelon/statfile.tab"},
      // both: the installed place wins
      {{"/b/../share/mirelon/statfile.tab", "/b/share/mirelon/statfile.tab"},
       "/b",
       "/b/../share/mirelon/statfile.tab"},
      // a table of another name, or none: not found
      {{"/b/share/mirelon/other.tab"}, "/b", ""},
      {{}, "/b", ""},
      // the program's folder is unknown (no /proc): never the working directory's table
      {{"/share/mirelon/statfile.tab", "share/mirelon/statfile.tab"}, "", ""},
  };
  for (const Case& c : cases) {
    existing = c.files;
    EXPECT_EQ(find_shipped_table(c.folder, exists), c.expected) << c.folder;
  }
}

TEST(ShippedTable, IsNamedWithoutAPath) {
  EXPECT_EQ(shipped_table_name(), "statfile.tab (shipped with mirelon 1.1)");
}

}  // namespace
}  // namespace mirelon
