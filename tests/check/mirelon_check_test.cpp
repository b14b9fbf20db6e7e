// mirelon-check as users run it: its predictions against mirelon's
// "kesta.prot" on shared CT files, its peak lists read back, its pictures
// and report checked by an XML parser and a real SVG renderer, the check and
// the ranking on standard output.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "check/predicted_peaks.h"
#include "check/report_checks.h"
#include "common/files.h"
#include "common/numbers.h"
#include "common/text.h"
#include "prediction/structure_prediction.h"
#include "prediction/table_file.h"
#include "program_run.h"
#include "structure/structure.h"
#include "svg_reading.h"

namespace mirelon {
namespace {

namespace fs = std::filesystem;

const char* const kCheck = MIRELON_CHECK_BINARY;

bool have_tool(const char* tool) {
  return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// The lines of "kesta.prot" by residue number and atom: mean and tolerance
// as printed.
using KestaKey = std::pair<std::string, std::string>;
std::map<KestaKey, std::pair<std::string, std::string>> read_kesta(const std::string& content) {
  std::map<KestaKey, std::pair<std::string, std::string>> lines;
  LineReader reader(content);
  std::vector<std::string_view> words;
  while (reader.next_words(&words)) {
    EXPECT_EQ(words.size(), 6u);
    lines.emplace(KestaKey(words[4], words[3]),
                  std::make_pair(std::string(words[1]), std::string(words[2])));
  }
  return lines;
}

// A Sparky peak list read back: assignment, w1, w2 per peak.
struct ListPeak {
  std::string assignment;
  double w1 = 0;
  double w2 = 0;
};
std::vector<ListPeak> read_peak_list(const std::string& content) {
  std::vector<ListPeak> peaks;
  LineReader reader(content);
  std::string_view line;
  bool terminated = false;
  EXPECT_TRUE(reader.next(&line, &terminated));
  EXPECT_EQ(line, "      Assignment         w1         w2");
  EXPECT_TRUE(reader.next(&line, &terminated));
  EXPECT_EQ(line, "");
  while (reader.next(&line, &terminated)) {
    const std::vector<std::string_view> words = split_words(line);
    EXPECT_EQ(words.size(), 3u) << line;
    if (words.size() != 3) continue;
    // Columns end at 16, 27 and 38 characters.
    EXPECT_EQ(line.size(), 38u) << line;
    peaks.push_back(
        {std::string(words[0]), *real_number_value(words[1]), *real_number_value(words[2])});
  }
  return peaks;
}

// "G12C1'-H1'" split into residue number and the two atoms.
bool split_assignment(const std::string& text, std::string* number, std::string* heavy,
                      std::string* proton) {
  size_t i = 0;
  while (i < text.size() && std::isalpha(static_cast<unsigned char>(text[i])) != 0) ++i;
  const size_t digits = i;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) != 0) ++i;
  const size_t dash = text.find('-', i);
  if (digits == 0 || i == digits || dash == std::string::npos) return false;
  *number = text.substr(digits, i - digits);
  *heavy = text.substr(i, dash - i);
  *proton = text.substr(dash + 1);
  return true;
}

// Predictions equal "kesta.prot" of mirelon at the same level and table,
// to the last printed digit, and the peak lists carry them.
TEST(MirelonCheckTest, PredictionsEqualKestaProt) {
  const std::vector<std::string> files = {
      "ct/cs2structure/2N7X-2D-ct.txt", "ct/cs2structure/2N82-2D-ct.txt",
      "ct/cs2structure/5KH8-2D-ct.txt", "ct/archiveII/5s_Acanthamoeba-castellanii-1.ct",
      "ct/archiveII/tRNA_tdbR00000001-Halobacterium_salinarum-2242-Ala-CGC.ct"};
  if (!fs::exists(MIRELON_SHARED_DATA)) GTEST_SKIP() << "no shared data";
  StatTable table;
  std::string error;
  ASSERT_TRUE(load_stat_table(MIRELON_TABLE, &table, &error)) << error;
  std::string table_text;
  ASSERT_TRUE(read_input_file(MIRELON_TABLE, &table_text));
  for (const std::string& name : files) {
    SCOPED_TRACE(name);
    const std::string path = std::string(MIRELON_SHARED_DATA) + "/" + name;
    ProgramRun run;
    ASSERT_TRUE(run.ok());
    run.write("statfile.tab", table_text);
    ASSERT_EQ(run.run("-s '" + path + "' -c 8"), 0);
    ASSERT_EQ(run.run_program(kCheck, "-s '" + path + "' -o out"), 0) << run.file("stderr");
    const auto kesta = read_kesta(run.file("kesta.prot"));
    ASSERT_GT(kesta.size(), 100u);

    std::string content;
    ASSERT_TRUE(read_input_file(path.c_str(), &content));
    std::vector<Structure> structures;
    ASSERT_TRUE(parse_structures(content, path, &structures, &error)) << error;
    StructurePrediction prediction;
    ASSERT_TRUE(predict_structure_shifts(structures.front(), table, 8, &prediction, &error));
    const PredictionIndex index(prediction);
    size_t compared = 0;
    for (size_t position = 0; position < index.size(); ++position) {
      for (const auto& [key, printed] : kesta) {
        if (key.first != decimal(index.number(position))) continue;
        const PredictedShift* shift = index.find(position, key.second);
        ASSERT_NE(shift, nullptr) << key.first << " " << key.second;
        EXPECT_EQ(format_f4(shift->mean), printed.first);
        EXPECT_EQ(format_f4(shift->tolerance), printed.second);
        ++compared;
      }
    }
    EXPECT_EQ(compared, kesta.size());

    size_t listed = 0;
    for (const Experiment& experiment : experiments()) {
      for (const ListPeak& peak :
           read_peak_list(run.file("out-" + std::string(experiment.id) + ".list"))) {
        std::string number, heavy, proton;
        ASSERT_TRUE(split_assignment(peak.assignment, &number, &heavy, &proton)) << peak.assignment;
        const auto w1 = kesta.find({number, heavy});
        const auto w2 = kesta.find({number, proton});
        ASSERT_TRUE(w1 != kesta.end() && w2 != kesta.end()) << peak.assignment;
        EXPECT_NEAR(peak.w1, strtod_text(w1->second.first), 0.00051) << peak.assignment;
        EXPECT_NEAR(peak.w2, strtod_text(w2->second.first), 0.00051) << peak.assignment;
        // w1 is the heteronucleus.
        EXPECT_TRUE(heavy[0] == 'C' || heavy[0] == 'N');
        EXPECT_EQ(proton[0], 'H');
        ++listed;
      }
    }
    EXPECT_GT(listed, index.size());
  }
}

const char* const kHairpin =
    ">hairpin\nGGCACUUCGGUGCCAGAGCUACGCAAGUGC\n((((((....))))))..((((....))))\n";
const char* const kNoSecondHelix =
    ">one helix\nGGCACUUCGGUGCCAGAGCUACGCAAGUGC\n((((((....))))))..............\n";

// A four-column shift list from a run's "kesta.prot": every H1', C1', H8,
// C8, H6 and C6 at its prediction, 13C values raised by `carbon_offset`.
std::string shifts_from_kesta(const std::string& kesta, const std::string& sequence,
                              double carbon_offset) {
  std::string out;
  LineReader reader(kesta);
  std::vector<std::string_view> words;
  while (reader.next_words(&words)) {
    const std::string atom(words[3]);
    if (atom != "H1'" && atom != "C1'" && atom != "H8" && atom != "C8" && atom != "H6" &&
        atom != "C6" && atom != "H2'" && atom != "C2'") {
      continue;
    }
    const long residue = *whole_number_value(words[4]);
    double value = strtod_text(std::string(words[1]));
    if (atom[0] == 'C') value += carbon_offset;
    out += std::string(1, sequence[static_cast<size_t>(residue - 1)]) + " " + decimal(residue) +
           " " + atom + " " + format_f4(value) + "\n";
  }
  return out;
}

// Writes the shipped table, the hairpin as hairpin.db and shifts.txt: its
// predictions at level 8 as mirelon writes them, 13C raised by
// `carbon_offset`.
bool write_hairpin_shifts(const ProgramRun& run, double carbon_offset) {
  std::string table_text;
  if (!run.ok() || !read_input_file(MIRELON_TABLE, &table_text)) return false;
  run.write("statfile.tab", table_text);
  run.write("hairpin.db", kHairpin);
  if (run.run_program(MIRELON_CT_BINARY, "hairpin.db -o hairpin.ct") != 0 ||
      run.run("-s hairpin.ct -c 8") != 0) {
    return false;
  }
  run.write("shifts.txt", shifts_from_kesta(run.file("kesta.prot"),
                                            "GGCACUUCGGUGCCAGAGCUACGCAAGUGC", carbon_offset));
  return true;
}

// A 13C offset of 2.5 ppm is reported, removed and leaves no outlier; the
// table holds every observed atom; the report loads nothing, has its script,
// and each residue observed is the target of one row, its first.
TEST(MirelonCheckTest, CarbonOffsetRemovedInSummaryTableAndReport) {
  ProgramRun run;
  ASSERT_TRUE(write_hairpin_shifts(run, 2.5));
  ASSERT_EQ(run.run_program(kCheck, "-s hairpin.db shifts.txt"), 0) << run.file("stderr");
  EXPECT_EQ(run.file("stderr"), "");
  const std::string summary = run.file("stdout");
  EXPECT_NE(summary.find("13C +2.50 ppm"), std::string::npos) << summary;
  EXPECT_NE(summary.find("off by +2.50 ppm, removed before z and flags"), std::string::npos);
  EXPECT_NE(summary.find("Outliers: 0 outside"), std::string::npos) << summary;
  const std::string html = run.file("mirelon-check.html");
  EXPECT_EQ(report_problems(html), "");
  EXPECT_TRUE(has_report_script(html));
  EXPECT_EQ(values_after(html, "<figure class=\"spectrum\"", '>').size(), experiments().size());
  const std::regex row("<tr id=\"residue-([ACGU])([0-9]+)\"[^>]*><td>([0-9]+)</td><td>([ACGU])<");
  std::vector<long> anchored;
  for (auto it = std::sregex_iterator(html.begin(), html.end(), row); it != std::sregex_iterator();
       ++it) {
    EXPECT_EQ((*it)[1], (*it)[4]);
    EXPECT_EQ((*it)[2], (*it)[3]);
    anchored.push_back(std::stol((*it)[2]));
  }
  EXPECT_EQ(anchored.size(), 30u) << "every residue of the hairpin once";
  EXPECT_TRUE(std::is_sorted(anchored.begin(), anchored.end()));
  EXPECT_EQ(std::adjacent_find(anchored.begin(), anchored.end()), anchored.end());
  // The table: header and one line per observed atom.
  const std::string tsv = run.file("mirelon-check.tsv");
  EXPECT_EQ(tsv.substr(0, tsv.find('\n')),
            "residue\tbase\tatom\tobserved\tpredicted\ttolerance\tz\tflags");
  EXPECT_EQ(count_terminated_lines(tsv) - 1, count_terminated_lines(run.file("shifts.txt")));
}

// xmllint's messages on an HTML page, less those on tags that its HTML 4
// parser does not know (figure, output, and svg with its content inline):
// those tags are valid HTML5, and any other error stays.
std::string html_errors(const std::string& messages) {
  static const std::regex unknown_tag(": HTML parser error : Tag [A-Za-z]+ invalid$");
  std::string errors;
  std::string message;  // a message: its first line and the lines quoting the page
  bool keep = false;
  LineReader reader(messages);
  std::string_view line;
  bool terminated = false;
  while (reader.next(&line, &terminated)) {
    if (line.find(": HTML parser error : ") != std::string_view::npos) {
      if (keep) errors += message;
      message.clear();
      keep = !std::regex_search(std::string(line), unknown_tag);
    }
    message += std::string(line) + "\n";
  }
  if (keep) errors += message;
  return errors;
}

// Every picture is well-formed XML that a real renderer draws, and the
// report well-formed HTML. Without the tools the test is skipped, unless
// MIRELON_REQUIRE_TOOLS=1 (as in continuous integration) makes that a
// failure.
TEST(MirelonCheckTest, PicturesAndReportAreWellFormedAndRendered) {
  if (!have_tool("xmllint") || !have_tool("rsvg-convert")) {
    const char* required = std::getenv("MIRELON_REQUIRE_TOOLS");
    if (required != nullptr && std::string(required) == "1") {
      FAIL() << "xmllint or rsvg-convert not installed, and MIRELON_REQUIRE_TOOLS=1 requires them";
    }
    GTEST_SKIP() << "xmllint or rsvg-convert not installed";
  }
  ProgramRun run;
  ASSERT_TRUE(write_hairpin_shifts(run, 2.5));
  ASSERT_EQ(run.run_program(kCheck, "-s hairpin.db shifts.txt"), 0) << run.file("stderr");
  std::vector<std::string> svgs = {"mirelon-check-residues.svg"};
  for (const Experiment& experiment : experiments()) {
    svgs.push_back("mirelon-check-" + std::string(experiment.id) + ".svg");
  }
  for (const std::string& svg : svgs) {
    SCOPED_TRACE(svg);
    ASSERT_NE(run.file(svg), "(none)");
    EXPECT_EQ(run.run_program("xmllint", "--noout " + svg), 0) << run.file("stderr");
    EXPECT_EQ(run.run_program("rsvg-convert", svg + " -o picture.png"), 0) << run.file("stderr");
    EXPECT_EQ(run.file("stderr"), "");
    EXPECT_EQ(run.file("picture.png").substr(1, 3), "PNG");
  }
  EXPECT_EQ(run.run_program("xmllint", "--html --noout mirelon-check.html"), 0);
  EXPECT_EQ(html_errors(run.file("stderr")), "");
  // Every other error stays: an end tag that closes nothing.
  run.write("bad.html",
            "<!DOCTYPE html>\n<html><body><figure><p>x</span></p></figure></body></html>\n");
  run.run_program("xmllint", "--html --noout bad.html");
  const std::string errors = html_errors(run.file("stderr"));
  EXPECT_NE(errors.find("HTML parser error : Unexpected end tag : span\n"), std::string::npos)
      << errors;
  EXPECT_EQ(errors.find("Tag figure invalid"), std::string::npos) << errors;
}

// The shared RNAs with their observed lists: 1LC6 (NMR-STAR entry 5371 with
// the structure of the mcsf list) and 2N7X (its CT file, the shift list
// numbered from 19). In every panel every predicted position is labelled
// at 1x and at least 90 % of the observed peaks, and no label covers a
// mark, a line end or another label at any zoom.
TEST(MirelonCheckTest, SharedRnasLabelEveryPredictionAndMostObservedPeaks) {
  if (!fs::exists(MIRELON_SHARED_DATA)) GTEST_SKIP() << "no shared data";
  const std::string shared = MIRELON_SHARED_DATA;
  ProgramRun run;
  ASSERT_TRUE(run.ok());
  std::string mcsf;
  ASSERT_TRUE(
      read_input_file((shared + "/shifts/mcsf/structures_wo_dash_210419.txt").c_str(), &mcsf));
  const size_t line = mcsf.find("\n1LC6 ");
  ASSERT_NE(line, std::string::npos);
  const std::vector<std::string_view> words =
      split_words(std::string_view(mcsf).substr(line + 1, mcsf.find('\n', line + 1) - line - 1));
  std::string sequence(words[1]);
  for (char& c : sequence) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  run.write("1LC6.db", ">1LC6\n" + sequence + "\n" + std::string(words[2]) + "\n");
  struct Case {
    const char* name;
    std::string arguments;
  };
  const Case cases[] = {
      {"1LC6", "-s 1LC6.db '" + shared + "/shifts/nmrstar_examples/bmr5371.str'"},
      {"2N7X", "-s '" + shared + "/ct/cs2structure/2N7X-2D-ct.txt' -O -18 '" + shared +
                   "/shifts/cs2structure/raw_chemical_shifts/measured_shifts_2N7X.dat'"}};
  std::string table_text;
  ASSERT_TRUE(read_input_file(MIRELON_TABLE, &table_text));
  run.write("statfile.tab", table_text);
  for (const Case& c : cases) {
    ASSERT_EQ(run.run_program(kCheck, c.arguments + " -o " + c.name), 0) << run.file("stderr");
    size_t observed_total = 0;
    for (const Experiment& experiment : experiments()) {
      SCOPED_TRACE(std::string(c.name) + " " + std::string(experiment.id));
      const SvgPicture svg = read_svg_picture(
          run.file(std::string(c.name) + "-" + std::string(experiment.id) + ".svg"));
      EXPECT_EQ(first_overlap(svg), "");
      size_t predicted = 0;
      size_t observed = 0;
      for (const SvgElement& mark : svg.marks) {
        (mark.get("data-kind") == "observed" ? observed : predicted) += 1;
      }
      size_t predicted_labels = 0;
      size_t observed_labels = 0;
      for (const SvgElement& label : svg.labels) {
        if (label.get("data-zoom") != "1") continue;
        (label.get("data-kind") == "observed" ? observed_labels : predicted_labels) += 1;
      }
      EXPECT_EQ(predicted_labels, predicted);
      EXPECT_GE(observed_labels * 10, observed * 9);
      observed_total += observed;
    }
    EXPECT_GT(observed_total, 40u);
  }
}

// The 780-nt group II intron's H1'-C1' panel at 4x: in each window of a
// 4 x 4 grid of the plot, at least 70 % of the distinct positions in view
// carry a label, and none covers anything at any zoom.
TEST(MirelonCheckTest, LargeRnaLabelledWindowByWindowAt4x) {
  if (!fs::exists(MIRELON_SHARED_DATA)) GTEST_SKIP() << "no shared data";
  ProgramRun run;
  ASSERT_TRUE(run.ok());
  ASSERT_EQ(
      run.run_program(kCheck, "-f '" + std::string(MIRELON_TABLE) + "' -s '" + MIRELON_SHARED_DATA +
                                  "/ct/archiveII/grp2_a.I2.c.N.tabacum.A.A6.i1.ct' -o intron"),
      0)
      << run.file("stderr");
  const SvgPicture svg = read_svg_picture(run.file("intron-h1c1.svg"));
  EXPECT_EQ(first_overlap(svg), "");
  std::map<std::pair<std::string, std::string>, bool> labelled;  // by point
  for (const SvgElement& mark : svg.marks)
    labelled[{mark.get("data-x"), mark.get("data-y")}] = false;
  for (const SvgElement& label : svg.labels)
    labelled[{label.get("data-x"), label.get("data-y")}] = true;
  // The file shows the labels of 1x and hides those that only a zoom shows.
  size_t hidden = 0;
  for (const SvgElement& label : svg.labels) {
    EXPECT_EQ(label.get("display") == "none", label.get("data-zoom") != "1") << label.text;
    if (label.get("display") == "none") ++hidden;
  }
  EXPECT_GT(hidden, 0u);
  ASSERT_GT(labelled.size(), 200u);
  constexpr int kGrid = 4;
  const Box& area = svg.area;
  for (int row = 0; row < kGrid; ++row) {
    for (int column = 0; column < kGrid; ++column) {
      const double x = area.x + column * area.width / kGrid;
      const double y = area.y + row * area.height / kGrid;
      size_t in_view = 0;
      size_t named = 0;
      for (const auto& [point, has_label] : labelled) {
        const double px = std::strtod(point.first.c_str(), nullptr);
        const double py = std::strtod(point.second.c_str(), nullptr);
        if (px < x || px >= x + area.width / kGrid || py < y || py >= y + area.height / kGrid) {
          continue;
        }
        ++in_view;
        if (has_label) ++named;
      }
      EXPECT_GE(named * 10, in_view * 7) << "window " << row << ", " << column;
    }
  }
}

// The picture level changes the pictures only: peak lists, table and
// summary stay those of the check level.
TEST(MirelonCheckTest, PictureLevelChangesOnlyThePictures) {
  ProgramRun run;
  ASSERT_TRUE(write_hairpin_shifts(run, 0));
  const auto summary_of = [&run](const std::string& arguments) {
    EXPECT_EQ(run.run_program(kCheck, arguments), 0) << run.file("stderr");
    return run.file("stdout");
  };
  EXPECT_EQ(summary_of("-s hairpin.db -p 6 -o six shifts.txt"),
            summary_of("-s hairpin.db -o one shifts.txt"));
  EXPECT_EQ(run.file("six.tsv"), run.file("one.tsv"));
  EXPECT_EQ(run.file("six-h1c1.list"), run.file("one-h1c1.list"));
  EXPECT_NE(run.file("six-h1c1.svg"), run.file("one-h1c1.svg"));
  EXPECT_NE(run.file("six-h1c1.svg").find("picture level 6 (95 %"), std::string::npos);
}

TEST(MirelonCheckTest, RanksStructuresAndChecksTheBest) {
  ProgramRun run;
  ASSERT_TRUE(write_hairpin_shifts(run, 0));
  run.write("one.db", kNoSecondHelix);
  ASSERT_EQ(run.run_program(kCheck, "-s one.db -s hairpin.db -o ranked shifts.txt"), 0)
      << run.file("stderr");
  const std::string summary = run.file("stdout");
  EXPECT_NE(summary.find("\n  1  "), std::string::npos) << summary;
  const size_t first = summary.find("\n  1  ");
  const std::string first_line =
      summary.substr(first + 1, summary.find('\n', first + 1) - first - 1);
  EXPECT_NE(first_line.find("hairpin.db"), std::string::npos) << summary;
  EXPECT_NE(first_line.find("    0.00  "), std::string::npos) << summary;
  EXPECT_NE(summary.find("Structure: hairpin.db"), std::string::npos);
  EXPECT_NE(summary.find("Residues that discriminate most"), std::string::npos);
  EXPECT_NE(summary.find("Pictures, table and checks are for the best-ranked structure."),
            std::string::npos);
  EXPECT_NE(run.file("ranked.html"), "(none)");
  EXPECT_EQ(run.file("stderr"), "") << "a clear lead needs no note";

  // Two structures the shifts cannot tell apart: ranked as given, with a
  // note on standard error that leaves the summary as it is.
  run.write("same.db", run.file("hairpin.db"));
  ASSERT_EQ(run.run_program(kCheck, "-s hairpin.db -s same.db -o tied shifts.txt"), 0)
      << run.file("stderr");
  EXPECT_EQ(run.file("stderr"),
            "Note: hairpin.db leads same.db by 0.00 log-likelihood units only (under 3): the "
            "observed shifts hardly tell them apart\n");
  EXPECT_NE(run.file("stdout").find("     0.00  same.db\n"), std::string::npos)
      << run.file("stdout");

  // A CT file of several structures, as folding programs write them,
  // counts as several candidates named by their number in the file.
  ASSERT_EQ(run.run_program(MIRELON_CT_BINARY, "one.db -o one.ct"), 0);
  run.write("folds.ct", run.file("one.ct") + run.file("hairpin.ct"));
  ASSERT_EQ(run.run_program(kCheck, "-s folds.ct -o folds shifts.txt"), 0) << run.file("stderr");
  EXPECT_NE(run.file("stdout").find("0.00  folds.ct #2\n"), std::string::npos)
      << run.file("stdout");
  EXPECT_NE(run.file("stdout").find("folds.ct #1\n"), std::string::npos);
}

}  // namespace
}  // namespace mirelon
