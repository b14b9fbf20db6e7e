// mirelon-check's HTML report: pictures inline with ids of their own, the
// rows the residue picture links to, the checks of a self-contained report,
// and the report's script at work in a real browser where one is installed.
#include "check/check_report.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "check/predicted_peaks.h"
#include "check/report_checks.h"
#include "check/report_script.h"
#include "check/svg_drawing.h"
#include "common/files.h"
#include "program_run.h"

namespace mirelon {
namespace {

std::string fixture_svg() {
  std::string svg;
  EXPECT_TRUE(read_input_file(MIRELON_SOURCE_DIR "/tests/check/report/spectrum_fixture.svg", &svg));
  return svg;
}

// The ids a picture defines and its references to them get the prefix;
// its links to the page's rows, its declaration and its plot do not change.
TEST(CheckReportTest, InlinePictureGetsIdsOfItsOwn) {
  const std::string svg = fixture_svg();
  const std::string inlined = inline_svg(svg, "h1c1-", "role=\"img\" aria-label=\"x\"");
  EXPECT_EQ(inlined.find("<?xml"), std::string::npos);
  EXPECT_EQ(inlined.rfind("<svg role=\"img\" aria-label=\"x\" xmlns=", 0), 0u) << inlined;
  EXPECT_NE(inlined.find("<clipPath id=\"h1c1-frame\">"), std::string::npos);
  EXPECT_NE(inlined.find("clip-path=\"url(#h1c1-frame)\""), std::string::npos);
  EXPECT_EQ(inlined.find("#frame"), std::string::npos);
  EXPECT_NE(inlined.find("<a href=\"#residue-U3\">"), std::string::npos);
  EXPECT_NE(inlined.find("<g class=\"plot\" data-area=\"60.0 40.0 320.0 220.0\" data-ppm=\"6.0 4.0 "
                         "85 100\""),
            std::string::npos);
  // Nothing else changes.
  std::string back = inlined;
  for (size_t at = back.find("h1c1-"); at != std::string::npos; at = back.find("h1c1-")) {
    back.erase(at, 5);
  }
  back.erase(4, std::string(" role=\"img\" aria-label=\"x\"").size());
  EXPECT_EQ(back, svg.substr(svg.find("<svg")));
  // An id named like another one's prefixed form stays apart from it.
  EXPECT_EQ(inline_svg("<svg><g id=\"a\"/><g id=\"p-a\"/><use href=\"#a\"/></svg>", "p-", ""),
            "<svg><g id=\"p-a\"/><g id=\"p-p-a\"/><use href=\"#p-a\"/></svg>");
}

TEST(CheckReportTest, ResidueAnchorsAreIds) {
  const std::vector<std::pair<std::string, std::string>> cases = {{"G12", "residue-G12"},
                                                                  {"A-5", "residue-A-5"},
                                                                  {"U112", "residue-U112"},
                                                                  {"G12 (3)", "residue-G12__3_"},
                                                                  {"C<1>&\"", "residue-C_1___"}};
  for (const auto& [label, anchor] : cases) EXPECT_EQ(residue_anchor(label), anchor) << label;
}

// The checks a report must pass find what they are for: each bad page is
// named, the good one is not.
TEST(CheckReportTest, SelfContainedChecksFindEveryLeak) {
  const std::string good =
      "<svg xmlns=\"http://www.w3.org/2000/svg\"><clipPath id=\"f\"/><g clip-path=\"url(#f)\"/>"
      "<a href=\"#row\">x</a></svg><table><tr id=\"row\"></tr></table>";
  EXPECT_EQ(report_problems(good), "");
  const std::vector<std::pair<std::string, std::string>> bad = {
      {"<img src=\"data:image/png;base64,AA\">", "has src="},
      {"<img srcset=\"a.png 2x\">", "has srcset="},
      {"<a href=\"https://example.org/\">x</a>", "links outside the page"},
      {"<a href=\"other.html#row\">x</a>", "links outside the page"},
      {"<a href=\"#nowhere\">x</a>", "links to no id: #nowhere"},
      {"<g style=\"fill:url(pattern.svg#p)\"/>", "links outside the page"},
      {"<style>@import 'x.css';</style>", "calls @import"},
      {"<script>fetch('x')</script>", "calls fetch"},
      {"<script>new XMLHttpRequest()</script>", "calls XMLHttpRequest"},
      {"<p>see http://example.org</p>", "names an address"},
      {"<tr id=\"row\"></tr>", "id row more than once"},
  };
  for (const auto& [page, problem] : bad) {
    EXPECT_NE(report_problems(good + page).find(problem), std::string::npos)
        << page << " -> " << report_problems(good + page);
  }
}

// A report of two spectra, both drawn as the fixture.
std::string fixture_report() {
  CheckReport report;
  report.legend = {"fixture.db", "statfile.tab", 8, 1, ""};
  for (size_t i = 0; i < 2; ++i) {
    ExperimentOutput output;
    output.experiment = &experiments()[i];
    output.picture.svg = fixture_svg();
    output.svg_file = "fixture.svg";
    output.list_file = "fixture.list";
    report.experiments.push_back(output);
  }
  return format_html_report(report);
}

TEST(CheckReportTest, SpectraAreFiguresTheScriptCanZoom) {
  const std::string html = fixture_report();
  // Only the fixture's links to U3, which has no row without observed shifts.
  EXPECT_EQ(report_problems(html), "links to no id: #residue-U3\nlinks to no id: #residue-U3\n");
  EXPECT_TRUE(has_report_script(html));
  EXPECT_NE(html.find("<figure class=\"spectrum\" id=\"spectrum-h1c1\" data-experiment=\"h1c1\" "
                      "data-nuclei=\"1H 13C\">\n<svg role=\"img\" aria-label=\"predicted spectrum "
                      "H1&apos;-C1&apos;\" xmlns="),
            std::string::npos);
  EXPECT_NE(html.find("id=\"h6h8-frame\""), std::string::npos);
}

bool have_chromium() { return std::system("command -v chromium >/dev/null 2>&1") == 0; }

// The start tag of the element whose text is `text` in `dom`.
std::string start_tag(const std::string& dom, size_t from, const std::string& text) {
  const size_t end = dom.find(">" + text + "<", from);
  if (end == std::string::npos) return "(none)";
  return dom.substr(dom.rfind('<', end), end - dom.rfind('<', end) + 1);
}

// The six numbers of the transform "matrix(...)" in `tag`, none without.
std::vector<double> matrix_of(const std::string& tag) {
  std::vector<double> numbers;
  const size_t at = tag.find("transform=\"matrix(");
  if (at == std::string::npos) return numbers;
  std::istringstream in(tag.substr(at + 18));
  double value;
  while (numbers.size() < 6 && in >> value) numbers.push_back(value);
  return numbers;
}

void expect_matrix(const std::string& tag, const std::vector<double>& expected) {
  const std::vector<double> actual = matrix_of(tag);
  ASSERT_EQ(actual.size(), expected.size()) << tag;
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(actual[i], expected[i], 1e-6) << tag;
}

// The script at work: a link to a view at 4x opens the second spectrum
// zoomed there, with every label shown, kept at its size and at its offset
// from its peak, and the axes of the range in view; the first spectrum stays
// as drawn, with the labels of zoom 1 only. Each spectrum has its three
// labelled buttons.
TEST(CheckReportTest, ScriptZoomsInABrowser) {
  if (!have_chromium()) GTEST_SKIP() << "chromium not installed";
  ProgramRun run;
  std::string html = fixture_report();
  run.write("report.html", html);
  const std::string options =
      "--headless --no-sandbox --disable-gpu --disable-quic --no-first-run "
      "--disable-background-networking --disable-component-update --disable-sync "
      "--user-data-dir=" +
      (run.path() / "profile").string() + " --dump-dom 'file://" +
      (run.path() / "report.html").string() + "#zoom=h6h8,4,5.440,90.40'";
  ASSERT_EQ(run.run_program("chromium", options), 0) << run.file("stderr");
  const std::string dom = run.file("stdout");
  const size_t second = dom.find("id=\"spectrum-h6h8\"");
  ASSERT_NE(second, std::string::npos) << dom;

  // Buttons: three per spectrum, each with its label.
  for (const char* label : {"Zoom in", "Zoom out", "Reset the view"}) {
    const std::regex button("<button type=\"button\" aria-label=\"" + std::string(label));
    EXPECT_EQ(
        std::distance(std::sregex_iterator(dom.begin(), dom.end(), button), std::sregex_iterator()),
        2)
        << label;
  }
  // The first spectrum as drawn: labels of zoom 1 shown, the others hidden.
  EXPECT_NE(start_tag(dom, 0, "G1").find("display: inline"), std::string::npos);
  EXPECT_NE(start_tag(dom, 0, "A2").find("display: none"), std::string::npos);
  EXPECT_NE(start_tag(dom, 0, "C4").find("display: none"), std::string::npos);
  EXPECT_EQ(start_tag(dom, 0, "C4").find("transform"), std::string::npos);
  // The second at 4x about (5.44, 90.4) ppm, the plot point (149.6, 119.2).
  const size_t plot = dom.find("<g class=\"plot\"", second);
  ASSERT_NE(plot, std::string::npos);
  const size_t content = dom.find("<g ", plot + 1);
  expect_matrix(dom.substr(content, dom.find('>', content) - content + 1),
                {4, 0, 0, 4, 220 - 4 * 149.6, 150 - 4 * 119.2});
  // C4, tied to its peak there, drawn at a quarter of the plot's scale.
  const std::string c4 = start_tag(dom, second, "C4");
  EXPECT_NE(c4.find("display: inline"), std::string::npos) << c4;
  expect_matrix(c4, {0.25, 0, 0, 0.25, 149.6 * 0.75, 119.2 * 0.75});
  EXPECT_NE(start_tag(dom, second, "A2").find("display: inline"), std::string::npos);
  // Its axes: the picture's ticks hidden, ticks of the range in view (1H
  // 5.69 to 5.19 ppm, 13C 88.5 to 92.3 ppm) drawn.
  EXPECT_NE(start_tag(dom, second, "5.5").find("display: none"), std::string::npos);
  const size_t axes = dom.find("class=\"zoomed-axes\"", second);
  ASSERT_NE(axes, std::string::npos);
  const std::string drawn = dom.substr(axes, dom.find("</g>", axes) - axes);
  for (const char* tick : {">5.2<", ">5.4<", ">5.6<", ">89<", ">92<"}) {
    EXPECT_NE(drawn.find(tick), std::string::npos) << tick << " in " << drawn;
  }
  for (const char* tick : {">5.1<", ">5.7<", ">88<", ">93<"}) {
    EXPECT_EQ(drawn.find(tick), std::string::npos) << tick << " in " << drawn;
  }
}

}  // namespace
}  // namespace mirelon
