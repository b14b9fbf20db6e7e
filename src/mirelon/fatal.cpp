#include "fatal.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "common/files.h"
#include "run_notes.h"

namespace mirelon {

namespace {

FatalHandler fatal_handler = nullptr;
std::string fatal_note;
std::vector<std::string> run_outputs;
size_t always_written_outputs = 0;
std::vector<std::string> written_files;

// The Note on the files of a run that stops after writing some of them.
std::string note_on_written_files() {
  std::vector<std::string> older;
  bool complete = true;
  for (size_t i = 0; i < run_outputs.size(); ++i) {
    const std::string& name = run_outputs[i];
    if (std::find(written_files.begin(), written_files.end(), name) != written_files.end()) {
      continue;
    }
    if (i < always_written_outputs) complete = false;
    if (!is_absent(name.c_str())) older.push_back(name);
  }
  if (complete && older.empty()) return {};  // nothing of another run to mix up
  return written_files_note(written_files, older);
}

}  // namespace

void set_run_outputs(std::vector<std::string> names, size_t always_written) {
  run_outputs = std::move(names);
  always_written_outputs = always_written;
}

void record_written_file(const std::string& name) {
  if (std::find(written_files.begin(), written_files.end(), name) == written_files.end()) {
    written_files.push_back(name);
  }
}

void set_fatal_handler(FatalHandler handler) { fatal_handler = handler; }

void set_fatal_note(std::string note) { fatal_note = std::move(note); }

void fatal(To to, const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  if (to == To::kStderr) {
    std::fflush(stdout);
    std::vfprintf(stderr, format, args);
  } else {
    std::va_list copy;
    va_copy(copy, args);
    std::vprintf(format, args);
    // A message that standard output cannot take would leave the user with
    // a bare exit status: it goes to standard error then.
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) std::vfprintf(stderr, format, copy);
    va_end(copy);
  }
  va_end(args);
  fatal_note += note_on_written_files();
  if (!fatal_note.empty()) {
    std::fputs(fatal_note.c_str(), stderr);
    fatal_note.clear();
  }
  if (fatal_handler != nullptr) {
    fatal_handler();
    std::abort();  // a handler that returns breaks the contract
  }
  std::exit(1);  // flushes standard output
}

}  // namespace mirelon
