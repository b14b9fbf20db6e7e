// The dihedral restraint step: "idarrayke.txt" in, "kesta.aco" out.
#include "translate_aco.h"

#include <array>
#include <string_view>

#include "common/messages.h"
#include "common/nucleotides.h"
#include "common/numbers.h"
#include "fatal.h"
#include "step_files.h"
#include "translate.h"

namespace mirelon {

namespace {

// The six backbone torsion windows of an A-form stem, 60 degrees each (BETA
// and EPSI pass through 180), in the order ALPHA to ZETA. Written as they
// stand: name left-aligned in 5, lower and upper limit right-aligned in 8.
constexpr std::array<std::string_view, 6> kAngleWindows = {
    "ALPHA   -90.0   -30.0",  //
    "BETA    150.0  -150.0",  //
    "GAMMA    30.0    90.0",  //
    "DELTA    50.0   110.0",  //
    "EPSI    180.0  -120.0",  //
    "ZETA   -100.0   -40.0",  //
};

// The windows of a stem position form one run of the table: a start
// nucleotide has no 5' neighbour in the stem, so only the angles from DELTA
// on; an end nucleotide no 3' neighbour, so only those up to DELTA.
struct AngleRun {
  size_t first;
  size_t count;
};

constexpr AngleRun angle_run(StemPosition position) {
  switch (position) {
    case StemPosition::kStart:
      return {3, 3};
    case StemPosition::kInner:
      return {0, 6};
    case StemPosition::kEnd:
      return {0, 4};
    case StemPosition::kNone:
      break;
  }
  return {0, 0};
}

constexpr size_t kNumberWidth = 5;
constexpr size_t kNameWidth = 6;
constexpr size_t kWindowWidth = 22;

}  // namespace

StemPosition classify_stem_position(const ResidueIdRecord& record) {
  if (record[kOwnMark] != kMarkPaired) return StemPosition::kNone;
  const std::string& before = record[kMarkBefore];
  const std::string& after = record[kMarkAfter];
  if (before == kMarkOther && after == kMarkPaired) return StemPosition::kStart;
  if (before == kMarkPaired && after == kMarkPaired) return StemPosition::kInner;
  if (before == kMarkPaired && after == kMarkOther) return StemPosition::kEnd;
  return StemPosition::kNone;
}

size_t restrained_angle_count(StemPosition position) { return angle_run(position).count; }

size_t count_restraint_entries(const std::vector<ResidueIdRecord>& records) {
  size_t total = 0;
  for (const ResidueIdRecord& record : records) {
    total += restrained_angle_count(classify_stem_position(record));
  }
  return total;
}

std::string format_restraint_file(const std::vector<ResidueIdRecord>& records) {
  std::string text;
  for (const ResidueIdRecord& record : records) {
    const AngleRun run = angle_run(classify_stem_position(record));
    const std::string_view name = residue_name(record[kOwnBase]);
    // A base without a residue name counts toward the entries but is no
    // residue KESTA knows: no lines.
    if (run.count == 0 || name.empty()) continue;
    const std::string prefix =
        pad_left(record[kResidueNumber], kNumberWidth) + ' ' + pad_right(name, kNameWidth);
    for (size_t angle = run.first; angle < run.first + run.count; ++angle) {
      text += prefix;
      text += pad_right(kAngleWindows[angle], kWindowWidth);
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
    fatal(To::kStdout, "%s",
          capacity_message(static_cast<long long>(total),
                           static_cast<long long>(kMaxRestraintEntries))
              .c_str());
  }
  write_step_file(kRestraintFileName, format_restraint_file(records));
  return 1;
}
