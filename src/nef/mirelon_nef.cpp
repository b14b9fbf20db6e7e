// mirelon-nef: writes an RNA's predicted chemical shifts and the hydrogen-bond
// and backbone dihedral restraints of its Watson-Crick stems as one NEF file,
// the exchange format that structure calculation, assignment and spectrum
// analysis programs read. Messages go to standard error; the file is built
// whole in memory and written only when everything succeeded.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "common/files.h"
#include "common/numbers.h"
#include "common/options.h"
#include "nef/nef_writer.h"
#include "prediction/structure_prediction.h"
#include "prediction/table_file.h"
#include "structure/structure.h"
#include "tool/tool_fail.h"

using mirelon::fail;

namespace {

constexpr const char* kOptions = "hs:f:c:n:Ngo:";
constexpr const char* kOptionsWithArgument = "sfcno";
constexpr const char* kStandardStream = "-";
constexpr const char* kDefaultLevel = "2";
constexpr const char* kEpochVariable = "SOURCE_DATE_EPOCH";
constexpr uint64_t kUuidModulus = 10000000000ULL;

void print_help() {
  std::fputs(
      "Usage: mirelon-nef [-h] -s STRUCTURE [-f TABLE] [-c LEVEL] [-n NAME] [-N] [-g]\n"
      "                   [-o OUT.nef]\n"
      "\n"
      "\t-h\thelp\n"
      "\t-s\tRNA secondary structure: CT, BPSEQ or dot-bracket file (required)\n"
      "\t-f\tstatistics table (default ./statfile.tab, else the installed table)\n"
      "\t-c\tprediction level 1 to 11 for the shift uncertainties (default 2)\n"
      "\t-n\tname of the data block (default the structure file's name without\n"
      "\t\tits extension)\n"
      "\t-N\tsequence codes from CT column 6 (the natural numbering) instead of\n"
      "\t\tthe CT index\n"
      "\t-g\talso hydrogen-bond restraints for G-U wobble pairs\n"
      "\t-o\toutput file (default standard output)\n"
      "\n",
      stdout);
}

// creation_date and uuid: with SOURCE_DATE_EPOCH set, derived from it and
// from the inputs, so that the same inputs give the same file; otherwise the
// current time and a random number.
void stamp(const std::string& inputs, mirelon::NefSettings* settings) {
  const char* epoch_text = std::getenv(kEpochVariable);
  int64_t epoch = 0;
  uint64_t unique = mirelon::text_hash(inputs);
  if (epoch_text != nullptr) {
    const auto value = mirelon::whole_number_value(epoch_text);
    if (!value || *value < 0) {
      fail("%s is '%s', not a whole number of seconds since 1970.\n", kEpochVariable, epoch_text);
    }
    epoch = *value;
  } else {
    epoch = static_cast<int64_t>(std::time(nullptr));
    std::random_device random;
    unique ^= (static_cast<uint64_t>(random()) << 32) ^ random();
  }
  if (!mirelon::format_creation_date(epoch, &settings->creation_date)) {
    fail("%s is '%s', beyond the dates a NEF file can hold.\n", kEpochVariable,
         epoch_text == nullptr ? "" : epoch_text);
  }
  settings->uuid = std::string("mirelon-nef-") + settings->creation_date + "-" +
                   std::to_string(unique % kUuidModulus);
}

// The command line as given.
struct NefOptions {
  const char* structure_path = nullptr;
  std::string table_path;  // empty for the default table
  const char* level = kDefaultLevel;
  const char* name = nullptr;
  bool natural = false;
  bool wobble = false;
  const char* output = kStandardStream;
};

// Reads the options and checks that a structure is named and the level is
// one; ends the program with a message otherwise. Returns false when -h
// asked for the help text, which is then printed.
bool read_options(int argc, char* argv[], NefOptions* options) {
  unsetenv("POSIXLY_CORRECT");
  opterr = 0;
  int option;
  while ((option = mirelon::next_option(argc, argv, kOptions)) != -1) {
    switch (option) {
      case 's':
        options->structure_path = optarg;
        break;
      case 'f':
        options->table_path = optarg;
        break;
      case 'c':
        options->level = optarg;
        break;
      case 'n':
        options->name = optarg;
        break;
      case 'N':
        options->natural = true;
        break;
      case 'g':
        options->wobble = true;
        break;
      case 'o':
        options->output = optarg;
        break;
      case 'h':
        print_help();
        return false;
      default:
        fail("%s", mirelon::option_error_message(optopt, kOptionsWithArgument).c_str());
    }
  }
  if (optind < argc) fail("Unexpected argument: %s\nFor help type: mirelon-nef -h\n", argv[optind]);
  if (options->structure_path == nullptr)
    fail("No structure file: give one with -s.\nFor help type: mirelon-nef -h\n");
  if (!mirelon::is_prediction_level(options->level)) {
    fail("%s", mirelon::prediction_level_message(options->level).c_str());
  }
  return true;
}

// The settings of the file, but its stamp; ends the program with a message
// when the data block's name is no valid NEF name.
mirelon::NefSettings settings_of(const NefOptions& options) {
  mirelon::NefSettings settings;
  settings.input_name = options.structure_path;
  settings.name = options.name != nullptr
                      ? std::string(options.name)
                      : mirelon::nef_safe_name(mirelon::path_stem(options.structure_path));
  const std::string name_fault = mirelon::nef_name_fault(settings.name);
  if (!name_fault.empty()) {
    fail("The name '%s' cannot name a NEF data block: %s.\n", settings.name.c_str(),
         name_fault.c_str());
  }
  const mirelon::TableChoice table_choice =
      options.table_path.empty() ? mirelon::default_table()
                                 : mirelon::TableChoice{options.table_path, options.table_path};
  settings.table_path = table_choice.path;
  settings.table_name = table_choice.name;
  settings.level = mirelon::strtol10(options.level);
  settings.natural_numbering = options.natural;
  settings.wobble_pairs = options.wobble;
  settings.program_version = MIRELON_VERSION;
  return settings;
}

}  // namespace

int main(int argc, char* argv[]) {
  NefOptions options;
  if (!read_options(argc, argv, &options)) return 0;
  const char* structure_path = options.structure_path;
  mirelon::NefSettings settings = settings_of(options);

  // Read, predict and build everything before the output is opened, so that
  // an error leaves an earlier output file untouched.
  std::string content;
  std::string reason;
  if (!mirelon::read_input_file(structure_path, &content, &reason)) {
    fail("Unable to open structure file: %s (%s)\nFor help type: mirelon-nef -h\n", structure_path,
         reason.c_str());
  }
  mirelon::Structure structure;
  std::string error;
  if (!mirelon::parse_structure(content, structure_path, &structure, &error)) {
    fail("%s", error.c_str());
  }
  mirelon::StatTable table;
  if (!mirelon::load_stat_table(settings.table_path, &table, &error)) fail("%s", error.c_str());
  mirelon::StructurePrediction prediction;
  if (!mirelon::predict_structure_shifts(structure, table, settings.level, &prediction, &error)) {
    // Too many shifts for one list: the structure is too large.
    if (!error.empty() && error.back() == '\n') error.pop_back();
    fail("%s: %s\n", structure_path, error.c_str());
  }
  stamp(content + '\n' + settings.name + '\n' + options.level + (options.natural ? "N" : "") +
            (options.wobble ? "g" : ""),
        &settings);
  std::string text;
  std::vector<std::string> warnings;
  if (!mirelon::build_nef(structure, prediction, settings, &text, &warnings, &error)) {
    fail("%s", error.c_str());
  }
  for (const std::string& warning : warnings) std::fputs(warning.c_str(), stderr);

  if (!mirelon::write_tool_output(options.output, text, &error)) fail("%s", error.c_str());
  return 0;
}
