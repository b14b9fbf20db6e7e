#include "common/files.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/messages.h"

namespace mirelon {

namespace {

// Appends everything left in `file` to `content`, leaving out a byte-order
// mark at the start of the file, so that every reader of a file starts at
// its first character; false when a read fails. `expected` is the file's
// size where known: a regular file is read straight into the content in
// one piece, with no copy and no growth on the way.
bool read_to_end(std::FILE* file, size_t expected, std::string* content) {
  constexpr size_t kChunk = 1 << 16;
  // One byte more than expected, so that the read that meets the end of a
  // file of the expected size is the first.
  size_t chunk = std::max(kChunk, expected + 1);
  const size_t start = content->size();
  for (;;) {
    const size_t old_size = content->size();
    content->resize(old_size + chunk);
    const size_t got = std::fread(content->data() + old_size, 1, chunk, file);
    content->resize(old_size + got);
    if (got < chunk) break;
    chunk = kChunk;  // a file that grew, or one of unknown size
  }
  if (std::string_view(*content).substr(start, kByteOrderMark.size()) == kByteOrderMark) {
    content->erase(start, kByteOrderMark.size());
  }
  return std::ferror(file) == 0;
}

// Sets `reason`, where given, to the system's text for `error_number` (EIO
// where the system named none); returns false.
bool unable_to_read(int error_number, std::string* reason) {
  if (reason != nullptr) *reason = std::strerror(error_number != 0 ? error_number : EIO);
  return false;
}

}  // namespace

bool read_input_file(const char* name, std::string* content, std::string* reason) {
  errno = 0;
  std::FILE* file = std::fopen(name, "rb");
  if (file == nullptr) return unable_to_read(errno, reason);
  // A directory opens for reading on this platform but reads as nothing or
  // fails; it is no input file.
  struct stat info;
  const bool known = fstat(fileno(file), &info) == 0;
  if (!known || S_ISDIR(info.st_mode)) {
    const int error_number = known ? EISDIR : errno;
    std::fclose(file);
    return unable_to_read(error_number, reason);
  }
  content->clear();
  errno = 0;
  const size_t expected = S_ISREG(info.st_mode) ? static_cast<size_t>(info.st_size) : 0;
  const bool read = read_to_end(file, expected, content);
  const int error_number = errno;
  std::fclose(file);
  return read || unable_to_read(error_number, reason);
}

bool is_stream_file(const char* name) {
  struct stat info;
  return stat(name, &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
}

bool is_absent(const char* name) {
  struct stat info;
  return lstat(name, &info) != 0 && errno == ENOENT;
}

bool read_standard_input(std::string* content, std::string* reason) {
  content->clear();
  errno = 0;
  return read_to_end(stdin, 0, content) || unable_to_read(errno, reason);
}

namespace {

bool unable_to_write(const char* name, int error_number, std::string* error) {
  *error = format_message("Unable to write file: %s (%s)\n", name, std::strerror(error_number));
  return false;
}

}  // namespace

bool write_output_file(const char* name, std::string_view content, std::string* error) {
  std::FILE* file = std::fopen(name, "wb");
  if (file == nullptr) return unable_to_write(name, errno, error);
  errno = 0;
  if (!content.empty() && std::fwrite(content.data(), 1, content.size(), file) != content.size()) {
    const int error_number = errno != 0 ? errno : EIO;
    std::fclose(file);
    return unable_to_write(name, error_number, error);
  }
  if (std::fflush(file) != 0) {
    const int error_number = errno != 0 ? errno : EIO;
    std::fclose(file);
    return unable_to_write(name, error_number, error);
  }
  if (std::fclose(file) != 0) return unable_to_write(name, errno != 0 ? errno : EIO, error);
  return true;
}

void write_stdout(std::string_view content) {
  if (!content.empty()) std::fwrite(content.data(), 1, content.size(), stdout);
}

bool write_tool_output(const char* name, std::string_view content, std::string* error) {
  if (std::strcmp(name, "-") != 0) return write_output_file(name, content, error);
  write_stdout(content);
  if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
    *error = std::string("Unable to write file: standard output (") + std::strerror(errno) + ")\n";
    return false;
  }
  return true;
}

std::string path_base_name(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string path_stem(const std::string& path) {
  std::string name = path_base_name(path);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

}  // namespace mirelon
