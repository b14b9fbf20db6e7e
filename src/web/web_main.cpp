// The programs of the browser page in one WebAssembly module. Each program's
// own main is compiled under another name; the first argument names the
// program to run, as the command name does on a command line, and the rest
// is that program's command line. Every run gets a fresh instance of the
// module, so each program starts from the state a process starts from.
#include <cstdio>
#include <cstring>

int mirelon_main(int argc, char* argv[]);
int mirelon_ct_main(int argc, char* argv[]);
int mirelon_nef_main(int argc, char* argv[]);
int mirelon_check_main(int argc, char* argv[]);

namespace {

struct Program {
  const char* name;
  int (*main)(int, char**);
};

constexpr Program kPrograms[] = {
    {"mirelon", mirelon_main},
    {"mirelon-ct", mirelon_ct_main},
    {"mirelon-nef", mirelon_nef_main},
    {"mirelon-check", mirelon_check_main},
};

}  // namespace

int main(int argc, char* argv[]) {
  if (argc >= 2) {
    for (const Program& program : kPrograms) {
      if (std::strcmp(argv[1], program.name) == 0) return program.main(argc - 1, argv + 1);
    }
  }
  std::fputs(
      "usage: PROGRAM [ARGUMENT...], PROGRAM one of mirelon, mirelon-ct, mirelon-nef, "
      "mirelon-check\n",
      stderr);
  return 2;
}
