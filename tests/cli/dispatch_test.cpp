// Which mode a command line reaches.
#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include "cli_test_lines.h"

namespace quorvid::test {
namespace {

TEST(Dispatch, FreeWordsAloneAreListItems) {
  auto r = RunQuorvid({"abc", "def"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  auto lines = SplitLines(r.out);
  ASSERT_EQ(lines.size(), 2u) << r.out;
  EXPECT_EQ(lines[0].substr(lines[0].size() - 3), "abc");
  EXPECT_EQ(lines[1].substr(lines[1].size() - 3), "def");
}

TEST(Dispatch, AnExplicitListOptionGivesWayToDirectoryMode) {
  TempDir dir;
  WriteFile(dir / "a.txt", "hi\n");
  auto r = RunQuorvid({"-l", "-d", dir.path()});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  auto lines = SplitLines(r.out);
  ASSERT_EQ(lines.size(), 1u) << r.out;
  std::string tail = dir / "a.txt";
  EXPECT_EQ(lines[0].substr(lines[0].size() - tail.size()), tail);
}

TEST(Dispatch, EncodeRunsBeforeListMode) {
  auto r = RunQuorvid({"--e64", "hello"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "aGVsbG8=\n");
  auto none = RunQuorvid({"--d64"});
  EXPECT_EQ(none.exitCode, 120) << none.err;
  EXPECT_EQ(RunQuorvid({"--file", "--e64"}).exitCode, 121);
  EXPECT_EQ(RunQuorvid({"--e64", "nosuchfile", "--file"}).exitCode, 71);
  // --e64 takes "--file" as its value before the --file search sees it.
  EXPECT_EQ(RunQuorvid({"--e64", "--file"}).exitCode, 71);
}

TEST(Dispatch, LegacyModeTurnsTheMissingFileNameCodeInto70) {
  EXPECT_EQ(RunQuorvid({"-k", "a"}).exitCode, 112);
  EXPECT_EQ(RunQuorvid({"--lm", "-k", "a"}).exitCode, 70);
}

// Runs the binary on a pseudo-terminal and presses a key after `keyAfterMs`.
struct PtyRun {
  std::string err;
  double seconds = 0;
  int exitCode = -1;
};

PtyRun RunOnTerminal(const std::vector<std::string>& args, int keyAfterMs) {
  PtyRun result;
  int master = -1;
  std::string binary = QuorvidBinary();
  auto start = std::chrono::steady_clock::now();
  pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
  if (pid < 0) return result;
  if (pid == 0) {
    std::vector<char*> argv{binary.data()};
    std::vector<std::string> copy = args;
    for (auto& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(binary.c_str(), argv.data());
    _exit(127);
  }
  bool keySent = false;
  char buf[4096];
  for (;;) {
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                       std::chrono::steady_clock::now() - start).count();
    if (!keySent && elapsed >= keyAfterMs) {
      ssize_t w = write(master, "x", 1);
      (void)w;
      keySent = true;
    }
    pollfd fd{master, POLLIN, 0};
    if (poll(&fd, 1, 50) > 0) {
      ssize_t n = read(master, buf, sizeof buf);
      if (n <= 0) break;  // the program ended and closed the terminal
      result.err.append(buf, static_cast<size_t>(n));
    }
  }
  int status = 0;
  waitpid(pid, &status, 0);
  result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  close(master);
  return result;
}

TEST(Dispatch, AKeyEndsTheErrorDelayEarlyOnATerminal) {
  PtyRun r = RunOnTerminal({"--error-delay", "1", "-zz", "-d", "/"}, 1000);
  EXPECT_EQ(r.exitCode, 65);
  size_t at = r.err.find("Press any key to continue...");
  ASSERT_NE(at, std::string::npos) << r.err;
  size_t dots = 0;
  for (size_t i = at + 28; i < r.err.size() && r.err[i] == '.'; ++i) ++dots;
  EXPECT_GE(dots, 3u);
  EXPECT_LE(dots, 8u);
  EXPECT_LT(r.seconds, 4.0);
}

}  // namespace
}  // namespace quorvid::test
