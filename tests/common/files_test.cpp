#include "common/files.h"

#include <gtest/gtest.h>
#include <pthread.h>
#include <unistd.h>

#include <csignal>
#include <string>
#include <thread>

#include "program_run.h"

namespace mirelon {
namespace {

// A byte-order mark at the very start of a file is left out, once; the
// same bytes anywhere else, or a part of them, stay.
TEST(ReadInputFileTest, LeavesOutAByteOrderMarkAtTheStart) {
  const std::pair<std::string, std::string> cases[] = {
      {"\xEF\xBB\xBF"
       "1 G 0 2 0 1\n",
       "1 G 0 2 0 1\n"},
      {"\xEF\xBB\xBF", ""},
      {"\xEF\xBB\xBF\xEF\xBB\xBFx", "\xEF\xBB\xBFx"},
      {"\xEF\xBBx", "\xEF\xBBx"},
      {"x\xEF\xBB\xBF", "x\xEF\xBB\xBF"},
      {" \xEF\xBB\xBF", " \xEF\xBB\xBF"},
      {"", ""},
  };
  const ProgramRun folder;
  ASSERT_TRUE(folder.ok());
  const std::string name = (folder.path() / "in.txt").string();
  for (const auto& [content, read] : cases) {
    folder.write("in.txt", content);
    std::string got = "old content";
    ASSERT_TRUE(read_input_file(name.c_str(), &got)) << content;
    EXPECT_EQ(got, read) << content;
  }
}

// A regular file is read in one piece of its size, anything else in pieces
// until its end: both give every byte, however many pieces it takes.
TEST(ReadInputFileTest, ReadsWholeFilesOfAnySizeAndPipes) {
  const ProgramRun folder;
  ASSERT_TRUE(folder.ok());
  const std::string name = (folder.path() / "in.txt").string();
  for (size_t size : {size_t{1}, size_t{65535}, size_t{65536}, size_t{65537}, size_t{300001}}) {
    std::string content(size, 'x');
    for (size_t i = 0; i < size; i += 97) content[i] = static_cast<char>('0' + i % 10);
    folder.write("in.txt", content);
    std::string got;
    ASSERT_TRUE(read_input_file(name.c_str(), &got)) << size;
    EXPECT_EQ(got, content) << size;
  }
  // A pipe has no size to go by.
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  const std::string sent = "\xEF\xBB\xBF" + std::string(200000, 'p') + "end";
  std::thread writer([&] {
    // A reader that stops early closes the pipe: the write fails, and the
    // signal of that failure stays blocked in this thread.
    sigset_t pipe_signal;
    sigemptyset(&pipe_signal);
    sigaddset(&pipe_signal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe_signal, nullptr);
    for (size_t at = 0; at < sent.size();) {
      const ssize_t written = write(ends[1], sent.data() + at, sent.size() - at);
      if (written <= 0) break;
      at += static_cast<size_t>(written);
    }
    close(ends[1]);
  });
  std::string got;
  const std::string pipe_name = "/dev/fd/" + std::to_string(ends[0]);
  EXPECT_TRUE(read_input_file(pipe_name.c_str(), &got));
  close(ends[0]);
  writer.join();
  EXPECT_EQ(got, sent.substr(3));  // without its byte-order mark
}

TEST(FilesTest, AFileThatCannotBeReadIsToldWithTheSystemsReason) {
  const struct {
    const char* name;
    const char* reason;
  } cases[] = {
      {"/nonexistent-folder/file.ct", "No such file or directory"},
      {"/", "Is a directory"},
  };
  for (const auto& c : cases) {
    std::string content = "old";
    std::string reason;
    EXPECT_FALSE(read_input_file(c.name, &content, &reason)) << c.name;
    EXPECT_EQ(reason, c.reason) << c.name;
    // Without a place for the reason the read fails all the same.
    EXPECT_FALSE(read_input_file(c.name, &content)) << c.name;
  }
  std::string content;
  std::string reason = "untouched";
  EXPECT_TRUE(read_input_file(MIRELON_TABLE, &content, &reason));
  EXPECT_EQ(reason, "untouched");
  EXPECT_FALSE(content.empty());
}

}  // namespace
}  // namespace mirelon
