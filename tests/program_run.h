// Runs the built program in a fresh working directory, for the tests that
// need the whole run: several steps writing the same files in turn.
#ifndef MIRELON_TESTS_PROGRAM_RUN_H_
#define MIRELON_TESTS_PROGRAM_RUN_H_

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace mirelon {

// A fresh temporary working directory, removed with everything in it. It
// starts with a statistics table of three empty sections under the default
// name, so that a run goes through every step.
class ProgramRun {
 public:
  ProgramRun() {
    std::string pattern = (std::filesystem::temp_directory_path() / "mirelon-run.XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) dir_ = pattern;
    if (ok()) write("statfile.tab", ":\n:\n:\n");
  }
  ~ProgramRun() {
    std::error_code ignored;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
  }
  ProgramRun(const ProgramRun&) = delete;
  ProgramRun& operator=(const ProgramRun&) = delete;

  bool ok() const { return !dir_.empty(); }
  const std::filesystem::path& path() const { return dir_; }

  void write(const std::string& name, const std::string& content) const {
    std::ofstream(dir_ / name, std::ios::binary) << content;
  }

  // Runs the program here with `options` (shell words), standard output and
  // error going to the files "stdout" and "stderr"; returns the exit status.
  int run(const std::string& options) const { return run_program(MIRELON_BINARY, options); }

  // Runs the program `binary` (another tool of the project) in the same way.
  int run_program(const std::string& binary, const std::string& options) const {
    const std::string command = "cd '" + dir_.string() + "' && '" + binary + "' " + options +
                                " >stdout 2>stderr </dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // The content of file `name` here, or "(none)" when there is no such file.
  std::string file(const std::string& name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    if (!in) return "(none)";
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
  }

 private:
  std::filesystem::path dir_;
};

}  // namespace mirelon

#endif  // MIRELON_TESTS_PROGRAM_RUN_H_
