// Finding and reading the statistics table for the companion tools, which
// predict shifts as mirelon does.
#ifndef MIRELON_PREDICTION_TABLE_FILE_H_
#define MIRELON_PREDICTION_TABLE_FILE_H_

#include <string>

#include "prediction/stat_table.h"

namespace mirelon {

// The table used when none is named: "statfile.tab" in the working directory
// where there is one (as mirelon reads it), else the installed shipped table
// (DATADIR/mirelon/statfile.tab), else the shipped table of the source tree
// the program was built from (data/statfile.tab). Names the last one when
// none of them exists, so that the message names a file.
std::string default_table_path();

// Reads and parses the statistics table `path`. Returns false with the
// message in `error`: "Unable to open statistics table: PATH\n" when it
// cannot be read, otherwise the parser's message.
bool load_stat_table(const std::string& path, StatTable* table, std::string* error);

}  // namespace mirelon

#endif  // MIRELON_PREDICTION_TABLE_FILE_H_
