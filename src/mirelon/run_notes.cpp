#include "run_notes.h"

#include "common/messages.h"
#include "ct_tables.h"
#include "prediction/shift_prediction.h"
#include "prediction/stat_table.h"
#include "step_files.h"
#include "translate_aco.h"
#include "translate_stat.h"
#include "translate_wc.h"

namespace mirelon {

namespace {

// "a", "a and b", "a, b and c"; each word in single quotes with `quoted`.
std::string word_list(const std::vector<std::string>& words, bool quoted = false) {
  std::string text;
  for (size_t i = 0; i < words.size(); ++i) {
    if (i > 0) text += i + 1 == words.size() ? " and " : ", ";
    text += quoted ? "'" + words[i] + "'" : words[i];
  }
  return text;
}

}  // namespace

std::string capacity_note(Limit limit) {
  const std::string fits = shift_list_size_text();
  switch (limit) {
    case Limit::kCtLines:
      return format_message(
          "Note: a CT file may hold at most %zu nucleotide lines, and the shift list far fewer "
          "(%s): predict shifts for a smaller construct or a domain.\n",
          kMaxNucleotides, fits.c_str());
    case Limit::kResidueIdLines:
      return format_message(
          "Note: %s holds more residues than this step reads (%zu for the restraints, %zu for "
          "the shifts); it is written by this run's first step, so a CT file this large is "
          "beyond mirelon: predict shifts for a smaller construct or a domain (%s).\n",
          kResidueIdFileName, kMaxRestraintResidues, kMaxShiftResidues, fits.c_str());
    case Limit::kRestraintLines:
      return format_message(
          "Note: %s holds at most %zu restraint lines (3 to 6 per nucleotide in a Watson-Crick "
          "stem): give the restraints for a smaller construct or a domain.\n",
          kRestraintFileName, kMaxRestraintEntries);
    case Limit::kHelixEnds:
      return format_message(
          "Note: the hydrogen-bond macro holds at most %zu helix ends (two per helix): write the "
          "macro for a smaller construct or a domain.\n",
          kMaxHelixEnds);
    case Limit::kShiftEntries:
      return format_message(
          "Note: the shift list holds at most %zu entries (%s); the statistics table gave more "
          "than that, so it repeats records: check the table, or predict shifts for a smaller "
          "construct or a domain.\n",
          kMaxShiftSlots - 1, fits.c_str());
    case Limit::kTableRecords:
      return format_message(
          "Note: each section of a statistics table holds at most %zu records: check that the "
          "file given with -f is a statistics table and that its sections end with ':' lines.\n",
          kMaxStatRecords);
  }
  return {};
}

std::string not_a_structure_note(const char* file_name, std::string_view what) {
  return format_message(
      "Note: %s is %.*s, not a structure: give the CT file with -s, the statistics table with "
      "-f.\n",
      file_name, static_cast<int>(what.size()), what.data());
}

std::string written_files_note(const std::vector<std::string>& written,
                               const std::vector<std::string>& older) {
  if (written.empty()) return {};
  std::string note = "Note: this run stopped after writing " + word_list(written);
  if (!older.empty()) {
    note += "; " + word_list(older) + (older.size() == 1 ? " is" : " are") +
            " older and not from this run";
  }
  return note + ".\n";
}

std::string unread_arguments_warning(const std::vector<std::string>& arguments,
                                     const char* ct_file) {
  if (arguments.empty()) return {};
  return format_message(
      "Warning: the argument%s %s %s not read: name the CT file with -s (this run reads the CT "
      "file %s).\n",
      arguments.size() == 1 ? "" : "s", word_list(arguments, true).c_str(),
      arguments.size() == 1 ? "is" : "are", ct_file);
}

}  // namespace mirelon
