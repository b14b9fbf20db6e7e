// Finding and reading the statistics table for the programs that predict
// shifts: the table a user names, "statfile.tab" in the working directory,
// or the table shipped with the program.
#ifndef MIRELON_PREDICTION_TABLE_FILE_H_
#define MIRELON_PREDICTION_TABLE_FILE_H_

#include <string>
#include <string_view>

#include "prediction/stat_table.h"

namespace mirelon {

// The table a run uses: the path it is read from, and how outputs and
// messages name it. A table the user named, or "statfile.tab" of the working
// directory, is named by its path as given; the shipped table by
// shipped_table_name(), so that no machine's path lands in a file a user
// shares.
struct TableChoice {
  std::string path;
  std::string name;
};

// The shipped statistics table that belongs to the running program, from the
// program's own location: share/mirelon/statfile.tab beside the folder that
// holds the program (an installed tree, whatever its prefix, or a copied
// one), else share/mirelon/statfile.tab inside that folder (a build tree,
// into which the build copies the table). Empty when the program's location
// cannot be read or neither file exists.
std::string shipped_table_path();

// Finds the shipped table among the candidates for a program that lies in
// folder `program_folder`; `exists` tells whether a path is a regular file.
// Empty when there is none. (The testable core of shipped_table_path().)
std::string find_shipped_table(std::string_view program_folder, bool (*exists)(const char*));

// "statfile.tab (shipped with mirelon VERSION)".
std::string shipped_table_name();

// The table used when none is named: "statfile.tab" in the working
// directory when there is such a file, else the shipped table, else
// "statfile.tab" (so that the message of a failed open names it).
TableChoice default_table();

// Reads and parses the statistics table `path`. Returns false with the
// message in `error`: "Unable to open statistics table: PATH (REASON)\n"
// when it cannot be read (REASON: the system's, "No such file or
// directory"), the parser's message, or table_value_error() for the first
// value of the table that is not finite, negative where it must not be, or a
// mean without a number (table_value_problems() of every record).
bool load_stat_table(const std::string& path, StatTable* table, std::string* error);

}  // namespace mirelon

#endif  // MIRELON_PREDICTION_TABLE_FILE_H_
