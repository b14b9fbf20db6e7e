#include "prediction/table_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>

#include "common/files.h"

namespace mirelon {

namespace {

constexpr const char* kWorkingDirectoryTable = "statfile.tab";
// Where the shipped table lies relative to the folder of the program:
// beside its bin/ folder once installed, inside the build folder in a build.
constexpr std::array<const char*, 2> kShippedTablePlaces = {"/../share/mirelon/statfile.tab",
                                                            "/share/mirelon/statfile.tab"};

bool is_regular_file(const char* path) {
  struct stat info;
  return stat(path, &info) == 0 && S_ISREG(info.st_mode);
}

// The folder that holds the running program, empty where the system does not
// say (no /proc, as in a browser).
std::string program_folder() {
#ifdef MIRELON_PROGRAM_FOLDER
  // A module without /proc (the browser page's) says where it stands.
  return MIRELON_PROGRAM_FOLDER;
#endif
  std::string path(4096, '\0');
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0 || static_cast<size_t>(length) >= path.size()) return "";
  path.resize(static_cast<size_t>(length));
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "" : path.substr(0, slash);
}

}  // namespace

std::string find_shipped_table(std::string_view folder, bool (*exists)(const char*)) {
  if (folder.empty()) return "";
  for (const char* place : kShippedTablePlaces) {
    std::string path(folder);
    path += place;
    if (exists(path.c_str())) return path;
  }
  return "";
}

std::string shipped_table_path() { return find_shipped_table(program_folder(), is_regular_file); }

std::string shipped_table_name() {
  return std::string("statfile.tab (shipped with mirelon ") + MIRELON_VERSION + ")";
}

TableChoice default_table() {
  if (is_regular_file(kWorkingDirectoryTable)) {
    return {kWorkingDirectoryTable, kWorkingDirectoryTable};
  }
  std::string shipped = shipped_table_path();
  if (!shipped.empty()) return {shipped, shipped_table_name()};
  return {kWorkingDirectoryTable, kWorkingDirectoryTable};
}

bool load_stat_table(const std::string& path, StatTable* table, std::string* error) {
  std::string content;
  std::string reason;
  if (!read_input_file(path.c_str(), &content, &reason)) {
    *error = "Unable to open statistics table: " + path + " (" + reason + ")\n";
    return false;
  }
  if (!parse_stat_table(std::move(content), path.c_str(), table, error)) return false;
  // mirelon takes such values as they stand; the programs that load a table
  // this way refuse them.
  const std::vector<TableValueProblem> problems = table_value_problems(*table, nullptr, nullptr);
  if (problems.empty()) return true;
  *error = table_value_error(problems.front(), path.c_str());
  return false;
}

}  // namespace mirelon
