// The driver: banner, options, and the steps in their fixed order.
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "common/files.h"
#include "common/numbers.h"
#include "common/options.h"
#include "fatal.h"
#include "prediction/table_file.h"
#include "run_notes.h"
#include "step_files.h"
#include "translate.h"
#include "translate_aco.h"
#include "translate_seq.h"
#include "translate_stat.h"

namespace {

using mirelon::fatal;
using mirelon::To;

// Built-in defaults; options choose other texts but never change these, so
// the help text always shows them.
constexpr const char* kDefaultLevel = "2";
constexpr const char* kDefaultStatFile = "statfile.tab";
constexpr const char* kDefaultCtFile = "rna.ct";
constexpr const char* kOptions = "hl:t:c:f:s:w:";

constexpr const char* kRule =
    "_________________________________________________________________________________";

// Writes `text` followed by a line feed.
void put_line(const char* text) {
  std::fputs(text, stdout);
  std::fputc('\n', stdout);
}

void print_banner() {
  put_line(kRule);
  put_line("");
  put_line("MIRELON 1.1  05.04.2015\n");
  put_line("Chemical shift prediction for RNA\n");
  put_line("If you report results obtained with mirelon, please cite it:");
  put_line("the authors, title and reference are given in the file CITATION.cff");
  put_line("distributed with the program (Citation File Format, read directly by");
  put_line("most reference managers and code hosting sites).");
  put_line(kRule);
  put_line("");
}

void print_help() {
  put_line("Usage: mirelon [options] \n\n\t-h\thelp");
  put_line("\t-c\tprediction interval defined by the percentage of resonances in it [1-11]");
  std::printf("\t\t(default %s)    1: 50%%, 2: 60%%, 3: 70%%, 4: 80%%, 5: 90%%, 6: 95%% \n",
              kDefaultLevel);
  std::printf("\t\t7: 98%%, 8: 99%%, 9: 99.5%%, 10: 99.8%%, 11: 99.9%%\n");
  std::printf("\t-f\tfile with statistics table (default %s)\n", kDefaultStatFile);
  std::printf("\t-s\tfile with RNA sequence and secondary structure (default %s)\n",
              kDefaultCtFile);
  put_line(
      "\t\tThe file has to be in .ct format and can be created e.g. on "
      "https://rna.urmc.rochester.edu/RNAstructureWeb/.");
  put_line("\t-w\toutput KESTA macro to generate Watson-Crick H-bond restraints (default none)\n");
}

// Without -f, a run in a folder that holds no "statfile.tab" at all reads the
// table shipped with mirelon instead of stopping, and says so. A
// statfile.tab that is there but cannot be read is the user's own table: it
// is reported as always, never silently replaced.
std::string fallback_table(bool table_named) {
  if (table_named || !mirelon::is_absent(kDefaultStatFile)) return "";
  return mirelon::shipped_table_path();
}

// Reports the words after the options: "Non-option argument" on standard
// output for each, as always, and one warning that they are not read.
void report_non_option_arguments(int argc, char* argv[], const char* ct_file) {
  std::vector<std::string> unread;
  for (int i = optind; i < argc; ++i) {
    std::printf("Non-option argument %s\n", argv[i]);
    unread.emplace_back(argv[i]);
  }
  const std::string warning = mirelon::unread_arguments_warning(unread, ct_file);
  if (!warning.empty()) {
    std::fflush(stdout);
    std::fputs(warning.c_str(), stderr);
  }
}

// The outputs of this run, for the note after a fatal error.
void announce_outputs(const char* macro_file) {
  std::vector<std::string> outputs = {mirelon::kSequenceFileName, mirelon::kResidueIdFileName,
                                      mirelon::kRestraintFileName, mirelon::kShiftListFileName};
  const size_t always_written = outputs.size();
  if (macro_file != nullptr) outputs.emplace_back(macro_file);
  mirelon::set_run_outputs(std::move(outputs), always_written);
}

// The table the shift step reads: `stat_file`, or the shipped table (with a
// note) when fallback_table() finds it.
std::string table_for_run(const char* stat_file, bool table_named) {
  std::string shipped = fallback_table(table_named);
  if (shipped.empty()) return stat_file;
  std::fflush(stdout);
  std::fprintf(stderr,
               "Note: there is no %s in the working directory and -f was not given: using %s.\n",
               kDefaultStatFile, mirelon::shipped_table_name().c_str());
  return shipped;
}

}  // namespace

int main(int argc, char* argv[]) {
  // A reader that goes away early (mirelon | head) makes writes to standard
  // output fail instead of killing the run half-way through its files; the
  // failure is reported at the end.
  std::signal(SIGPIPE, SIG_IGN);
  print_banner();

  const char* level = kDefaultLevel;
  const char* stat_file = kDefaultStatFile;
  const char* ct_file = kDefaultCtFile;
  const char* macro_file = nullptr;
  bool table_named = false;

  // The command line is the only configuration: GNU argument permutation
  // holds whatever the environment says.
  unsetenv("POSIXLY_CORRECT");
  opterr = 0;
  int option;
  while ((option = mirelon::next_option(argc, argv, kOptions)) != -1) {
    switch (option) {
      case 'c':
        level = optarg;
        break;
      case 'f':
        stat_file = optarg;
        table_named = true;
        break;
      case 's':
        ct_file = optarg;
        break;
      case 'w':
        macro_file = optarg;
        break;
      case 'l':
      case 't':
        break;  // accepted with an argument, no effect
      case 'h':
        print_help();
        return 1;
      default:
        fatal(To::kStderr, "%s", mirelon::option_error_message(optopt, "cfsw").c_str());
    }
  }
  report_non_option_arguments(argc, argv, ct_file);

  if (!mirelon::is_prediction_level(level)) {
    fatal(To::kStderr, "%s", mirelon::prediction_level_message(level).c_str());
  }

  announce_outputs(macro_file);
  translate_seq(ct_file);
  if (macro_file != nullptr) translate_wc(ct_file, macro_file);
  translate_aco();
  translate_stat(table_for_run(stat_file, table_named).c_str(), level);

  // Everything was written; a standard output that failed is no success.
  if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
    fatal(To::kStderr, "\nUnable to write file: standard output (%s)\n", std::strerror(errno));
  }
  return 0;
}
