// The dihedral restraint step: "idarrayke.txt" in, "kesta.aco" out.
#include "translate_aco.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/messages.h"
#include "common/nucleotides.h"
#include "common/numbers.h"
#include "fatal.h"
#include "run_notes.h"
#include "step_files.h"
#include "translate.h"

namespace mirelon {

namespace {

constexpr size_t kNumberWidth = 5;
constexpr size_t kNameWidth = 6;
constexpr size_t kWindowWidth = 22;

// A window as KESTA reads it: the angle name left-aligned in 5, the lower and
// the upper limit right-aligned in 8 with one decimal ("BETA    150.0  -150.0").
std::string window_text(const BackboneWindow& window) {
  return format_message("%-5s%8.1f%8.1f", std::string(window.name).c_str(), window.lower,
                        window.upper);
}

}  // namespace

size_t count_restraint_entries(const std::vector<ResidueIdRecord>& records) {
  size_t total = 0;
  for (const ResidueIdRecord& record : records) {
    total += restrained_angle_count(classify_stem_position(record));
  }
  return total;
}

std::string format_restraint_file(const std::vector<ResidueIdRecord>& records) {
  std::string text;
  // The windows are a handful of constants: each is formatted once, when
  // first met, and its text reused for every line that names it.
  std::vector<std::pair<const BackboneWindow*, std::string>> window_texts;
  auto padded_window_text = [&window_texts](const BackboneWindow* window) -> const std::string& {
    for (const auto& [known, known_text] : window_texts) {
      if (known == window) return known_text;
    }
    return window_texts.emplace_back(window, pad_right(window_text(*window), kWindowWidth)).second;
  };
  for (const ResidueIdRecord& record : records) {
    const std::string_view name = residue_name(record[kOwnBase]);
    // A base without a residue name counts toward the entries but is no
    // residue KESTA knows: no lines.
    if (name.empty()) continue;
    for (const BackboneWindow* window : restrained_windows(classify_stem_position(record))) {
      append_pad_left(&text, record[kResidueNumber], kNumberWidth);
      text += ' ';
      append_pad_right(&text, name, kNameWidth);
      text += padded_window_text(window);
      text += '\n';
    }
  }
  return text;
}

}  // namespace mirelon

int translate_aco() {
  using namespace mirelon;
  const std::vector<ResidueIdRecord> records = read_residue_id_file(kMaxRestraintResidues);
  const size_t total = count_restraint_entries(records);
  if (total > kMaxRestraintEntries) {
    set_fatal_note(capacity_note(Limit::kRestraintLines));
    fatal(To::kStdout, "%s",
          capacity_message(static_cast<long long>(total),
                           static_cast<long long>(kMaxRestraintEntries))
              .c_str());
  }
  write_step_file(kRestraintFileName, format_restraint_file(records));
  return 1;
}
