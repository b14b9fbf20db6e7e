// What mirelon tells a user on standard error beside the messages of the
// steps: what a limit means and what to do about it, which files a failed
// run wrote, and arguments that are not read. None of it changes standard
// output, an exit status or a file.
#ifndef MIRELON_RUN_NOTES_H_
#define MIRELON_RUN_NOTES_H_

#include <string>
#include <string_view>
#include <vector>

namespace mirelon {

// The limits behind "String array size" messages.
enum class Limit {
  kCtLines,         // nucleotide lines of the CT file
  kResidueIdLines,  // lines of "idarrayke.txt" a later step reads
  kRestraintLines,  // lines of "kesta.aco"
  kHelixEnds,       // helix ends of the hydrogen-bond macro
  kShiftEntries,    // entries of "kesta.prot"
  kTableRecords,    // records of one section of the statistics table
};

// The "Note: " line that follows a "String array size" message for `limit`:
// the limit in words and what to do. Ends in a line feed.
std::string capacity_note(Limit limit);

// The "Note: " line for a file given as the CT file that is recognisably
// `what` (recognise_other_file()), such as "a statistics table".
std::string not_a_structure_note(const char* file_name, std::string_view what);

// The "Note: " line after the fatal message of a run that had written
// `written` (in order): which files this run wrote and, of the outputs in
// `older` (there, but not written by this run), that they are not from this
// run. Empty when nothing was written.
std::string written_files_note(const std::vector<std::string>& written,
                               const std::vector<std::string>& older);

// The "Warning: " line for non-option arguments, which are not read: the CT
// file is named with -s, and this run reads `ct_file`. Empty for none.
std::string unread_arguments_warning(const std::vector<std::string>& arguments,
                                     const char* ct_file);

}  // namespace mirelon

#endif  // MIRELON_RUN_NOTES_H_
