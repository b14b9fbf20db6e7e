#include "nef/nef_test_support.h"

#include <gtest/gtest.h>

#include "nef/star_tree.h"
#include "prediction/structure_prediction.h"
#include "prediction/table_file.h"

namespace mirelon {

const std::string kTablePath = std::string(MIRELON_SOURCE_DIR) + "/data/statfile.tab";

const StatTable& shipped_table() {
  static const StatTable table = [] {
    StatTable loaded;
    std::string error;
    EXPECT_TRUE(load_stat_table(kTablePath, &loaded, &error)) << error;
    return loaded;
  }();
  return table;
}

Structure structure_of(const std::string& content, const std::string& name) {
  Structure structure;
  std::string error;
  EXPECT_TRUE(parse_structure(content, name, &structure, &error)) << error;
  return structure;
}

NefSettings settings_for(const std::string& name) {
  NefSettings settings;
  settings.input_name = name;
  settings.name = "test";
  settings.table_path = kTablePath;
  settings.table_name = kTablePath;
  settings.creation_date = "2026-01-01T00:00:00";
  settings.uuid = "mirelon-nef-2026-01-01T00:00:00-1";
  settings.program_version = "1.1";
  return settings;
}

std::string nef_text(const Structure& structure, const NefSettings& settings,
                     std::vector<std::string>* warnings) {
  StructurePrediction prediction;
  std::string error;
  EXPECT_TRUE(
      predict_structure_shifts(structure, shipped_table(), settings.level, &prediction, &error))
      << error;
  std::string text;
  std::vector<std::string> notes;
  EXPECT_TRUE(build_nef(structure, prediction, settings, &text, &notes, &error)) << error;
  if (warnings != nullptr) *warnings = notes;
  return text;
}

std::string nef_error(const Structure& structure, const NefSettings& settings) {
  StructurePrediction prediction;
  std::string error;
  EXPECT_TRUE(
      predict_structure_shifts(structure, shipped_table(), settings.level, &prediction, &error));
  std::string text;
  std::vector<std::string> warnings;
  EXPECT_FALSE(build_nef(structure, prediction, settings, &text, &warnings, &error));
  return error;
}

std::vector<std::map<std::string, std::string>> loop_rows(const std::string& text,
                                                          const std::string& category) {
  std::vector<StarBlock> blocks;
  std::string error;
  EXPECT_TRUE(parse_star(text, "nef", &blocks, &error)) << error;
  std::vector<std::map<std::string, std::string>> rows;
  for (const StarFrame& frame : blocks.at(0).saveframes) {
    for (const StarLoop& loop : frame.loops) {
      if (loop.tags[0].rfind("_" + category + ".", 0) != 0) continue;
      for (const auto& values : loop.rows) {
        std::map<std::string, std::string> row;
        for (size_t c = 0; c < values.size(); ++c) {
          row[loop.tags[c].substr(category.size() + 2)] = values[c];
        }
        rows.push_back(row);
      }
    }
  }
  return rows;
}

}  // namespace mirelon
