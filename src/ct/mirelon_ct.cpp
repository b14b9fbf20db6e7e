// mirelon-ct: converts an RNA secondary structure between CT, BPSEQ and
// dot-bracket, so that users get the CT file mirelon reads from what they
// have. The converted text goes to standard output or the -o file; every
// message goes to standard error, so that no message ends up in a CT file.
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/files.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "common/options.h"
#include "structure/structure.h"
#include "tool/tool_fail.h"

using mirelon::fail;

namespace {

constexpr const char* kOptions = "ht:n:uo:k:";
constexpr const char* kStandardStream = "-";
constexpr const char* kStandardInputName = "(standard input)";

constexpr std::string_view kFormatCt = "ct";
constexpr std::string_view kFormatBpseq = "bpseq";
constexpr std::string_view kFormatDotBracket = "db";

void print_help() {
  std::fputs(
      "Usage: mirelon-ct [options] [input]\n"
      "\n"
      "\t-h\thelp\n"
      "\t-t\tformat of the output: ct, bpseq or db (dot-bracket) (default ct)\n"
      "\t-n\tname for the CT header, the \">\" line or the BPSEQ \"Filename:\" line\n"
      "\t\t(default the name in the input)\n"
      "\t-u\twrite the bases in upper case, T as U\n"
      "\t-o\toutput file (default standard output)\n"
      "\t-k\tthe structure to take, from 1, of a CT file that holds several\n"
      "\tinput\tfile with an RNA secondary structure in CT, BPSEQ or dot-bracket format,\n"
      "\t\trecognised by its content (default standard input, also for \"-\")\n"
      "\n",
      stdout);
}

// The converted structure in the format named by `format`.
std::string format_structure(const mirelon::Structure& structure, std::string_view format,
                             const char* input_name) {
  if (format == kFormatBpseq) {
    if (!structure.breaks.empty()) {
      std::fprintf(stderr,
                   "%s: warning: BPSEQ has no strand breaks; the %zu strands are written one "
                   "after the other\n",
                   input_name, structure.breaks.size() + 1);
    }
    return mirelon::format_structure_bpseq(structure);
  }
  if (format == kFormatDotBracket) {
    std::string text;
    std::string error;
    if (!mirelon::format_structure_dot_bracket(structure, &text, &error)) {
      fail("%s: %s", input_name, error.c_str());
    }
    return text;
  }
  return mirelon::format_structure_ct(structure);
}

// Reads the structures of `content` and takes structure `wanted` (from 1;
// 0 when -k was not given, which a file of one structure satisfies).
bool take_structure(std::string_view content, const char* input_name, int64_t wanted,
                    mirelon::Structure* structure, std::string* error) {
  std::vector<mirelon::Structure> structures;
  if (!mirelon::parse_structures(content, input_name, &structures, error)) return false;
  const size_t count = structures.size();
  if (wanted == 0 && count > 1) {
    *error = mirelon::format_message(
        "%s: the file holds %zu structures; take one with -k K (K from 1 to %zu)\n", input_name,
        count, count);
    return false;
  }
  if (wanted > 0 && static_cast<uint64_t>(wanted) > count) {
    *error = mirelon::format_message("%s: -k %lld: the file holds %zu structure%s\n", input_name,
                                     static_cast<long long>(wanted), count, count == 1 ? "" : "s");
    return false;
  }
  *structure = std::move(structures[wanted == 0 ? 0 : static_cast<size_t>(wanted) - 1]);
  return true;
}

}  // namespace

int main(int argc, char* argv[]) {
  std::string_view format = kFormatCt;
  const char* name = nullptr;
  bool upper_rna = false;
  const char* output = kStandardStream;
  const char* structure_number = nullptr;

  // The command line is the only configuration: GNU argument permutation
  // holds whatever the environment says.
  unsetenv("POSIXLY_CORRECT");
  opterr = 0;
  int option;
  while ((option = mirelon::next_option(argc, argv, kOptions)) != -1) {
    switch (option) {
      case 't':
        format = optarg;
        break;
      case 'n':
        name = optarg;
        break;
      case 'u':
        upper_rna = true;
        break;
      case 'o':
        output = optarg;
        break;
      case 'k':
        structure_number = optarg;
        break;
      case 'h':
        print_help();
        return 0;
      default:
        fail("%s", mirelon::option_error_message(optopt, "tnok").c_str());
    }
  }
  if (format != kFormatCt && format != kFormatBpseq && format != kFormatDotBracket) {
    fail("Unknown output format '%s': use ct, bpseq or db.\n", std::string(format).c_str());
  }
  if (name != nullptr && std::strpbrk(name, "\r\n") != nullptr) {
    fail("The name given with -n must not hold a line break.\n");
  }
  const std::optional<int64_t> wanted = structure_number == nullptr
                                            ? std::optional<int64_t>(0)
                                            : mirelon::whole_number_value(structure_number);
  if (!wanted.has_value() || (structure_number != nullptr && *wanted < 1)) {
    fail("The structure given with -k must be a number from 1 on: %s\n", structure_number);
  }
  if (argc - optind > 1) fail("Too many input files: %s\n", argv[optind + 1]);

  // Read and convert everything before the output is opened, so that an
  // error leaves an earlier output file untouched.
  const char* input = optind < argc ? argv[optind] : kStandardStream;
  const bool from_stdin = std::strcmp(input, kStandardStream) == 0;
  const char* input_name = from_stdin ? kStandardInputName : input;
  std::string content;
  std::string reason;
  if (from_stdin ? !mirelon::read_standard_input(&content, &reason)
                 : !mirelon::read_input_file(input, &content, &reason)) {
    fail("Unable to open structure file: %s (%s)\nFor help type: mirelon-ct -h\n", input_name,
         reason.c_str());
  }
  std::string error;
  mirelon::Structure structure;
  if (!take_structure(content, input_name, *wanted, &structure, &error)) fail("%s", error.c_str());
  if (name != nullptr) structure.name = name;
  if (upper_rna) mirelon::convert_to_upper_rna(&structure);
  const std::string text = format_structure(structure, format, input_name);

  if (!mirelon::write_tool_output(output, text, &error)) fail("%s", error.c_str());
  return 0;
}
