#include "check/check_report.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <utility>

#include "check/report_script.h"
#include "check/svg_drawing.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "common/prediction_levels.h"
#include "common/text.h"

namespace mirelon {

namespace {

// Outliers and swap candidates named in the summary; the table has all.
constexpr size_t kSummaryItems = 8;
constexpr size_t kSummaryLineWidth = 100;

struct AtomError {
  double squares = 0;
  size_t count = 0;
};

// Root-mean-square deviation of corrected from predicted shifts per atom
// name, in catalogue-like order of first appearance.
std::vector<std::pair<std::string, AtomError>> atom_errors(const AssignmentCheck& check) {
  std::vector<std::pair<std::string, AtomError>> errors;
  std::map<std::string, size_t> slot;
  for (const ComparedAtom& atom : check.atoms) {
    const auto [found, added] = slot.emplace(atom.atom, errors.size());
    if (added) errors.push_back({atom.atom, {}});
    AtomError& error = errors[found->second].second;
    const double difference = atom.corrected - atom.predicted.mean;
    error.squares += difference * difference;
    ++error.count;
  }
  return errors;
}

// "G12 H8", or "G12 (112 in the shift file) H8" (residue_name()).
std::string atom_name(const PredictionIndex& index, const AssignmentCheck& check,
                      const ComparedAtom& atom) {
  return residue_name(index, &check, atom.position) + " " + atom.atom;
}

std::string flags(const AssignmentCheck& check, const ComparedAtom& atom) {
  std::string out;
  const auto add = [&out](const char* flag) {
    if (!out.empty()) out += ',';
    out += flag;
  };
  if (atom.outlier) add("outlier");
  if (atom.swap) add("swap");
  if (atom.nucleus < kReferencedNuclei && check.referencing[atom.nucleus].applied) {
    add("offset removed");
  }
  return out.empty() ? "-" : out;
}

// The columns of the table of observed atoms, in the TSV file and the
// report; the shift file's residue numbers come last, with `numbers` only:
// where they differ from the residue numbers of the outputs (renumbered()).
std::vector<std::string> check_table_header(bool numbers) {
  std::vector<std::string> header = {"residue",   "base",      "atom", "observed",
                                     "predicted", "tolerance", "z",    "flags"};
  if (numbers) header.emplace_back("shift file residue");
  return header;
}

// The cells of `atom` in the table of observed atoms, as check_table_header()
// names them.
std::vector<std::string> check_table_row(const PredictionIndex& index, const AssignmentCheck& check,
                                         const ComparedAtom& atom, bool numbers) {
  std::vector<std::string> cells = {decimal(index.number(atom.position)),
                                    index.base(atom.position),
                                    atom.atom,
                                    format_message("%.3f", atom.observed),
                                    format_message("%.4f", atom.predicted.mean),
                                    format_message("%.4f", atom.predicted.tolerance),
                                    atom.spread > 0 ? format_z(atom.z, 2, false) : "-",
                                    flags(check, atom)};
  if (numbers) cells.push_back(atom.shift_residue);
  return cells;
}

// Appends `items` separated by ", " after `lead`, wrapping long lines.
void append_wrapped(std::string* out, const std::string& lead,
                    const std::vector<std::string>& items) {
  std::string line = lead;
  for (size_t i = 0; i < items.size(); ++i) {
    const std::string item = items[i] + (i + 1 < items.size() ? "," : "");
    if (line.size() + 1 + item.size() > kSummaryLineWidth && line.size() > lead.size()) {
      *out += line + "\n";
      line = "  ";
    } else if (!line.empty()) {
      line += ' ';
    }
    line += item;
  }
  *out += line + "\n";
}

std::string referencing_text(const AssignmentCheck& check, size_t nucleus) {
  const Referencing& r = check.referencing[nucleus];
  if (r.count == 0)
    return format_message("%s: none observed", nucleus_name(static_cast<Nucleus>(nucleus)));
  std::string text =
      format_message("%s %+.2f ppm [%+.2f, %+.2f] (%zu atoms)",
                     nucleus_name(static_cast<Nucleus>(nucleus)), r.median, r.low, r.high, r.count);
  if (r.applied) {
    text += format_message(": off by %+.2f ppm, removed before z and flags", r.median);
  }
  return text;
}

std::string level_text(long level) {
  return format_message("%ld (%g %%)", level,
                        100 * kLevelCoverages[static_cast<size_t>(level - kMinLevel)]);
}

void html_row(std::string* out, const std::vector<std::string>& cells, bool header = false,
              bool outlier = false, const std::string& id = "") {
  *out += "<tr";
  if (!id.empty()) *out += " id=\"" + xml_escape(id) + "\"";
  if (outlier) *out += " class=\"outlier\"";
  *out += ">";
  for (const std::string& cell : cells) {
    *out += header ? "<th>" : "<td>";
    *out += xml_escape(cell);
    *out += header ? "</th>" : "</td>";
  }
  *out += "</tr>\n";
}

// The page's style: the pictures scale down to the page's width; in a
// zoomed spectrum lines keep their width on screen.
constexpr std::string_view kStyle =
    "body{font-family:sans-serif;margin:1em 2em}\n"
    "table{border-collapse:collapse;font-size:90%}\ntd,th{border:1px solid #ccc;padding:2px 6px;"
    "text-align:right}\nsvg{max-width:100%;height:auto;border:1px solid #ddd}\n"
    "pre{background:#f6f6f6;padding:0.5em;white-space:pre-wrap}\n.outlier{background:#fdd}\n"
    "tr:target{background:#fe9}\nfigure{margin:0.5em 0}\n"
    ".view-controls{display:flex;flex-wrap:wrap;gap:0.4em;align-items:center;margin:0 0 0.3em}\n"
    ".view-controls button{min-width:2.4em}\n.view-controls output{font-family:monospace}\n"
    ".spectrum svg{user-select:none}\n.spectrum svg:focus-visible{outline:2px solid "
    "#4477aa}\n.zoomed svg{cursor:grab;touch-action:none}\n"
    ".dragging svg{cursor:grabbing}\n.plot *{vector-effect:non-scaling-stroke}\n";

// One spectrum as a figure the report's script can zoom: the experiment's
// id and its two nuclei on the figure, the picture inline.
void html_spectrum(std::string* out, const ExperimentOutput& output) {
  const Experiment& experiment = *output.experiment;
  const std::string id(experiment.id);
  *out += "<figure class=\"spectrum\" id=\"spectrum-" + xml_escape(id) + "\" data-experiment=\"" +
          xml_escape(id) + "\" data-nuclei=\"1H " + xml_escape(experiment.heavy_nucleus) + "\">\n";
  *out += inline_svg(output.picture.svg, id + "-",
                     "role=\"img\" aria-label=\"" +
                         xml_escape("predicted spectrum " + std::string(experiment.title)) + "\"");
  *out += "</figure>\n";
}

// The table of observed atoms; the first row of each residue is the target
// of that residue's bar in the residue picture.
void html_atom_table(std::string* out, const CheckReport& report) {
  *out += "<table>\n";
  const bool numbers = renumbered(*report.check);
  html_row(out, check_table_header(numbers), true);
  std::set<size_t> anchored;
  for (const ComparedAtom& atom : report.check->atoms) {
    const bool first = anchored.insert(atom.position).second;
    html_row(out, check_table_row(*report.index, *report.check, atom, numbers), false, atom.outlier,
             first ? residue_anchor(residue_label(*report.index, atom.position)) : std::string());
  }
  *out += "</table>\n";
}

}  // namespace

std::vector<ObservedPeak> observed_peaks(const AssignmentCheck& check,
                                         const std::vector<PredictedPeak>& peaks) {
  std::map<std::pair<size_t, std::string_view>, const ComparedAtom*> atoms;
  for (const ComparedAtom& atom : check.atoms)
    atoms.emplace(std::make_pair(atom.position, std::string_view(atom.atom)), &atom);
  std::vector<ObservedPeak> observed;
  for (size_t i = 0; i < peaks.size(); ++i) {
    const auto heavy = atoms.find({peaks[i].position, peaks[i].atoms.heavy});
    const auto proton = atoms.find({peaks[i].position, peaks[i].atoms.proton});
    if (heavy == atoms.end() || proton == atoms.end()) continue;
    const auto z = [](const ComparedAtom* atom) {
      return atom->spread > 0 ? std::optional<double>(atom->z) : std::nullopt;
    };
    observed.push_back({i, heavy->second->corrected, proton->second->corrected,
                        heavy->second->outlier || proton->second->outlier, z(heavy->second),
                        z(proton->second)});
  }
  return observed;
}

std::string format_z(double z, int decimals, bool sign) {
  if (std::fabs(z) > kMaxFixedZ) return format_message(sign ? "%+.3g" : "%.3g", z);
  return format_message(sign ? "%+.*f" : "%.*f", decimals, z);
}

std::string format_check_table(const PredictionIndex& index, const AssignmentCheck& check) {
  const auto tsv_line = [](const std::vector<std::string>& cells) {
    std::string line;
    for (const std::string& cell : cells) line += (line.empty() ? "" : "\t") + cell;
    return line + "\n";
  };
  const bool numbers = renumbered(check);
  std::string out = tsv_line(check_table_header(numbers));
  for (const ComparedAtom& atom : check.atoms) {
    out += tsv_line(check_table_row(index, check, atom, numbers));
  }
  return out;
}

std::string format_ranking(const CheckReport& report) {
  const StructureRanking& ranking = *report.ranking;
  std::string out = format_message(
      "Structures ranked by the fit of %zu observed shifts (log-likelihood, heavy-tailed), best "
      "first:\n",
      ranking.atoms);
  for (size_t rank = 0; rank < ranking.order.size(); ++rank) {
    const RankedStructure& ranked = ranking.order[rank];
    out += format_message("%3zu  %10.2f  %8.2f  %s\n", rank + 1, ranked.log_likelihood,
                          ranked.difference, report.structure_names[ranked.structure].c_str());
  }
  if (!ranking.discriminating.empty()) {
    std::vector<std::string> items;
    for (const ResidueEvidence& evidence : ranking.discriminating) {
      items.push_back(format_message(
          "%s %+.1f", residue_name(*report.index, report.check, evidence.position).c_str(),
          evidence.difference));
    }
    append_wrapped(&out, "Residues that discriminate most (best minus second):", items);
  }
  return out;
}

std::string format_summary(const CheckReport& report) {
  std::string out =
      format_message("Structure: %s\nTable: %s\nLevel: %s\n", report.legend.structure.c_str(),
                     report.legend.table.c_str(), level_text(report.legend.level).c_str());
  if (report.ranking != nullptr) {
    out += format_ranking(report);
    out += "Pictures, table and checks are for the best-ranked structure.\n";
  }
  std::vector<std::string> peaks;
  for (const ExperimentOutput& output : report.experiments) {
    peaks.push_back(format_message("%s %zu", std::string(output.experiment->title).c_str(),
                                   output.peaks.size()));
  }
  append_wrapped(&out, "Predicted peaks:", peaks);
  if (report.check == nullptr) return out;

  const AssignmentCheck& check = *report.check;
  out += format_message(
      "Atoms compared: %zu of %s (%zu observed shifts left out: no residue, base "
      "or prediction, or listed twice",
      check.atoms.size(), report.shift_file.c_str(), check.unmatched);
  out += check.base_mismatches > 0
             ? format_message(", %zu of them of another base than the structure's)\n",
                              check.base_mismatches)
             : std::string(")\n");
  std::vector<std::string> errors;
  for (const auto& [atom, error] : atom_errors(check)) {
    errors.push_back(format_message("%s %.2f (%zu)", atom.c_str(),
                                    std::sqrt(error.squares / static_cast<double>(error.count)),
                                    error.count));
  }
  append_wrapped(&out, "RMSE per atom type (ppm, atoms):", errors);
  std::vector<std::string> referencing;
  for (size_t nucleus = 0; nucleus < kReferencedNuclei; ++nucleus) {
    referencing.push_back(referencing_text(check, nucleus));
  }
  append_wrapped(&out, "Referencing (median observed - predicted, 95 % interval):", referencing);

  std::vector<const ComparedAtom*> outliers;
  for (const ComparedAtom& atom : check.atoms) {
    if (atom.outlier) outliers.push_back(&atom);
  }
  std::stable_sort(outliers.begin(), outliers.end(),
                   [](const ComparedAtom* a, const ComparedAtom* b) {
                     return std::fabs(a->z) > std::fabs(b->z);
                   });
  std::vector<std::string> items;
  for (size_t i = 0; i < outliers.size() && i < kSummaryItems; ++i) {
    items.push_back(format_message("%s (z %s)",
                                   atom_name(*report.index, check, *outliers[i]).c_str(),
                                   format_z(outliers[i]->z, 1, true).c_str()));
  }
  if (outliers.size() > kSummaryItems) items.emplace_back("...");
  append_wrapped(&out,
                 format_message("Outliers: %zu outside their tolerance%s", outliers.size(),
                                outliers.empty() ? "" : ":"),
                 items);
  items.clear();
  for (size_t i = 0; i < check.swaps.size() && i < kSummaryItems; ++i) {
    const SwapCandidate& swap = check.swaps[i];
    items.push_back(format_message(
        "%s <-> %s (gain %.1f)", atom_name(*report.index, check, check.atoms[swap.first]).c_str(),
        atom_name(*report.index, check, check.atoms[swap.second]).c_str(), swap.gain));
  }
  if (check.swaps.size() > kSummaryItems) items.emplace_back("...");
  append_wrapped(
      &out,
      format_message("Swap candidates: %zu%s", check.swaps.size(), check.swaps.empty() ? "" : ":"),
      items);
  return out;
}

std::string format_html_report(const CheckReport& report) {
  std::string out =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta "
      "charset=\"utf-8\">\n<title>mirelon-check: " +
      xml_escape(report.legend.structure) + "</title>\n<style>\n" + std::string(kStyle) +
      "</style>\n</head>\n<body>\n";
  out += "<h1>mirelon-check</h1>\n<pre>" + xml_escape(format_summary(report)) + "</pre>\n";
  out += "<h2>Predicted spectra</h2>\n";
  for (const ExperimentOutput& output : report.experiments) {
    out += "<h3>" + xml_escape(std::string(output.experiment->title)) + "</h3>\n";
    html_spectrum(&out, output);
    out += "<p>Peak list: " + xml_escape(output.list_file) +
           "; picture: " + xml_escape(output.svg_file) + "</p>\n";
  }
  if (report.check != nullptr) {
    out += "<h2>Residues</h2>\n<figure>\n";
    out += inline_svg(report.residue_svg, "residues-", "aria-label=\"mean |z| per residue\"");
    out += "</figure>\n<h2>Observed atoms</h2>\n";
    html_atom_table(&out, report);
    out += "<h2>Swap candidates</h2>\n<table>\n";
    html_row(&out, {"atom", "exchanged with", "gain in sum of z squared"}, true);
    for (const SwapCandidate& swap : report.check->swaps) {
      html_row(&out, {atom_name(*report.index, *report.check, report.check->atoms[swap.first]),
                      atom_name(*report.index, *report.check, report.check->atoms[swap.second]),
                      format_message("%.1f", swap.gain)});
    }
    out += "</table>\n";
  }
  out += "<h2>Predicted peaks</h2>\n";
  for (const ExperimentOutput& output : report.experiments) {
    out += "<h3>" + xml_escape(std::string(output.experiment->title)) + "</h3>\n<table>\n";
    html_row(&out, {"assignment", "w1 (ppm)", "tolerance", "w2 (ppm)", "tolerance"}, true);
    for (const PredictedPeak& peak : output.peaks) {
      html_row(&out, {peak_assignment(*report.index, peak), format_message("%.3f", peak.heavy.mean),
                      format_message("%.4f", peak.heavy.tolerance),
                      format_message("%.3f", peak.proton.mean),
                      format_message("%.4f", peak.proton.tolerance)});
    }
    out += "</table>\n";
  }
  out += "<script>\n" + std::string(report_script()) + "</script>\n</body>\n</html>\n";
  return out;
}

namespace {

// The name of a reference to an id at `at` ("id=\"NAME\"", "url(#NAME)" or
// "href=\"#NAME\""): where NAME starts and the character that ends it; an
// empty lead when there is none.
struct IdReference {
  std::string_view lead;
  char end = 0;
};
constexpr IdReference kIdReferences[] = {{" id=\"", '"'}, {"url(#", ')'}, {"href=\"#", '"'}};

}  // namespace

std::string inline_svg(std::string_view svg, std::string_view id_prefix,
                       std::string_view attributes) {
  constexpr std::string_view kDeclarationEnd = "?>\n";
  if (svg.substr(0, 5) == "<?xml" && svg.find(kDeclarationEnd) != std::string_view::npos) {
    svg.remove_prefix(svg.find(kDeclarationEnd) + kDeclarationEnd.size());
  }
  // The ids the picture defines: only references to these are its own.
  std::set<std::string_view> ids;
  const std::string_view defined = kIdReferences[0].lead;
  for (size_t at = svg.find(defined); at != std::string_view::npos;
       at = svg.find(defined, at + 1)) {
    const size_t start = at + defined.size();
    ids.insert(svg.substr(start, svg.find('"', start) - start));
  }
  std::string out;
  out.reserve(svg.size() + attributes.size() + 1);
  size_t copied = 0;
  for (size_t at = 0; at < svg.size(); ++at) {
    for (const IdReference& reference : kIdReferences) {
      // The first byte rules out nearly every place without a call.
      if (svg[at] != reference.lead.front() ||
          svg.compare(at, reference.lead.size(), reference.lead) != 0) {
        continue;
      }
      const size_t start = at + reference.lead.size();
      const size_t end = svg.find(reference.end, start);
      if (end == std::string_view::npos || ids.count(svg.substr(start, end - start)) == 0) break;
      out.append(svg, copied, start - copied);
      out += id_prefix;
      copied = start;
      break;
    }
  }
  out.append(svg, copied);
  const size_t tag = out.find("<svg");
  if (tag != std::string::npos && !attributes.empty()) {
    out.insert(tag + 4, " " + std::string(attributes));
  }
  return out;
}

}  // namespace mirelon
