// Reading input files whole and writing output files with every failure
// reported.
#ifndef MIRELON_COMMON_FILES_H_
#define MIRELON_COMMON_FILES_H_

#include <string>
#include <string_view>

namespace mirelon {

// The UTF-8 byte-order mark that some editors put at the start of a text
// file. It is no part of the text: the readers never see it.
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Reads the whole file `name` into `content`, without a byte-order mark at
// its start. Returns false when the file cannot be opened, is a directory,
// or a read fails; each step reports that as "cannot be opened" with its
// own message. Where `reason` is given it then holds the system's reason
// ("No such file or directory", "Is a directory"), which the companion
// tools name in their messages.
bool read_input_file(const char* name, std::string* content, std::string* reason = nullptr);

// True when `name` exists and is a pipe, a socket or a device: a file that
// may give other content, or none, when it is read a second time.
bool is_stream_file(const char* name);

// True when the working directory (or the folder `name` names) holds no
// entry `name` at all: no file, folder or link, not even a broken one.
bool is_absent(const char* name);

// Reads standard input to its end into `content`, without a byte-order mark
// at its start. Returns false when a read fails, with the system's reason in
// `reason` where it is given.
bool read_standard_input(std::string* content, std::string* reason = nullptr);

// Writes `content` as the whole new content of the file `name`, creating it
// or cutting an existing file to length 0. Returns false with
// "Unable to write file: NAME (REASON)\n" in `error` when the file cannot be
// opened, or a write or the close fails.
bool write_output_file(const char* name, std::string_view content, std::string* error);

// The last part of `path`, after its last '/'.
std::string path_base_name(const std::string& path);

// The last part of `path` without its extension (from its last '.', unless
// that is its first character).
std::string path_stem(const std::string& path);

// Writes `content` to standard output as it stands (it may hold any bytes).
void write_stdout(std::string_view content);

// Writes `content` as the whole output of a tool: to standard output when
// `name` is "-" (flushed, and false with "Unable to write file: standard
// output (REASON)\n" in `error` when that fails), else as write_output_file()
// writes the file `name`.
bool write_tool_output(const char* name, std::string_view content, std::string* error);

}  // namespace mirelon

#endif  // MIRELON_COMMON_FILES_H_
