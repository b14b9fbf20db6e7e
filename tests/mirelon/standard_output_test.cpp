// A run whose standard output cannot take what it writes must end with
// status 1 and say so on standard error, after writing all its files.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "program_run.h"

namespace mirelon {
namespace {

const char kHairpin[] =
    "6 hairpin\n"
    "1 G 0 2 6 1\n2 G 1 3 5 2\n3 A 2 4 0 3\n4 A 3 5 0 4\n5 C 4 6 2 5\n6 C 5 0 1 6\n";

// Runs the program in `run`'s directory with standard output on `out_fd`
// and standard error into the file "stderr"; returns the exit status.
int run_with_stdout(const ProgramRun& run, int out_fd) {
  const pid_t child = fork();
  if (child == 0) {
    const int err = open((run.path() / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (err < 0 || dup2(out_fd, STDOUT_FILENO) < 0 || dup2(err, STDERR_FILENO) < 0 ||
        chdir(run.path().c_str()) != 0) {
      _exit(127);
    }
    execl(MIRELON_BINARY, MIRELON_BINARY, "-s", "rna.ct", static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(StandardOutputTest, FullStandardOutputIsReportedAfterEveryFile) {
  ProgramRun run;
  ASSERT_TRUE(run.ok());
  run.write("rna.ct", kHairpin);
  const int full = open("/dev/full", O_WRONLY);
  ASSERT_GE(full, 0);
  EXPECT_EQ(run_with_stdout(run, full), 1);
  close(full);
  EXPECT_EQ(run.file("stderr"),
            "\nUnable to write file: standard output (No space left on device)\n");
  EXPECT_EQ(run.file("kesta.seq").substr(0, 10), "RGUA    1\n");
  EXPECT_NE(run.file("kesta.aco"), "(none)");
  EXPECT_EQ(run.file("kesta.prot"), "");
}

TEST(StandardOutputTest, FatalMessageGoesToStandardErrorWhenStandardOutputFails) {
  ProgramRun run;
  ASSERT_TRUE(run.ok());  // no CT file: the first step stops
  const int full = open("/dev/full", O_WRONLY);
  ASSERT_GE(full, 0);
  EXPECT_EQ(run_with_stdout(run, full), 1);
  close(full);
  EXPECT_EQ(run.file("stderr"),
            "\nUnable to open secondary sequence file: rna.ct\nFor help type: mirelon -h\n");
  EXPECT_EQ(run.file("kesta.seq"), "(none)");
}

TEST(StandardOutputTest, ReaderGoneDoesNotStopTheRunHalfWay) {
  ProgramRun run;
  ASSERT_TRUE(run.ok());
  run.write("rna.ct", kHairpin);
  int pipe_ends[2];
  ASSERT_EQ(pipe(pipe_ends), 0);
  close(pipe_ends[0]);  // nobody reads: every write to standard output fails
  EXPECT_EQ(run_with_stdout(run, pipe_ends[1]), 1);
  close(pipe_ends[1]);
  EXPECT_EQ(run.file("stderr"), "\nUnable to write file: standard output (Broken pipe)\n");
  EXPECT_EQ(run.file("idarrayke.txt").substr(0, 21), "1 1 0 o 0 o G w G w \n");
  EXPECT_EQ(run.file("kesta.prot"), "");
}

}  // namespace
}  // namespace mirelon
