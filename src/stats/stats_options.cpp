#include "stats/stats_options.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <optional>

#include "common/messages.h"
#include "common/numbers.h"
#include "common/options.h"

namespace mirelon {

namespace {

constexpr const char* kOptions = "ho:k:r:ub:c:d:n:e:t:Ry:";
constexpr const char* kOptionsWithArgument = "okrbcdnety";

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

StatsCommand refuse(const std::string& message, std::string* error) {
  *error = "mirelon-stats: " + message + "\n";
  return StatsCommand::kError;
}

}  // namespace

std::string stats_help_text() {
  return format_message(
      "Usage: mirelon-stats [options] MANIFEST\n\n"
      "Builds a statistics table for mirelon from secondary structures and assigned\n"
      "chemical shifts. MANIFEST lists one entry per line: NAME STRUCTURE SHIFTS [OFFSETS]\n"
      "(structure as CT, BPSEQ or dot-bracket; shifts as NMR-STAR 3, NEF or four-column\n"
      "RESNAME RESID ATOM VALUE lists; OFFSETS N or CHAIN:N,... maps shift residue\n"
      "numbers to structure positions; file names relative to the manifest; SHIFTS -\n"
      "for a structure whose contexts only count for how often each key occurs).\n\n"
      "\t-h\thelp\n"
      "\t-o\tstatistics table to write (default %s)\n"
      "\t-k\toutlier filter: leave out shifts beyond K scaled median absolute\n"
      "\t\tdeviations from the median of their base and atom; 0 for none (default %g)\n"
      "\t-R\traw statistics: one record per observed context with its own mean,\n"
      "\t\tstandard deviation and count (default: shrunk means for every likely\n"
      "\t\tcontext with cross-validated, calibrated spreads)\n"
      "\t-r\twith -R: distinct RNAs a context statistics record needs (default %zu)\n"
      "\t-u\twrite the bases of every structure in upper case, T as U, before use\n"
      "\t-b\ttake the base statistics from a per-atom table of comma-separated\n"
      "\t\tvalues comp_id,atom_id,count,min,max,avg,std (default: from the data)\n"
      "\t-c\tin the evaluation, also compare base statistics taken from such a table\n"
      "\t-d\tdate written into the table's header (default: none)\n"
      "\t-n\ta line for the table's header, such as a source or a licence (repeatable)\n"
      "\t-e\talso evaluate the table leaving out one RNA at a time and write the\n"
      "\t\treport to NAME.md and NAME.svg\n"
      "\t-t\traw settings also compared in the evaluation, comma-separated, each K\n"
      "\t\tor K:R for the values of -k and -r (default: none)\n"
      "\t-y\tin the evaluation, hold out only the first N RNAs of the manifest\n"
      "\t\t(a quick check; default: every RNA)\n",
      kDefaultStatsTable, kDefaultOutlierK, kDefaultMinRnas);
}

StatsCommand parse_stats_options(int argc, char** argv, StatsOptions* options, std::string* error) {
  std::string trials;
  opterr = 0;
  int c;
  while ((c = mirelon::next_option(argc, argv, kOptions)) != -1) {
    switch (c) {
      case 'h':
        return StatsCommand::kHelp;
      case 'o':
        options->table_file = optarg;
        break;
      case 'k':
        if (!read_k(optarg, &options->build.outlier_k)) {
          return refuse(std::string("bad -k ") + optarg, error);
        }
        break;
      case 'r':
        if (!read_rnas(optarg, &options->build.min_rnas)) {
          return refuse(format_message("bad -r %s", optarg), error);
        }
        break;
      case 'u':
        options->upper_case = true;
        break;
      case 'b':
        options->base_csv = optarg;
        break;
      case 'c':
        options->compare_csv = optarg;
        break;
      case 'd':
        options->date = optarg;
        break;
      case 'n':
        options->notes.emplace_back(optarg);
        break;
      case 'e':
        options->report = optarg;
        break;
      case 't':
        trials = optarg;
        break;
      case 'R':
        options->raw = true;
        break;
      case 'y':
        if (!read_rnas(optarg, &options->held_out_limit)) {
          return refuse(format_message("bad -y %s", optarg), error);
        }
        break;
      default:
        *error = option_error_message(optopt, kOptionsWithArgument);
        return StatsCommand::kError;
    }
  }
  if (optind != argc - 1)
    return refuse("give exactly one manifest (mirelon-stats -h for help)", error);
  options->manifest = argv[optind];
  for (size_t start = 0; !trials.empty() && start <= trials.size();) {
    const size_t comma = std::min(trials.find(',', start), trials.size());
    BuildSettings trial;
    const std::string word = trials.substr(start, comma - start);
    if (!read_trial(word, options->build.min_rnas, &trial)) {
      return refuse(format_message("bad setting '%s' in -t %s", word.c_str(), trials.c_str()),
                    error);
    }
    options->trials.push_back(trial);
    start = comma + 1;
  }
  return StatsCommand::kBuild;
}

std::string settings_label(const BuildSettings& settings) {
  return (settings.outlier_k > 0 ? "k = " + format_g6(settings.outlier_k) : "no filter") +
         format_message(", r = %zu", settings.min_rnas);
}

}  // namespace mirelon
