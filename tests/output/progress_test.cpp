// --progress: the line's text, and the line on a terminal and in a log.
#include "output/progress.h"

#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>

#include "test_support.h"

namespace quorvid {
namespace {

TEST(ProgressLine, FilesBytesRateTimeLeftAndName) {
  TProgressCounts c;
  c.filesDone = 12;
  c.filesTotal = 48;
  c.bytesDone = 3 * 1024 * 1024;
  c.seconds = 2;
  c.current = "photos/2024/beach.jpg";
  // Three quarters of the files are left: three times the time taken.
  EXPECT_EQ(ProgressLine(c, 200), "12/48 files, 3.0 MiB, 2 MB/s, 0:06 left, photos/2024/beach.jpg");
  // Known bytes give the estimate instead of the files.
  c.bytesTotal = 4 * 1024 * 1024;
  EXPECT_EQ(ProgressLine(c, 200), "12/48 files, 3.0 MiB, 2 MB/s, 0:01 left, photos/2024/beach.jpg");
  // No total, no estimate; nothing done yet, no estimate either.
  TProgressCounts open;
  open.filesDone = 3;
  open.bytesDone = 100;
  open.seconds = 1;
  EXPECT_EQ(ProgressLine(open, 200), "3 files, 100 B, 0 MB/s");
  TProgressCounts start;
  start.filesTotal = 1;
  EXPECT_EQ(ProgressLine(start, 200), "0/1 file, 0 B");
  c.seconds = 7300;
  c.bytesTotal = 0;
  EXPECT_EQ(ProgressLine(c, 200).substr(0, 45), "12/48 files, 3.0 MiB, 0 MB/s, 6:05:00 left, p");
}

TEST(ProgressLine, FitsOneRowTheNameGivingWayFirst) {
  TProgressCounts c;
  c.filesDone = 1;
  c.filesTotal = 2;
  c.current = "a/very/long/folder/name/and/the/file.iso";
  const std::string line = ProgressLine(c, 40);
  EXPECT_EQ(line.size(), 39u);
  EXPECT_EQ(line, "1/2 files, 0 B, 0:00 left, .../file.iso");
  EXPECT_EQ(ProgressLine(c, 10).size(), 9u);
}

// Runs the program with standard error on a pseudo-terminal and returns all
// it wrote there.
std::string RunOnTerminal(const std::vector<std::string>& args, const std::string& workDir) {
  int master = -1;
  const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
  if (pid == 0) {
    if (chdir(workDir.c_str()) != 0) _exit(121);
    std::vector<char*> argv{const_cast<char*>(QUORVID_BINARY)};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    setenv("TZ", "UTC", 1);
    execv(argv[0], argv.data());
    _exit(122);
  }
  std::string seen;
  char buffer[4096];
  for (;;) {
    const ssize_t n = read(master, buffer, sizeof buffer);
    if (n > 0) seen.append(buffer, static_cast<size_t>(n));
    else if (n < 0 && errno == EINTR) continue;
    else break;  // EIO once the program has gone
  }
  waitpid(pid, nullptr, 0);
  close(master);
  return seen;
}

TEST(ProgressMeter, RedrawsInPlaceOnATerminalAndLeavesNothingBehind) {
  test::TempDir dir;
  {
    std::ofstream big(dir / "big.bin");
    big.close();
    ASSERT_EQ(truncate((dir / "big.bin").c_str(), 3LL << 30), 0);
  }
  // Results go to the file; the terminal shows only the progress.
  const std::string seen =
      RunOnTerminal({"--progress", "-o", "out.txt", "big.bin", "notes.txx"}, dir.path());
  size_t redraws = 0;
  for (size_t at = 0; (at = seen.find("\r\x1b[K", at)) != std::string::npos; ++at) ++redraws;
  EXPECT_GE(redraws, 2u) << seen;
  EXPECT_NE(seen.find("0/2 files, "), std::string::npos) << seen;
  EXPECT_NE(seen.find(", big.bin"), std::string::npos) << seen;
  // The run's own message clears the line before it is written.
  const size_t note = seen.find("quorvid: \"notes.txx\" is not a file; hashed as text");
  ASSERT_NE(note, std::string::npos) << seen;
  EXPECT_EQ(seen.substr(note - 4, 4), "\r\x1b[K") << seen;
  // No progress line stays behind on the terminal.
  EXPECT_EQ(seen.substr(seen.rfind("\r\x1b[K")).find("files,"), std::string::npos) << seen;
  EXPECT_EQ(test::SplitLines(test::ReadFile(dir / "out.txt")).size(), 2u);
  EXPECT_EQ(test::ReadFile(dir / "out.txt").find("file,"), std::string::npos);
}

TEST(ProgressMeter, ALogGetsPlainLinesAndNothingReachesTheResults) {
  test::TempDir dir;
  for (int i = 0; i < 5; ++i) test::WriteFile(dir / ("t/f" + std::to_string(i)), std::to_string(i));
  const test::RunOptions inDir{dir.path(), {}, ""};
  const test::RunResult plain = test::RunQuorvid({"-r", "-d", "t"}, inDir);
  const test::RunResult shown = test::RunQuorvid({"--progress", "-r", "-d", "t"}, inDir);
  EXPECT_EQ(shown.exitCode, 0);
  EXPECT_EQ(shown.out, plain.out);
  // Standard error is no terminal here: whole lines, the last with the counts.
  EXPECT_EQ(shown.err.find('\r'), std::string::npos);
  const std::vector<std::string> lines = test::SplitLines(shown.err);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back().rfind("5/5 files, ", 0), 0u) << shown.err;

  // Into an output file, and for the list checks too.
  const test::RunResult toFile =
      test::RunQuorvid({"--progress", "-o", "out.txt", "-g", "list.txt", "-r", "-d", "t"}, inDir);
  EXPECT_EQ(toFile.exitCode, 0) << toFile.err;
  EXPECT_EQ(test::ReadFile(dir / "list.txt").find("files,"), std::string::npos);
  const test::RunResult check = test::RunQuorvid({"--progress", "-x", "list.txt", "t"}, inDir);
  EXPECT_EQ(check.exitCode, 0) << check.err;
  EXPECT_EQ(check.out.find("files,"), std::string::npos);
  EXPECT_EQ(test::SplitLines(check.err).back().rfind("5 files, ", 0), 0u) << check.err;
}

}  // namespace
}  // namespace quorvid
