// mirelon-check's spectrum pictures read back from their SVG text: the
// regions at the picture level, unpaired imino peaks, observed peaks named
// and joined, titles, labels clear of marks and each other at every zoom,
// coinciding predictions under one label; the placement of labels for the
// zooms; the links of the residue picture.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "check/assignment_check.h"
#include "check/check_report.h"
#include "check/check_run.h"
#include "check/label_placement.h"
#include "check/residue_picture.h"
#include "check/svg_pictures.h"
#include "check_fixtures.h"
#include "common/messages.h"
#include "common/prediction_levels.h"
#include "svg_reading.h"

namespace mirelon {
namespace {

const PictureLegend kLegend = {"t", "table", kLevel, 1, ""};

const Experiment& experiment(const std::string& id) {
  for (const Experiment& e : experiments()) {
    if (e.id == id) return e;
  }
  return experiments().front();
}

// The picture of `experiment_id` for `structure` at `picture_level`, with
// the observed peaks of `shifts` (none when empty).
struct Drawn {
  SpectrumPicture picture;
  SvgPicture svg;
  std::vector<PredictedPeak> peaks;  // at the check level
};
Drawn draw(const Structure& structure, const std::string& experiment_id, long picture_level,
           const std::vector<ObservedShift>& shifts = {}) {
  const PredictionIndex index(predict(structure));
  const PredictionIndex picture_index(predict(structure, picture_level));
  SpectrumInput input;
  input.experiment = &experiment(experiment_id);
  input.index = &index;
  const std::vector<PredictedPeak> peaks = predicted_peaks(index, *input.experiment);
  input.peaks = picture_peaks(peaks, picture_index);
  const AssignmentCheck check = check_assignment(index, shifts, ShiftOffsets(), kLevel);
  if (!shifts.empty()) input.observed = observed_peaks(check, peaks);
  input.partnered = partnered_positions(structure);
  PictureLegend legend = kLegend;
  legend.picture_level = picture_level;
  Drawn drawn{spectrum_picture(input, legend), {}, peaks};
  drawn.svg = read_svg_picture(drawn.picture.svg);
  return drawn;
}

// Shifts near the predictions, as a real list lies around them: 1H 0.03
// ppm and the heteronuclei 0.3 ppm above, a little more for each further
// residue; one H1' of `wild` 1 ppm off.
std::vector<ObservedShift> shifts_near(const Structure& structure, long wild = 0) {
  std::vector<ObservedShift> shifts = shifts_at_predictions(PredictionIndex(predict(structure)));
  for (ObservedShift& shift : shifts) {
    const double further = 1 + 0.05 * static_cast<double>(shift.residue);
    shift.value += (shift.atom[0] == 'H' ? 0.03 : 0.3) * further;
    if (shift.residue == wild && shift.atom == "H1'") shift.value += 1;
  }
  return shifts;
}

// The regions are ellipses of +/- the picture level's tolerance around each
// mean, in both dimensions, to the printed tenth of a pixel (and the
// printed ppm of the plot's edges); the legend
// names that level.
TEST(SpectrumPictureTest, RegionsAreThePictureLevelsTolerance) {
  const Structure hairpin = dot_bracket(kHairpinSequence, kHairpinPairs);
  for (const long level : {1L, 4L, 8L}) {
    for (const char* id : {"h1c1", "imino"}) {
      SCOPED_TRACE(format_message("level %ld, %s", level, id));
      const Drawn drawn = draw(hairpin, id, level);
      const SvgPicture& svg = drawn.svg;
      ASSERT_EQ(svg.ppm.size(), 4u);
      const double x_scale = svg.area.width / (svg.ppm[0] - svg.ppm[1]);
      const double y_scale = svg.area.height / (svg.ppm[3] - svg.ppm[2]);
      const PredictionIndex at_level(predict(hairpin, level));
      for (const PredictedPeak& peak : drawn.peaks) {
        const double cx = svg.area.x + (svg.ppm[0] - peak.proton.mean) * x_scale;
        const double cy = svg.area.y + (peak.heavy.mean - svg.ppm[2]) * y_scale;
        const double proton = at_level.find(peak.position, peak.atoms.proton)->tolerance;
        const double heavy = at_level.find(peak.position, peak.atoms.heavy)->tolerance;
        const bool found =
            std::any_of(svg.regions.begin(), svg.regions.end(), [&](const SvgElement& region) {
              return std::fabs(region.number("cx") - cx) < 0.06 &&
                     std::fabs(region.number("cy") - cy) < 0.06 &&
                     std::fabs(region.number("rx") - proton * x_scale) < 0.06 &&
                     std::fabs(region.number("ry") - heavy * y_scale) < 0.06;
            });
        EXPECT_TRUE(found) << peak.position;
      }
      EXPECT_NE(drawn.picture.svg.find(
                    format_message("picture level %ld (%g %%", level,
                                   100 * kLevelCoverages[static_cast<size_t>(level - kMinLevel)])),
                std::string::npos);
    }
  }
}

// Imino peaks of G and U without a Watson-Crick or G-U partner are hollow
// and grey, with the legend's reason; paired ones, and other experiments,
// are drawn as usual.
TEST(SpectrumPictureTest, UnpairedIminoPeaksHollowAndGrey) {
  // G1-C12 and U4-A9 Watson-Crick, G2-U11 wobble, G3-A10 neither, U5 and
  // G6 in the loop.
  const Structure structure = dot_bracket("GGGUUGAAAAUC", "((((....))))");
  const Drawn drawn = draw(structure, "imino", 1);
  struct Case {
    const char* residue;
    bool hollow;
  };
  const Case cases[] = {{"G1", false}, {"G2", false}, {"G3", true},  {"U4", false},
                        {"U5", true},  {"G6", true},  {"U11", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.residue);
    const std::regex named(std::string("(^|\n|, )") + c.residue + "[ ,]");
    const auto mark =
        std::find_if(drawn.svg.marks.begin(), drawn.svg.marks.end(),
                     [&](const SvgElement& m) { return std::regex_search(m.title, named); });
    ASSERT_NE(mark, drawn.svg.marks.end());
    EXPECT_EQ(mark->get("fill") == "#ffffff" && mark->get("stroke") == "#999999", c.hollow);
  }
  const char* const reason = "unpaired: imino protons usually exchange too fast to be seen";
  EXPECT_NE(drawn.picture.svg.find(reason), std::string::npos);
  EXPECT_EQ(draw(structure, "h1c1", 1).picture.svg.find(reason), std::string::npos);
}

// Every observed peak is a mark with its residue's label in the observed
// colour and a line to its prediction; an outlier is red, its line and
// label too; every mark has a title.
TEST(SpectrumPictureTest, ObservedPeaksNamedJoinedAndTitled) {
  const Structure hairpin = dot_bracket(kHairpinSequence, kHairpinPairs);
  const Drawn drawn = draw(hairpin, "h1c1", 1, shifts_near(hairpin, 5));
  const SvgPicture& svg = drawn.svg;
  size_t observed = 0;
  for (const SvgElement& mark : svg.marks) {
    EXPECT_FALSE(mark.title.empty());
    if (mark.get("data-kind") != "observed") continue;
    ++observed;
    const bool outlier = mark.title.rfind("C5 ", 0) == 0;
    EXPECT_EQ(mark.get("stroke"), outlier ? "#d00000" : "#000000") << mark.title;
    const auto at_mark = [&mark](const SvgElement& e) {
      return e.get("data-x") == mark.get("data-x") && e.get("data-y") == mark.get("data-y") &&
             e.get("data-kind") == "observed";
    };
    const auto label = std::find_if(svg.labels.begin(), svg.labels.end(), at_mark);
    ASSERT_NE(label, svg.labels.end()) << mark.title;
    EXPECT_EQ(mark.title.substr(0, label->text.size() + 1), label->text + " ");
    EXPECT_EQ(label->get("fill"), outlier ? "#d00000" : "#000000");
    const auto joined = std::count_if(svg.joins.begin(), svg.joins.end(), [&](const SvgElement& j) {
      return std::fabs(j.number("x1") - mark.number("data-x")) < 1e-9 &&
             std::fabs(j.number("y1") - mark.number("data-y")) < 1e-9;
    });
    EXPECT_EQ(joined, 1) << mark.title;
  }
  EXPECT_EQ(observed, 30u);
  EXPECT_EQ(svg.joins.size(), 30u);
}

// No label covers a mark, a line end or another label at any zoom at which
// it is shown, nor leaves the plot; a hairpin's positions and observed
// peaks are all labelled at 1x, and most of a 150-nt RNA's.
TEST(SpectrumPictureTest, LabelsClearOfEverythingAtEveryZoom) {
  struct Case {
    std::string sequence;
    std::string pairs;
    bool observed;
  };
  const Case cases[] = {{kHairpinSequence, kHairpinPairs, false},
                        {kHairpinSequence, kHairpinPairs, true},
                        {long_sequence(), long_pairs(), false}};
  for (const Case& c : cases) {
    const Structure structure = dot_bracket(c.sequence, c.pairs);
    const std::vector<ObservedShift> shifts =
        c.observed ? shifts_near(structure, 5) : std::vector<ObservedShift>();
    for (const Experiment& e : experiments()) {
      SCOPED_TRACE(format_message("%zu nt, %s%s", c.sequence.size(), std::string(e.id).c_str(),
                                  c.observed ? ", observed" : ""));
      const Drawn drawn = draw(structure, std::string(e.id), 1, shifts);
      EXPECT_EQ(first_overlap(drawn.svg), "");
      const LabelCounts& predicted = drawn.picture.predicted;
      const LabelCounts& observed = drawn.picture.observed;
      if (c.sequence.size() == 30) {
        EXPECT_EQ(predicted.zoomed + predicted.omitted, 0u);
        EXPECT_EQ(observed.zoomed + observed.omitted, 0u);
      }
      const size_t positions = predicted.shown + predicted.zoomed + predicted.omitted;
      EXPECT_GE(predicted.shown * 10, positions * 7);
      // The file hides what only a zoom shows, and the legend counts it.
      for (const SvgElement& label : drawn.svg.labels) {
        EXPECT_EQ(label.get("display") == "none", label.get("data-zoom") != "1");
      }
      if (predicted.zoomed + observed.zoomed + predicted.omitted + observed.omitted > 0) {
        EXPECT_NE(drawn.picture.svg.find(format_message(
                      "Labels: %zu more when the report zooms in, %zu left out",
                      predicted.zoomed + observed.zoomed, predicted.omitted + observed.omitted)),
                  std::string::npos);
      }
    }
  }
}

// Predictions that print alike (1H to 0.01 ppm, 15N or 13C to 0.1) share
// one dot and one label naming the first and how many more; the title
// names them all, residues with the same text together.
TEST(SpectrumPictureTest, CoincidingPredictionsShareOneLabel) {
  const PredictionIndex index = hand_index("UUUUU", {{0, "H1'", "5.5", "0.2"},
                                                     {0, "C1'", "92.0", "1.0"},
                                                     {1, "H1'", "5.5", "0.2"},
                                                     {1, "C1'", "92.0", "1.0"},
                                                     {2, "H1'", "5.504", "0.3"},
                                                     {2, "C1'", "92.04", "1.0"},
                                                     {3, "H1'", "5.51", "0.2"},
                                                     {3, "C1'", "92.0", "1.0"},
                                                     {4, "H1'", "5.5", "0.2"},
                                                     {4, "C1'", "92.06", "1.0"}});
  SpectrumInput input;
  input.experiment = &experiment("h1c1");
  input.index = &index;
  input.peaks = predicted_peaks(index, *input.experiment);
  const SvgPicture svg = read_svg_picture(spectrum_picture(input, kLegend).svg);
  ASSERT_EQ(svg.marks.size(), 3u);
  std::vector<std::string> texts;
  for (const SvgElement& label : svg.labels) texts.push_back(label.text);
  EXPECT_EQ(texts, (std::vector<std::string>{"U1 +2", "U4", "U5"}));
  EXPECT_EQ(svg.marks[0].title,
            "U1, U2 H1'/C1': predicted 5.50 +/- 0.20 / 92.0 +/- 1.0 ppm\n"
            "U3 H1'/C1': predicted 5.50 +/- 0.30 / 92.0 +/- 1.0 ppm");
}

TEST(SpectrumPictureTest, PeakTitle) {
  const PredictionIndex index = hand_index(
      std::string(12, 'G'), {{11, "H1'", "5.4321", "0.1449"}, {11, "C1'", "92.0812", "0.8"}});
  PredictedPeak peak{11, experiment("h1c1").pairs[2], {92.0812, 0.8}, {5.4321, 0.1449}};
  EXPECT_EQ(peak_title(index, peak, nullptr),
            "G12 H1'/C1': predicted 5.43 +/- 0.14 / 92.1 +/- 0.8 ppm");
  struct Case {
    std::optional<double> proton_z;
    std::optional<double> heavy_z;
    const char* z;
  };
  const Case cases[] = {{0.94, -0.56, "z +0.9 / -0.6"},
                        {std::nullopt, 0.04, "z - / +0.0"},
                        {1234.5, -99.96, "z +1.23e+03 / -100.0"}};
  for (const Case& c : cases) {
    const ObservedPeak observed{0, 91.84, 5.514, false, c.heavy_z, c.proton_z};
    EXPECT_EQ(peak_title(index, peak, &observed),
              std::string("G12 H1'/C1': predicted 5.43 +/- 0.14 / 92.1 +/- 0.8 ppm; observed "
                          "5.51 / 91.8 ppm; ") +
                  c.z);
  }
}

// On the zoomed screen two boxes pinned to points overlap over one
// interval of zooms, found exactly: here a label at 30 to 40 pixels right
// of its peak and a mark 10 pixels right of it (at 10 z - 5 to 10 z + 5)
// overlap for zooms between 2.5 and 4.5 only.
TEST(LabelPlacementTest, OverlapBetweenZooms) {
  const PinnedBox label{0, 0, {30, 0, 10, 10}};
  const PinnedBox mark{10, 0, {-5, 0, 10, 10}};
  const PinnedBox below{10, 20, {-5, 0, 10, 10}};
  struct Case {
    double low;
    double high;
    bool overlap;
  };
  const Case cases[] = {{1, 2, false}, {1, 2.5, false}, {1, 2.51, true}, {3, 3, true},
                        {3, 4, true},  {4.49, 6, true}, {4.5, 6, false}, {2, 1, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(overlap_between_zooms(label, mark, c.low, c.high), c.overlap)
        << c.low << " " << c.high;
    EXPECT_EQ(overlap_between_zooms(mark, label, c.low, c.high), c.overlap)
        << c.low << " " << c.high;
    EXPECT_FALSE(overlap_between_zooms(label, below, c.low, c.high));
  }
}

// A label goes to the lowest zoom at which it has room in the area, and is
// left out where it has none even at 4x; a label already placed is an
// obstacle at the zooms where it is shown.
TEST(LabelPlacementTest, LowestZoomWithRoom) {
  const LabelRequest request{{12, 6, {-3, -3, 6, 6}}, 17, 12};
  struct Case {
    Box area;
    std::optional<int> zoom;
  };
  const Case cases[] = {
      {{0, 0, 40, 12}, 1}, {{0, 0, 24, 12}, 2}, {{8, 0, 10, 12}, 4}, {{10, 4, 4, 4}, std::nullopt}};
  for (const Case& c : cases) {
    const std::vector<std::optional<PlacedLabel>> placed = place_labels({request}, {}, c.area);
    ASSERT_EQ(placed.size(), 1u);
    EXPECT_EQ(placed[0] ? std::optional<int>(placed[0]->zoom) : std::nullopt, c.zoom)
        << c.area.width;
  }
  // Labels of one peak, more than fit at 1x: those left for a higher zoom
  // stay clear of those placed before at every zoom where both are shown.
  const std::vector<LabelRequest> requests(5, request);
  const std::vector<std::optional<PlacedLabel>> placed =
      place_labels(requests, {request.mark}, {0, 0, 60, 24});
  std::vector<int> zooms;
  for (size_t i = 0; i < placed.size(); ++i) {
    zooms.push_back(placed[i] ? placed[i]->zoom : 0);
    for (size_t j = 0; j < i; ++j) {
      if (!placed[i] || !placed[j]) continue;
      const auto pinned = [&request](const PlacedLabel& label) {
        return PinnedBox{request.mark.x,
                         request.mark.y,
                         {label.box.x - request.mark.x, label.box.y - request.mark.y,
                          label.box.width, label.box.height}};
      };
      EXPECT_FALSE(overlap_between_zooms(pinned(*placed[i]), pinned(*placed[j]),
                                         std::max(placed[i]->zoom, placed[j]->zoom), 4))
          << i << " " << j;
    }
  }
  EXPECT_EQ(zooms, (std::vector<int>{1, 1, 2, 2, 2}));
}

// Each bar of the residue picture links to its residue's rows of the
// report's table.
TEST(ResiduePictureTest, BarsLinkToTheirResidues) {
  const Structure hairpin = dot_bracket(kHairpinSequence, kHairpinPairs);
  const PredictionIndex index(predict(hairpin));
  std::vector<double> mean_abs_z(index.size(), -1);
  mean_abs_z[0] = 0.5;
  mean_abs_z[11] = 4.2;
  const std::string svg = residue_picture(index, hairpin, mean_abs_z, kLevel, kLegend);
  const std::vector<SvgElement> links = elements(svg, "a", "href");
  ASSERT_EQ(links.size(), 2u);
  EXPECT_EQ(links[0].get("href"), "#residue-G1");
  EXPECT_EQ(links[1].get("href"), "#residue-G12");
}

}  // namespace
}  // namespace mirelon
