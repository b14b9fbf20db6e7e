#include "structure/backbone_windows.h"

#include "common/nucleotides.h"

namespace mirelon {

namespace {

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

const std::array<BackboneWindow, kBackboneAngleCount>& backbone_windows() {
  // A-form windows of 60 degrees; the atoms are the IUPAC definitions of the
  // six backbone torsions, alpha O3'(i-1)-P-O5'-C5' to zeta C3'-O3'-P(i+1)-O5'(i+1).
  static const std::array<BackboneWindow, kBackboneAngleCount> kWindows = {{
      {"ALPHA", -90.0, -30.0, {{{-1, "O3'"}, {0, "P"}, {0, "O5'"}, {0, "C5'"}}}},
      {"BETA", 150.0, -150.0, {{{0, "P"}, {0, "O5'"}, {0, "C5'"}, {0, "C4'"}}}},
      {"GAMMA", 30.0, 90.0, {{{0, "O5'"}, {0, "C5'"}, {0, "C4'"}, {0, "C3'"}}}},
      {"DELTA", 50.0, 110.0, {{{0, "C5'"}, {0, "C4'"}, {0, "C3'"}, {0, "O3'"}}}},
      {"EPSI", 180.0, -120.0, {{{0, "C4'"}, {0, "C3'"}, {0, "O3'"}, {1, "P"}}}},
      {"ZETA", -100.0, -40.0, {{{0, "C3'"}, {0, "O3'"}, {1, "P"}, {1, "O5'"}}}},
  }};
  return kWindows;
}

std::vector<const BackboneWindow*> restrained_windows(StemPosition position) {
  const AngleRun run = angle_run(position);
  std::vector<const BackboneWindow*> windows;
  for (size_t angle = run.first; angle < run.first + run.count; ++angle) {
    windows.push_back(&backbone_windows()[angle]);
  }
  return windows;
}

size_t restrained_angle_count(StemPosition position) { return angle_run(position).count; }

}  // namespace mirelon
