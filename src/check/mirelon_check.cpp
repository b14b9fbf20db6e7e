// mirelon-check: puts mirelon's predictions where spectroscopists work. It
// draws the predicted spectra and writes them as peak lists, checks an
// assignment against the predictions, and ranks candidate structures by the
// observed shifts. Every output is built in memory and written whole after
// all inputs were read; every message goes to standard error.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "check/assignment_check.h"
#include "check/check_report.h"
#include "check/predicted_peaks.h"
#include "check/residue_picture.h"
#include "check/structure_ranking.h"
#include "check/svg_pictures.h"
#include "common/files.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "common/options.h"
#include "prediction/structure_prediction.h"
#include "prediction/table_file.h"
#include "shifts/shift_data.h"
#include "shifts/shift_offsets.h"
#include "structure/structure.h"
#include "tool/tool_fail.h"

using mirelon::fail;

namespace {

constexpr const char* kOptions = "hs:f:c:O:o:";
constexpr const char* kOptionsWithArgument = "sfcOo";
constexpr const char* kDefaultLevel = "8";
constexpr const char* kDefaultPrefix = "mirelon-check";

void print_help() {
  std::fputs(
      "Usage: mirelon-check [options] -s STRUCTURE [SHIFTS]\n"
      "\n"
      "\t-h\thelp\n"
      "\t-s\tstructure file (CT, BPSEQ or dot-bracket); give -s again for further\n"
      "\t\tcandidates (a CT file of several structures counts as several)\n"
      "\t-f\tstatistics table (default ./statfile.tab, else the shipped table)\n"
      "\t-c\tprediction level 1 to 11 (default 8: 99 %)\n"
      "\t-O\tresidue offsets of the shift file: N or CHAIN:N,... (shift file\n"
      "\t\tresidue number + N = position in the structure; default 0)\n"
      "\t-o\tprefix of the output files (default mirelon-check)\n"
      "\tSHIFTS\tobserved shifts: NMR-STAR 3 entry or a list RESNAME RESID ATOM VALUE\n"
      "\n"
      "Writes PREFIX-EXPERIMENT.svg and PREFIX-EXPERIMENT.list (Sparky peak list) per\n"
      "experiment, PREFIX.html; with SHIFTS also PREFIX.tsv and PREFIX-residues.svg.\n"
      "\n",
      stdout);
}

// A structure to check, with the name the ranking and the legend give it.
struct Candidate {
  mirelon::Structure structure;
  std::string name;  // "FILE", or "FILE #K" for the K-th structure of a file of several
  mirelon::StructurePrediction prediction;
};

std::vector<Candidate> read_candidates(const std::vector<const char*>& files) {
  std::vector<Candidate> candidates;
  for (const char* file : files) {
    std::string content;
    if (!mirelon::read_input_file(file, &content)) {
      fail("Unable to open structure file: %s\nFor help type: mirelon-check -h\n", file);
    }
    std::vector<mirelon::Structure> structures;
    std::string error;
    if (!mirelon::parse_structures(content, file, &structures, &error)) fail("%s", error.c_str());
    for (size_t k = 0; k < structures.size(); ++k) {
      Candidate candidate;
      candidate.name = structures.size() > 1 ? mirelon::format_message("%s #%zu", file, k + 1)
                                             : std::string(file);
      candidate.structure = std::move(structures[k]);
      candidates.push_back(std::move(candidate));
    }
  }
  return candidates;
}

// Candidates are ranked residue by residue: they must share the sequence.
void require_same_sequence(const std::vector<Candidate>& candidates) {
  for (const Candidate& candidate : candidates) {
    if (candidate.structure.bases != candidates.front().structure.bases) {
      fail("Structures to rank must have the same sequence: %s differs from %s\n",
           candidate.name.c_str(), candidates.front().name.c_str());
    }
  }
}

// mirelon predicts nothing for bases other than "A", "C", "G" and "U", as
// they stand (lower case too); so does the check, and it says so.
void warn_unknown_bases(const Candidate& candidate) {
  size_t unknown = 0;
  for (const std::string& base : candidate.structure.bases) {
    if (mirelon::atom_catalogue(base).empty()) ++unknown;
  }
  if (unknown > 0) {
    std::fprintf(stderr,
                 "Warning: %zu nucleotides of %s have bases other than A, C, G and U and get no "
                 "predictions (mirelon-ct -u writes bases in upper case)\n",
                 unknown, candidate.name.c_str());
  }
}

void write_file(const std::string& name, const std::string& content) {
  std::string error;
  if (!mirelon::write_output_file(name.c_str(), content, &error)) fail("%s", error.c_str() + 1);
}

}  // namespace

int main(int argc, char* argv[]) {
  std::vector<const char*> structure_files;
  const char* table_file = nullptr;
  const char* level_text = kDefaultLevel;
  const char* offsets_text = "0";
  std::string prefix = kDefaultPrefix;

  // The command line is the only configuration: GNU argument permutation
  // holds whatever the environment says.
  unsetenv("POSIXLY_CORRECT");
  opterr = 0;
  int option;
  while ((option = getopt(argc, argv, kOptions)) != -1) {
    switch (option) {
      case 's':
        structure_files.push_back(optarg);
        break;
      case 'f':
        table_file = optarg;
        break;
      case 'c':
        level_text = optarg;
        break;
      case 'O':
        offsets_text = optarg;
        break;
      case 'o':
        prefix = optarg;
        break;
      case 'h':
        print_help();
        return 0;
      default:
        fail("%s", mirelon::option_error_message(optopt, kOptionsWithArgument).c_str());
    }
  }
  if (structure_files.empty()) {
    fail("No structure given: name one with -s.\nFor help type: mirelon-check -h\n");
  }
  if (!mirelon::is_prediction_level(level_text)) {
    fail("Prediction level must be a number from 1 to 11: %s\n", level_text);
  }
  const long level = mirelon::strtol10(level_text);
  mirelon::ShiftOffsets offsets;
  if (!mirelon::parse_shift_offsets(offsets_text, &offsets)) {
    fail("Residue offsets must be N or CHAIN:N,...: %s\n", offsets_text);
  }
  if (argc - optind > 1) fail("Too many shift files: %s\n", argv[optind + 1]);
  const char* shift_file = optind < argc ? argv[optind] : nullptr;

  // Read everything first.
  const mirelon::TableChoice table_choice = table_file != nullptr
                                                ? mirelon::TableChoice{table_file, table_file}
                                                : mirelon::default_table();
  const std::string& table_path = table_choice.path;
  mirelon::StatTable table;
  std::string error;
  if (!mirelon::load_stat_table(table_path, &table, &error)) fail("%s", error.c_str());
  std::vector<Candidate> candidates = read_candidates(structure_files);
  for (Candidate& candidate : candidates) {
    warn_unknown_bases(candidate);
    if (!mirelon::predict_structure_shifts(candidate.structure, table, level, &candidate.prediction,
                                           &error)) {
      fail("%s: %s", candidate.name.c_str(), error.c_str());
    }
  }
  std::vector<mirelon::ObservedShift> shifts;
  if (shift_file != nullptr) {
    std::string content;
    if (!mirelon::read_input_file(shift_file, &content)) {
      fail("Unable to open shift file: %s\nFor help type: mirelon-check -h\n", shift_file);
    }
    if (!mirelon::parse_shift_file(content, shift_file, &shifts, &error)) {
      fail("%s\n", error.c_str());
    }
  }

  // Check every candidate; rank them when there are several.
  std::vector<mirelon::PredictionIndex> indexes;
  indexes.reserve(candidates.size());
  for (const Candidate& candidate : candidates) indexes.emplace_back(candidate.prediction);
  std::vector<mirelon::AssignmentCheck> checks;
  if (shift_file != nullptr) {
    for (const mirelon::PredictionIndex& index : indexes) {
      checks.push_back(mirelon::check_assignment(index, shifts, offsets, level));
    }
  }
  mirelon::StructureRanking ranking;
  size_t chosen = 0;
  if (!checks.empty() && candidates.size() > 1) {
    require_same_sequence(candidates);
    ranking = mirelon::rank_structures(checks);
    chosen = ranking.order.front().structure;
    // Judged as printed, two decimals, so that a note never shows "3.00".
    const double lead =
        std::round((ranking.order[0].log_likelihood - ranking.order[1].log_likelihood) * 100) / 100;
    if (lead < mirelon::kClearLead) {
      std::fprintf(stderr,
                   "Note: %s leads %s by %.2f log-likelihood units only (under %g): the "
                   "observed shifts hardly tell them apart\n",
                   candidates[chosen].name.c_str(),
                   candidates[ranking.order[1].structure].name.c_str(), lead, mirelon::kClearLead);
    }
  } else if (candidates.size() > 1) {
    std::fprintf(stderr,
                 "Note: %zu structures and no observed shifts to rank them: the outputs show "
                 "the first, %s\n",
                 candidates.size(), candidates.front().name.c_str());
  }
  const Candidate& shown = candidates[chosen];
  const mirelon::PredictionIndex& index = indexes[chosen];
  if (!checks.empty() && checks[chosen].atoms.empty()) {
    std::fprintf(stderr,
                 "Warning: no observed shift of %s matches a predicted atom of %s (check -O)\n",
                 shift_file, shown.name.c_str());
  }

  if (!checks.empty()) {
    std::fputs(
        mirelon::differing_repeats_warning(shift_file, checks[chosen].differing_repeats).c_str(),
        stderr);
  }

  mirelon::CheckReport report;
  report.legend = {shown.name, table_choice.name, level, ""};
  report.index = &index;
  if (!checks.empty()) {
    report.check = &checks[chosen];
    report.shift_file = shift_file;
    std::string removed;
    for (size_t nucleus = 0; nucleus < mirelon::kReferencedNuclei; ++nucleus) {
      const mirelon::Referencing& r = report.check->referencing[nucleus];
      if (!r.applied) continue;
      removed += mirelon::format_message(
          "%s%s %+.2f ppm",
          removed.empty() ? "Observed shown with referencing offsets removed: " : ", ",
          mirelon::nucleus_name(static_cast<mirelon::Nucleus>(nucleus)), r.median);
    }
    report.legend.note = removed;
  }
  if (candidates.size() > 1 && !checks.empty()) {
    report.ranking = &ranking;
    for (const Candidate& candidate : candidates) report.structure_names.push_back(candidate.name);
  }
  for (const mirelon::Experiment& experiment : mirelon::experiments()) {
    mirelon::ExperimentOutput output;
    output.experiment = &experiment;
    output.peaks = mirelon::predicted_peaks(index, experiment);
    const std::vector<mirelon::ObservedPeak> observed =
        report.check != nullptr ? mirelon::observed_peaks(*report.check, output.peaks)
                                : std::vector<mirelon::ObservedPeak>();
    output.picture =
        mirelon::spectrum_picture(experiment, index, output.peaks, observed, report.legend);
    output.svg_file = prefix + "-" + std::string(experiment.id) + ".svg";
    output.list_file = prefix + "-" + std::string(experiment.id) + ".list";
    report.experiments.push_back(std::move(output));
  }
  if (report.check != nullptr) {
    report.residue_svg = mirelon::residue_picture(
        index, shown.structure, report.check->residue_mean_abs_z, level, report.legend);
    report.residue_svg_file = prefix + "-residues.svg";
  }
  const std::string summary = mirelon::format_summary(report);
  const std::string html = mirelon::format_html_report(report);

  for (const mirelon::ExperimentOutput& output : report.experiments) {
    write_file(output.svg_file, output.picture.svg);
    write_file(output.list_file, mirelon::format_peak_list(index, output.peaks));
  }
  if (report.check != nullptr) {
    write_file(prefix + ".tsv", mirelon::format_check_table(index, *report.check));
    write_file(report.residue_svg_file, report.residue_svg);
  }
  write_file(prefix + ".html", html);
  mirelon::write_stdout(summary);
  return 0;
}
