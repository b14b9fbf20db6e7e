#include "prediction/table_file.h"

#include <sys/stat.h>

#include "common/files.h"

namespace mirelon {

namespace {

constexpr const char* kWorkingDirectoryTable = "statfile.tab";

bool is_regular_file(const char* path) {
  struct stat info;
  return stat(path, &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

std::string default_table_path() {
  for (const char* path : {kWorkingDirectoryTable, MIRELON_INSTALLED_TABLE}) {
    if (is_regular_file(path)) return path;
  }
  return MIRELON_SOURCE_TABLE;
}

bool load_stat_table(const std::string& path, StatTable* table, std::string* error) {
  std::string content;
  if (!read_input_file(path.c_str(), &content)) {
    *error = "Unable to open statistics table: " + path + "\n";
    return false;
  }
  return parse_stat_table(content, path.c_str(), table, error);
}

}  // namespace mirelon
