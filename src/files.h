// Reading input files whole and writing output files with every failure
// reported.
#ifndef MIRELON_FILES_H_
#define MIRELON_FILES_H_

#include <string>
#include <string_view>

namespace mirelon {

// Reads the whole file `name` into `content`. Returns false when the file
// cannot be opened, is a directory, or a read fails; each step reports that
// as "cannot be opened" with its own message.
bool read_input_file(const char* name, std::string* content);

// Reads standard input to its end into `content`. Returns false when a read
// fails.
bool read_standard_input(std::string* content);

// Writes `content` as the whole new content of the file `name`, creating it
// or cutting an existing file to length 0. When the file cannot be opened, or
// a write or the close fails, writes "\nUnable to write file: NAME (REASON)\n"
// to standard output and ends the process with exit status 1.
void write_output_file(const char* name, std::string_view content);

// Writes `content` to standard output as it stands (it may hold any bytes).
void write_stdout(std::string_view content);

}  // namespace mirelon

#endif  // MIRELON_FILES_H_
