// Fuzz target: a whole run of the four steps, in-process, on a CT file and a
// statistics table taken from the input, in a private working directory.
//
// Input: one byte of settings (bit 0: write the macro; the rest picks the
// prediction level), then the CT file, then a line "%%", then the table. A
// fatal error of a step throws out of the run instead of ending the process;
// the target then checks that the run left no output file half-written.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/files.h"
#include "mirelon/fatal.h"
#include "mirelon/translate.h"

namespace {

struct FatalExit {};

[[noreturn]] void throw_fatal() { throw FatalExit(); }

constexpr const char* kOutputs[] = {"kesta.seq", "idarrayke.txt", "kesta.aco", "kesta.prot",
                                    "hbond.mac"};

void write_file(const char* name, std::string_view content) {
  std::FILE* file = std::fopen(name, "wb");
  if (file == nullptr) std::abort();
  if (!content.empty()) std::fwrite(content.data(), 1, content.size(), file);
  std::fclose(file);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char dir[] = "/tmp/mirelon-fuzz.XXXXXX";
  if (mkdtemp(dir) == nullptr || chdir(dir) != 0) std::abort();
  // The steps' echo and messages are not looked at.
  if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
  mirelon::set_fatal_handler(throw_fatal);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const unsigned settings = data[0];
  const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  const size_t split = rest.find("\n%%\n");
  const std::string_view ct = split == std::string_view::npos ? rest : rest.substr(0, split + 1);
  const std::string_view table =
      split == std::string_view::npos ? std::string_view() : rest.substr(split + 4);
  const std::string level = std::to_string(1 + (settings >> 1) % 11);

  // Every output starts as a marker that a fatal error must leave whole or
  // replace by a complete file.
  for (const char* name : kOutputs) write_file(name, "old\n");
  write_file("rna.ct", ct);
  write_file("statfile.tab", table);
  try {
    translate_seq("rna.ct");
    if ((settings & 1u) != 0) translate_wc("rna.ct", "hbond.mac");
    translate_aco();
    translate_stat("statfile.tab", level.c_str());
  } catch (const FatalExit&) {
  }
  std::fflush(stdout);
  // Each output is either the untouched marker or a file of whole lines.
  for (const char* name : kOutputs) {
    std::string content;
    if (!mirelon::read_input_file(name, &content)) std::abort();
    if (!content.empty() && content.back() != '\n') std::abort();
  }
  return 0;
}
