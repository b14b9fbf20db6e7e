// mirelon-stats: builds the statistics table that mirelon reads from
// structures and assigned chemical shifts, and measures how well the table
// predicts shifts of RNAs it has not seen.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "accuracy_evaluation.h"
#include "accuracy_report.h"
#include "fatal.h"
#include "files.h"
#include "manifest.h"
#include "multipliers.h"
#include "numbers.h"
#include "shift_data.h"
#include "stats_builder.h"
#include "stats_entries.h"
#include "structure.h"

namespace mirelon {
namespace {

constexpr const char* kDefaultTable = "statfile.tab";
// The settings of the shipped table, chosen by the comparison of settings in
// its accuracy report: the best calibrated coverage among the filters that
// keep the RMSE low.
constexpr double kDefaultOutlierK = 8;
constexpr size_t kDefaultMinRnas = 2;
constexpr const char* kDefaultTrials = "4,5,6,8,10,12,0,8:1,8:3";
// Atoms whose predictions must beat the base statistics alone.
constexpr const char* kTargetAtoms[] = {"H1'", "H2'", "H8", "H6", "H5",
                                        "H2",  "C1'", "C8", "C6", "C5"};

void print_help() {
  std::printf(
      "Usage: mirelon-stats [options] MANIFEST\n\n"
      "Builds a statistics table for mirelon from secondary structures and assigned\n"
      "chemical shifts. MANIFEST lists one entry per line: NAME STRUCTURE SHIFTS [OFFSETS]\n"
      "(structure as CT, BPSEQ or dot-bracket; shifts as NMR-STAR 3 or four-column\n"
      "RESNAME RESID ATOM VALUE lists; OFFSETS N or CHAIN:N,... maps shift residue\n"
      "numbers to structure positions; file names relative to the manifest).\n\n"
      "\t-h\thelp\n"
      "\t-o\tstatistics table to write (default %s)\n"
      "\t-k\toutlier filter: leave out shifts beyond K scaled median absolute\n"
      "\t\tdeviations from the median of their base and atom; 0 for none (default %g)\n"
      "\t-r\tdistinct RNAs a context statistics record needs (default %zu)\n"
      "\t-u\twrite the bases of every structure in upper case, T as U, before use\n"
      "\t-b\ttake the base statistics from a per-atom table of comma-separated\n"
      "\t\tvalues comp_id,atom_id,count,min,max,avg,std (default: from the data)\n"
      "\t-c\tin the evaluation, also compare base statistics taken from such a table\n"
      "\t-d\tdate written into the table's header (default: none)\n"
      "\t-n\ta line for the table's header, such as a source or a licence (repeatable)\n"
      "\t-e\talso evaluate the table leaving out one RNA at a time and write the\n"
      "\t\treport to NAME.md and NAME.svg\n"
      "\t-t\tsettings compared in the evaluation, comma-separated, each K or K:R\n"
      "\t\tfor the values of -k and -r (default %s)\n",
      kDefaultTable, kDefaultOutlierK, kDefaultMinRnas, kDefaultTrials);
}

[[noreturn]] void fail(const std::string& message) {
  std::fprintf(stderr, "mirelon-stats: %s\n", message.c_str());
  std::exit(1);
}

struct Options {
  std::string table_file = kDefaultTable;
  BuildSettings build{kDefaultOutlierK, kDefaultMinRnas};
  bool upper_case = false;
  std::string base_csv;
  std::string compare_csv;
  std::string date;
  std::vector<std::string> notes;
  std::string report;
  std::vector<BuildSettings> trials;
  std::string manifest;
};

bool read_k(const std::string& text, double* k) {
  const std::optional<double> value = real_number_value(text);
  if (!value || !std::isfinite(*value) || *value < 0) return false;
  *k = *value;
  return true;
}

bool read_rnas(const std::string& text, size_t* rnas) {
  const std::optional<long> value = whole_number_value(text);
  if (!value || *value < 1) return false;
  *rnas = static_cast<size_t>(*value);
  return true;
}

// A setting compared in the evaluation: "K" or "K:R".
bool read_trial(const std::string& text, size_t default_rnas, BuildSettings* settings) {
  const size_t colon = text.find(':');
  settings->min_rnas = default_rnas;
  if (colon != std::string::npos && !read_rnas(text.substr(colon + 1), &settings->min_rnas)) {
    return false;
  }
  return read_k(text.substr(0, colon), &settings->outlier_k);
}

Options read_options(int argc, char** argv) {
  Options options;
  std::string trials = kDefaultTrials;
  opterr = 0;
  int c;
  while ((c = getopt(argc, argv, "ho:k:r:ub:c:d:n:e:t:")) != -1) {
    switch (c) {
      case 'h':
        print_help();
        std::exit(1);
      case 'o':
        options.table_file = optarg;
        break;
      case 'k':
        if (!read_k(optarg, &options.build.outlier_k)) fail(std::string("bad -k ") + optarg);
        break;
      case 'r':
        if (!read_rnas(optarg, &options.build.min_rnas)) fail(format_message("bad -r %s", optarg));
        break;
      case 'u':
        options.upper_case = true;
        break;
      case 'b':
        options.base_csv = optarg;
        break;
      case 'c':
        options.compare_csv = optarg;
        break;
      case 'd':
        options.date = optarg;
        break;
      case 'n':
        options.notes.emplace_back(optarg);
        break;
      case 'e':
        options.report = optarg;
        break;
      case 't':
        trials = optarg;
        break;
      default:
        if (optopt == 'o' || optopt == 'k' || optopt == 'r' || optopt == 'b' || optopt == 'c' ||
            optopt == 'd' || optopt == 'n' || optopt == 'e' || optopt == 't') {
          fail(format_message("option -%c requires an argument (mirelon-stats -h for help)",
                              optopt));
        }
        fail(format_message("unknown option -%c (mirelon-stats -h for help)", optopt));
    }
  }
  if (optind != argc - 1) fail("give exactly one manifest (mirelon-stats -h for help)");
  options.manifest = argv[optind];
  for (size_t start = 0; start <= trials.size();) {
    const size_t comma = std::min(trials.find(',', start), trials.size());
    BuildSettings trial;
    const std::string word = trials.substr(start, comma - start);
    if (!read_trial(word, options.build.min_rnas, &trial)) {
      fail(format_message("bad setting '%s' in -t %s", word.c_str(), trials.c_str()));
    }
    options.trials.push_back(trial);
    start = comma + 1;
  }
  return options;
}

// The last part of a path: reports and headers name files without the
// folders of the machine they were built on.
std::string base_name(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string read_file(const std::string& name) {
  std::string content;
  if (!read_input_file(name.c_str(), &content)) fail("cannot open " + name);
  return content;
}

std::string settings_label(const BuildSettings& settings) {
  return (settings.outlier_k > 0 ? "k = " + format_g6(settings.outlier_k) : "no filter") +
         format_message(", r = %zu", settings.min_rnas);
}

// An entry of the manifest that the table does not use, and why.
struct LeftOut {
  std::string name;
  std::string why;     // for the table's header: "structure unreadable", ...
  std::string reason;  // the full message, for the report
};

// Everything read from the data set.
struct DataSet {
  std::vector<StatsEntry> entries;
  std::vector<LeftOut> left_out;
  PlacementCounts counts;
  size_t shifts_read = 0;
  size_t rnas = 0;
};

DataSet read_data_set(const Options& options) {
  std::vector<ManifestEntry> manifest;
  std::string error;
  if (!parse_manifest(read_file(options.manifest), options.manifest, &manifest, &error)) {
    fail(error);
  }
  DataSet data;
  for (const ManifestEntry& entry : manifest) {
    // A file that cannot be opened is a fault of the manifest and ends the
    // run; a file that cannot be read as a structure or a shift list leaves
    // its entry out, as the data sets hold a few such entries.
    Structure structure;
    if (!parse_structure(read_file(entry.structure_file), entry.structure_file, &structure,
                         &error)) {
      if (!error.empty() && error.back() == '\n') error.pop_back();
      data.left_out.push_back({entry.name, "structure unreadable", error});
      continue;
    }
    if (options.upper_case) convert_to_upper_rna(&structure);
    std::vector<ObservedShift> shifts;
    if (!parse_shift_file(read_file(entry.shift_file), entry.shift_file, &shifts, &error)) {
      data.left_out.push_back({entry.name, "shift list unreadable", error});
      continue;
    }
    data.shifts_read += shifts.size();
    StatsEntry placed;
    PlacementCounts counts;
    std::string disagreement;
    if (!place_shifts(entry, structure, shifts, &placed, &counts, &disagreement)) {
      data.left_out.push_back({entry.name, "shifts disagree with the sequence", disagreement});
      continue;
    }
    data.counts.add(counts);
    data.entries.push_back(std::move(placed));
  }
  data.rnas = number_rnas(&data.entries);
  return data;
}

size_t count_shifts(const std::vector<StatsEntry>& entries) {
  size_t n = 0;
  for (const StatsEntry& e : entries) n += e.shifts.size();
  return n;
}

std::vector<std::string> table_header(const Options& options, const DataSet& data,
                                      const StatisticsTable& table) {
  std::vector<std::string> header = {"Statistics table for mirelon, written by mirelon-stats."};
  header.emplace_back("Date: " + (options.date.empty() ? std::string("not given") : options.date));
  for (const std::string& note : options.notes) header.push_back(note);
  header.emplace_back();
  header.push_back(
      format_message("Data: %zu entries (%zu distinct RNAs, entries of the same "
                     "sequence counting as one), %zu shifts used.",
                     data.entries.size(), data.rnas, count_shifts(data.entries)));
  for (const LeftOut& left : data.left_out) {
    header.push_back("Left out: " + left.name + " (" + left.why + ")");
  }
  header.emplace_back("Filters: shifts of residues other than A, C, G, U and of atoms outside the");
  header.emplace_back("atom catalogue are not used; the first value of a repeated atom is used.");
  if (options.build.outlier_k > 0) {
    header.push_back(format_message(
        "Outliers: per base and atom, shifts beyond %s scaled median absolute deviations "
        "(MAD x 1.4826)",
        format_g6(options.build.outlier_k).c_str()));
    header.push_back(format_message("from the median are left out: %zu of %zu.", table.removed,
                                    table.observations));
  } else {
    header.emplace_back("Outliers: no filter.");
  }
  header.push_back(format_message(
      "Context statistics records need at least %ld observations from at least %zu distinct RNA%s.",
      kMinObservations, options.build.min_rnas, options.build.min_rnas == 1 ? "" : "s"));
  if (!options.base_csv.empty()) {
    header.push_back("Section 2 is taken from the per-atom table " + base_name(options.base_csv) +
                     ".");
  }
  return header;
}

void print_build_report(const Options& options, const DataSet& data, const StatisticsTable& table) {
  std::printf("Entries used: %zu (%zu distinct RNAs); shifts read: %zu, used: %zu\n",
              data.entries.size(), data.rnas, data.shifts_read, count_shifts(data.entries));
  std::printf(
      "Entries left out (unreadable structure or shifts, or the sequence "
      "disagrees): %zu\n",
      data.left_out.size());
  for (const LeftOut& left : data.left_out) {
    std::printf("  %s: %s\n", left.name.c_str(), left.reason.c_str());
  }
  size_t other_residues = 0, other_atoms = 0;
  for (const auto& [name, n] : data.counts.other_residues) other_residues += n;
  for (const auto& [name, n] : data.counts.other_atoms) other_atoms += n;
  std::printf("Shifts of residues other than A, C, G, U ignored: %zu\n", other_residues);
  for (const auto& [name, n] : data.counts.other_residues) {
    std::printf("  %-6s %zu\n", name.c_str(), n);
  }
  std::printf("Shifts of atoms outside the atom catalogue ignored: %zu\n", other_atoms);
  for (const auto& [name, n] : data.counts.other_atoms) {
    std::printf("  %-8s %zu\n", name.c_str(), n);
  }
  std::printf("Shifts of chains without an offset ignored: %zu\n", data.counts.unmapped_chains);
  std::printf("Repeated shifts of one atom ignored (first value kept): %zu, of which %zu differ\n",
              data.counts.repeated, data.counts.repeated_differing);
  std::printf("Outlier filter (%s): %zu of %zu shifts left out\n",
              settings_label(options.build).c_str(), table.removed, table.observations);
  for (const BaseStatistic& b : table.base) {
    if (b.removed == 0 || !b.has_median) continue;
    std::printf("  %s %-5s %4zu left out, kept %.4f to %.4f\n", b.base.c_str(), b.atom.c_str(),
                b.removed, b.limits.low, b.limits.high);
  }
  std::printf("Records written to %s: %zu context statistics, %zu base statistics\n",
              options.table_file.c_str(), table.context.size(), table.base.size());
}

std::vector<BaseStatistic> read_base_csv(const std::string& name) {
  std::vector<BaseStatistic> records;
  std::string error;
  if (!parse_base_statistics_csv(read_file(name), name, catalogue_rank, &records, &error)) {
    fail(error);
  }
  return records;
}

// Evaluates the table's settings, the other settings of -t and, with -c or -b,
// the other source of base statistics, and writes the report.
void write_evaluation(const Options& options, const DataSet& data,
                      const std::vector<BaseStatistic>* base_statistics) {
  std::string error;
  EvaluationSettings settings;
  settings.build = options.build;
  settings.base_statistics = base_statistics;
  Evaluation shipped;
  if (!evaluate_leave_one_rna_out(data.entries, data.rnas, settings, &shipped, &error)) {
    fail(error);
  }
  const std::vector<Observation> all = collect_observations(data.entries, data.rnas);
  AccuracyReport report;
  report.title = "Accuracy of the statistics table " + base_name(options.table_file);
  for (size_t i = 0; i < kLevelCount; ++i) report.nominal[i] = 100 * kLevelCoverages[i];
  report.context = shipped.context;
  report.baseline = shipped.baseline;
  report.target_atoms.assign(std::begin(kTargetAtoms), std::end(kTargetAtoms));
  report.description = {
      format_message("Leave-one-RNA-out evaluation: each of the %zu RNAs of the data set (%zu "
                     "entries; entries of the same sequence count as one RNA) is held out in "
                     "turn; a table built from all other RNAs with the same settings (%s%s) "
                     "predicts its shifts with the prediction code of mirelon, at every level "
                     "1 to 11, and the predictions, as \"kesta.prot\" prints them, are compared "
                     "with the observed shifts.",
                     data.rnas, data.entries.size(), settings_label(options.build).c_str(),
                     base_statistics != nullptr ? ", base statistics from the per-atom table" : ""),
      "With context: the table as built. Base only: the same table with an empty first "
      "section, so that every shift comes from the base statistics. RMSE: root mean square "
      "difference between observed shift and predicted mean. Coverage: share of observed "
      "shifts inside predicted mean plus or minus tolerance.",
      format_message("Held-out shifts %g or more scaled median absolute deviations away from "
                     "the median of their base and atom in the training RNAs are taken as "
                     "errors of the data (swapped atoms, values of another nucleus) and not "
                     "compared: %zu of %zu.",
                     kGrossErrorMads, shipped.gross_errors, all.size()),
  };
  for (const BuildSettings& build : options.trials) {
    EvaluationSettings trial_settings = settings;
    trial_settings.build = build;
    trial_settings.with_baseline = false;
    Evaluation trial;
    if (!evaluate_leave_one_rna_out(data.entries, data.rnas, trial_settings, &trial, &error)) {
      fail(error);
    }
    FilterTrial row;
    row.label = settings_label(build);
    if (base_statistics != nullptr) row.label += ", base statistics from the per-atom table";
    if (build.outlier_k == options.build.outlier_k && build.min_rnas == options.build.min_rnas) {
      row.label += " (this table)";
    }
    row.removed = build_statistics(all, build, catalogue_rank).removed;
    row.accuracy = trial.context;
    report.trials.push_back(std::move(row));
  }
  // The other source of base statistics: the data itself when the table
  // takes them from a per-atom table, the per-atom table of -c otherwise.
  std::vector<BaseStatistic> compared;
  if (base_statistics == nullptr && !options.compare_csv.empty()) {
    compared = read_base_csv(options.compare_csv);
  }
  if (base_statistics != nullptr || !options.compare_csv.empty()) {
    EvaluationSettings other = settings;
    other.base_statistics = base_statistics != nullptr ? nullptr : &compared;
    other.with_baseline = false;
    Evaluation trial;
    if (!evaluate_leave_one_rna_out(data.entries, data.rnas, other, &trial, &error)) fail(error);
    FilterTrial row;
    row.label =
        settings_label(options.build) +
        (base_statistics != nullptr ? ", base statistics from the data"
                                    : ", base statistics from " + base_name(options.compare_csv));
    row.removed = build_statistics(all, options.build, catalogue_rank).removed;
    row.accuracy = trial.context;
    report.trials.push_back(std::move(row));
  }
  write_output_file((options.report + ".md").c_str(), format_accuracy_markdown(report));
  write_output_file((options.report + ".svg").c_str(), format_accuracy_svg(report));
  std::printf("Evaluation written to %s.md and %s.svg\n", options.report.c_str(),
              options.report.c_str());
}

int run(int argc, char** argv) {
  const Options options = read_options(argc, argv);
  const DataSet data = read_data_set(options);
  if (data.entries.empty()) fail("no entry left to build a table from");

  std::vector<BaseStatistic> csv_base;
  if (!options.base_csv.empty()) csv_base = read_base_csv(options.base_csv);
  StatisticsTable table = build_statistics(collect_observations(data.entries, data.rnas),
                                           options.build, catalogue_rank);
  const StatisticsTable own_data = table;
  if (!options.base_csv.empty()) table.base = csv_base;
  write_output_file(options.table_file.c_str(),
                    format_statistics_table(table, table_header(options, data, table),
                                            format_multiplier_section()));
  print_build_report(options, data, own_data);
  if (!options.report.empty()) {
    write_evaluation(options, data, options.base_csv.empty() ? nullptr : &csv_base);
  }
  return 0;
}

}  // namespace
}  // namespace mirelon

int main(int argc, char** argv) { return mirelon::run(argc, argv); }
