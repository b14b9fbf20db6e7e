// What a run of mirelon-check decides between reading its inputs and
// writing its outputs: the names of the candidate structures, whether they
// can be ranked, which one the outputs show, what the run says about the
// ranking and the match of the shift file, and the pictures' note on the
// referencing offsets removed. The program prints and writes what these
// functions return.
#ifndef MIRELON_CHECK_CHECK_RUN_H_
#define MIRELON_CHECK_CHECK_RUN_H_

#include <cstddef>
#include <string>
#include <vector>

#include "check/assignment_check.h"
#include "check/check_report.h"
#include "check/predicted_peaks.h"
#include "check/structure_ranking.h"
#include "check/svg_pictures.h"
#include "prediction/structure_prediction.h"
#include "structure/structure.h"

namespace mirelon {

// A structure to check, with the name the ranking and the legend give it.
struct Candidate {
  Structure structure;
  std::string name;  // see candidate_name()
  StructurePrediction prediction;
};

// The name of structure `k` (counting from 0) of the `count` structures read
// from `file`: the file's name, or "FILE #K" (counting from 1) for a file of
// several structures.
std::string candidate_name(const std::string& file, size_t k, size_t count);

// Candidates are ranked residue by residue, so they must share the
// sequence. Returns false with the message naming the first candidate whose
// bases differ from the first candidate's.
bool same_sequences(const std::vector<Candidate>& candidates, std::string* error);

// The structure whose pictures, table and checks are written: the
// best-ranked when the structures were ranked, else the first.
size_t shown_structure(const StructureRanking& ranking);

// The lead in log-likelihood of the best-ranked structure over the second,
// rounded to the two decimals printed: a lead is judged as the user reads
// it, so that a note on a narrow lead never reads "3.00".
// REQUIRES: ranking.order holds at least two structures.
double printed_lead(const StructureRanking& ranking);

// The note on standard error about the ranking of the structures `names`
// (in input order), or "" when there is nothing to say. Ranked: a printed
// lead under kClearLead, which the observed shifts hardly support. Not ranked
// (empty order) although there are several structures: there were no
// observed shifts, and the outputs show the first.
std::string ranking_note(const StructureRanking& ranking, const std::vector<std::string>& names);

// The warning when no observed shift of `shift_file` matches a predicted
// atom of the structure `structure_name` (residue offsets likely wrong),
// or "".
std::string unmatched_warning(const AssignmentCheck& check, const std::string& shift_file,
                              const std::string& structure_name);

// The pictures' note on the referencing offsets removed from the observed
// shifts: each applied offset's nucleus and median, or "" when none was.
std::string offsets_removed_note(const AssignmentCheck& check);

// The predictions of one structure that its outputs show: at the check
// level (peak lists, checks) and at the picture level (the regions drawn),
// and the residues with a partner that shields an imino proton.
struct ShownPredictions {
  const PredictionIndex* index = nullptr;
  const PredictionIndex* picture_index = nullptr;
  std::vector<bool> partnered;
};

// `peaks` with the tolerances of `picture_index` (the same residues and
// atoms predicted at the picture level).
std::vector<PredictedPeak> picture_peaks(const std::vector<PredictedPeak>& peaks,
                                         const PredictionIndex& picture_index);

// The outputs of every experiment for the structure shown: its predicted
// peaks, its picture with the observed peaks of `check` over it (none when
// `check` is null) and the files PREFIX-ID.svg and PREFIX-ID.list.
std::vector<ExperimentOutput> experiment_outputs(const ShownPredictions& shown,
                                                 const AssignmentCheck* check,
                                                 const PictureLegend& legend,
                                                 const std::string& prefix);

}  // namespace mirelon

#endif  // MIRELON_CHECK_CHECK_RUN_H_
