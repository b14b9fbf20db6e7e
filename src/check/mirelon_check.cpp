// mirelon-check: puts mirelon's predictions where spectroscopists work. It
// draws the predicted spectra and writes them as peak lists, checks an
// assignment against the predictions, and ranks candidate structures by the
// observed shifts. Every output is built in memory and written whole after
// all inputs were read; every message goes to standard error.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "check/assignment_check.h"
#include "check/check_report.h"
#include "check/check_run.h"
#include "check/predicted_peaks.h"
#include "check/residue_picture.h"
#include "check/structure_ranking.h"
#include "check/svg_pictures.h"
#include "common/files.h"
#include "common/messages.h"
#include "common/nucleotides.h"
#include "common/numbers.h"
#include "common/options.h"
#include "common/prediction_levels.h"
#include "prediction/structure_prediction.h"
#include "prediction/table_file.h"
#include "shifts/shift_data.h"
#include "shifts/shift_offsets.h"
#include "structure/structure.h"
#include "tool/tool_fail.h"

using mirelon::fail;

namespace {

constexpr const char* kOptions = "hs:f:c:p:O:No:";
constexpr const char* kOptionsWithArgument = "sfcpOo";
constexpr const char* kDefaultLevel = "8";
constexpr const char* kDefaultPictureLevel = "1";
constexpr const char* kDefaultPrefix = "mirelon-check";

void print_help() {
  std::fputs(
      "Usage: mirelon-check [options] -s STRUCTURE [SHIFTS]\n"
      "\n"
      "\t-h\thelp\n"
      "\t-s\tstructure file (CT, BPSEQ or dot-bracket); give -s again for further\n"
      "\t\tcandidates (a CT file of several structures counts as several)\n"
      "\t-f\tstatistics table (default ./statfile.tab, else the shipped table)\n"
      "\t-c\tprediction level 1 to 11 (default 8: 99 %): the check's tolerances\n"
      "\t-p\tpicture level 1 to 11 (default 1: 50 %): the regions drawn\n"
      "\t-O\tresidue offsets of the shift file: N or CHAIN:N,... (shift file\n"
      "\t\tresidue number + N = position in the structure; default 0)\n"
      "\t-N\tthe shift file numbers residues as CT column 6 does (the natural\n"
      "\t\tnumbering): its residue number + the offset of -O = column 6 number\n"
      "\t-o\tprefix of the output files (default mirelon-check)\n"
      "\tSHIFTS\tobserved shifts: NMR-STAR 3 entry, NEF file or a list\n"
      "\t\tRESNAME RESID ATOM VALUE\n"
      "\n"
      "Writes PREFIX-EXPERIMENT.svg and PREFIX-EXPERIMENT.list (Sparky peak list) per\n"
      "experiment, PREFIX.html; with SHIFTS also PREFIX.tsv and PREFIX-residues.svg.\n"
      "\n",
      stdout);
}

std::vector<mirelon::Candidate> read_candidates(const std::vector<const char*>& files) {
  std::vector<mirelon::Candidate> candidates;
  for (const char* file : files) {
    std::string content;
    std::string reason;
    if (!mirelon::read_input_file(file, &content, &reason)) {
      fail("Unable to open structure file: %s (%s)\nFor help type: mirelon-check -h\n", file,
           reason.c_str());
    }
    std::vector<mirelon::Structure> structures;
    std::string error;
    if (!mirelon::parse_structures(content, file, &structures, &error)) fail("%s", error.c_str());
    for (size_t k = 0; k < structures.size(); ++k) {
      mirelon::Candidate candidate;
      candidate.name = mirelon::candidate_name(file, k, structures.size());
      candidate.structure = std::move(structures[k]);
      candidates.push_back(std::move(candidate));
    }
  }
  return candidates;
}

// mirelon predicts nothing for bases other than "A", "C", "G" and "U", as
// they stand (lower case too); so does the check, and it says so.
void warn_unknown_bases(const mirelon::Candidate& candidate) {
  std::fputs(mirelon::odd_bases_warning(candidate.name, "get no predictions",
                                        mirelon::odd_base_positions(candidate.structure.bases))
                 .c_str(),
             stderr);
}

void write_file(const std::string& name, const std::string& content) {
  std::string error;
  if (!mirelon::write_output_file(name.c_str(), content, &error)) fail("%s", error.c_str());
}

// The command line, as given.
struct Options {
  std::vector<const char*> structure_files;
  const char* table_file = nullptr;
  const char* level_text = kDefaultLevel;
  const char* picture_level_text = kDefaultPictureLevel;
  const char* offsets_text = "0";
  bool natural = false;  // -N: the shift file numbers residues as CT column 6
  std::string prefix = kDefaultPrefix;
  const char* shift_file = nullptr;  // none: predicted spectra only
  long level = 0;                    // level_text, read
  long picture_level = 0;            // picture_level_text, read
  mirelon::ShiftOffsets offsets;     // offsets_text, read
};

// Reads and checks the command line into `options`; returns false when the
// help was asked for (and printed).
bool read_options(int argc, char* argv[], Options* options) {
  // The command line is the only configuration: GNU argument permutation
  // holds whatever the environment says.
  unsetenv("POSIXLY_CORRECT");
  opterr = 0;
  int option;
  while ((option = mirelon::next_option(argc, argv, kOptions)) != -1) {
    switch (option) {
      case 's':
        options->structure_files.push_back(optarg);
        break;
      case 'f':
        options->table_file = optarg;
        break;
      case 'c':
        options->level_text = optarg;
        break;
      case 'p':
        options->picture_level_text = optarg;
        break;
      case 'O':
        options->offsets_text = optarg;
        break;
      case 'N':
        options->natural = true;
        break;
      case 'o':
        options->prefix = optarg;
        break;
      case 'h':
        print_help();
        return false;
      default:
        fail("%s", mirelon::option_error_message(optopt, kOptionsWithArgument).c_str());
    }
  }
  if (options->structure_files.empty()) {
    fail("No structure given: name one with -s.\nFor help type: mirelon-check -h\n");
  }
  if (!mirelon::is_prediction_level(options->level_text)) {
    fail("%s", mirelon::prediction_level_message(options->level_text).c_str());
  }
  options->level = mirelon::strtol10(options->level_text);
  if (!mirelon::is_prediction_level(options->picture_level_text)) {
    fail("Invalid picture level '%s': use %ld to %ld.\n", options->picture_level_text,
         mirelon::kMinLevel, mirelon::kMaxLevel);
  }
  options->picture_level = mirelon::strtol10(options->picture_level_text);
  if (!mirelon::parse_shift_offsets(options->offsets_text, &options->offsets)) {
    fail("Residue offsets must be N or CHAIN:N,...: %s\n", options->offsets_text);
  }
  if (argc - optind > 1) fail("Too many shift files: %s\n", argv[optind + 1]);
  if (optind < argc) options->shift_file = argv[optind];
  return true;
}

// The candidates of `files`, each predicted from `table` at `level`.
std::vector<mirelon::Candidate> predict_candidates(const std::vector<const char*>& files,
                                                   const mirelon::StatTable& table, long level) {
  std::vector<mirelon::Candidate> candidates = read_candidates(files);
  std::string error;
  for (mirelon::Candidate& candidate : candidates) {
    warn_unknown_bases(candidate);
    if (!mirelon::predict_structure_shifts(candidate.structure, table, level, &candidate.prediction,
                                           &error)) {
      fail("%s: %s", candidate.name.c_str(), error.c_str());
    }
  }
  return candidates;
}

// How the shift file's residue numbers find the residues of `candidate`:
// by the offsets of -O, and with -N by CT column 6.
mirelon::ResidueMapping residue_mapping(const mirelon::Candidate& candidate,
                                        const Options& options) {
  mirelon::ResidueMapping mapping{options.offsets, std::nullopt};
  std::string error;
  if (options.natural && !mirelon::natural_mapping(candidate.structure, candidate.name,
                                                   options.offsets, &mapping, &error)) {
    fail("%s", error.c_str());
  }
  return mapping;
}

std::vector<mirelon::ObservedShift> read_shifts(const char* shift_file) {
  std::vector<mirelon::ObservedShift> shifts;
  std::string content;
  std::string reason;
  if (!mirelon::read_input_file(shift_file, &content, &reason)) {
    fail("Unable to open shift file: %s (%s)\nFor help type: mirelon-check -h\n", shift_file,
         reason.c_str());
  }
  std::string error;
  if (!mirelon::parse_shift_file(content, shift_file, &shifts, &error)) {
    fail("%s\n", error.c_str());
  }
  return shifts;
}

// Writes every output of `report`, then the summary.
void write_outputs(const mirelon::CheckReport& report, const std::string& prefix) {
  const std::string summary = mirelon::format_summary(report);
  const std::string html = mirelon::format_html_report(report);
  for (const mirelon::ExperimentOutput& output : report.experiments) {
    write_file(output.svg_file, output.picture.svg);
    write_file(output.list_file, mirelon::format_peak_list(*report.index, output.peaks));
  }
  if (report.check != nullptr) {
    write_file(prefix + ".tsv", mirelon::format_check_table(*report.index, *report.check));
    write_file(report.residue_svg_file, report.residue_svg);
  }
  write_file(prefix + ".html", html);
  mirelon::write_stdout(summary);
}

}  // namespace

int main(int argc, char* argv[]) {
  Options options;
  if (!read_options(argc, argv, &options)) return 0;
  const long level = options.level;
  const char* shift_file = options.shift_file;

  // Read everything first.
  const mirelon::TableChoice table_choice =
      options.table_file != nullptr ? mirelon::TableChoice{options.table_file, options.table_file}
                                    : mirelon::default_table();
  const std::string& table_path = table_choice.path;
  mirelon::StatTable table;
  std::string error;
  if (!mirelon::load_stat_table(table_path, &table, &error)) fail("%s", error.c_str());
  const std::vector<mirelon::Candidate> candidates =
      predict_candidates(options.structure_files, table, level);
  const std::vector<mirelon::ObservedShift> shifts =
      shift_file != nullptr ? read_shifts(shift_file) : std::vector<mirelon::ObservedShift>();

  // Check every candidate; rank them when there are several.
  std::vector<mirelon::PredictionIndex> indexes;
  indexes.reserve(candidates.size());
  std::vector<std::string> names;
  for (const mirelon::Candidate& candidate : candidates) {
    indexes.emplace_back(candidate.prediction);
    names.push_back(candidate.name);
  }
  std::vector<mirelon::AssignmentCheck> checks;
  if (shift_file != nullptr) {
    for (size_t k = 0; k < candidates.size(); ++k) {
      checks.push_back(mirelon::check_assignment(indexes[k], shifts,
                                                 residue_mapping(candidates[k], options), level));
    }
  }
  mirelon::StructureRanking ranking;
  if (checks.size() > 1) {
    if (!mirelon::same_sequences(candidates, &error)) fail("%s", error.c_str());
    ranking = mirelon::rank_structures(checks);
  }
  std::fputs(mirelon::ranking_note(ranking, names).c_str(), stderr);
  const size_t shown = mirelon::shown_structure(ranking);
  const mirelon::PredictionIndex& index = indexes[shown];

  mirelon::CheckReport report;
  report.legend = {names[shown], table_choice.name, level, options.picture_level, ""};
  report.index = &index;
  if (!checks.empty()) {
    report.check = &checks[shown];
    report.shift_file = shift_file;
    report.legend.note = mirelon::offsets_removed_note(*report.check);
    std::fputs(mirelon::unmatched_warning(*report.check, shift_file, names[shown], options.natural)
                   .c_str(),
               stderr);
    std::fputs(
        mirelon::differing_repeats_warning(shift_file, report.check->differing_repeats).c_str(),
        stderr);
  }
  if (!ranking.order.empty()) {
    report.ranking = &ranking;
    report.structure_names = names;
  }
  // The regions drawn: the shown structure predicted again at the picture
  // level (the same means, other tolerances).
  mirelon::StructurePrediction picture_prediction;
  if (!mirelon::predict_structure_shifts(candidates[shown].structure, table, options.picture_level,
                                         &picture_prediction, &error)) {
    fail("%s: %s", names[shown].c_str(), error.c_str());
  }
  const mirelon::PredictionIndex picture_index(picture_prediction);
  const mirelon::ShownPredictions predictions{
      &index, &picture_index, mirelon::partnered_positions(candidates[shown].structure)};
  report.experiments =
      mirelon::experiment_outputs(predictions, report.check, report.legend, options.prefix);
  if (report.check != nullptr) {
    report.residue_svg = mirelon::residue_picture(
        index, candidates[shown].structure, report.check->residue_mean_abs_z, level, report.legend);
    report.residue_svg_file = options.prefix + "-residues.svg";
  }
  write_outputs(report, options.prefix);
  return 0;
}
