// Signals during a run. SIGTERM and SIGINT while -g writes a list: every
// entry written before the
// signal stays in the list, followed by the abort line, exit code 252. The
// read-fault library holds one file's open until the signal has been sent, so the
// moment of the signal is known: the list holds the files before it in walk
// order (and perhaps the held one), none after it.
#include <gtest/gtest.h>
#include <signal.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <tuple>

#include "faults/fault_runner.h"
#include "platform/folders.h"
#include "test_support.h"

namespace quorvid::test {
namespace {

using Lines = std::vector<std::string>;

// (signal, held to one processor)
class SignalDuringList : public ::testing::TestWithParam<std::tuple<int, bool>> {};

TEST_P(SignalDuringList, ListKeepsEveryEntryBeforeTheSignalAndTheAbortLine) {
  const auto [signal, oneProcessor] = GetParam();
  TempDir dir;
  const int kFiles = 40;
  for (int i = 0; i < kFiles; ++i) WriteFile(dir / ("t/f" + std::to_string(i)), std::to_string(i));
  const std::string gate = dir / "gate-reached";

  // The walk takes the folder's files in the order the system lists them;
  // the held file lies in the middle of it.
  std::vector<platform::FolderEntry> entries;
  ASSERT_TRUE(platform::ReadFolder(dir / "t", entries));
  Lines order;
  for (const auto& e : entries) order.push_back(e.name);
  ASSERT_EQ(order.size(), static_cast<size_t>(kFiles));
  const size_t heldAt = kFiles / 2;

  FaultOptions options;
  options.workDir = dir.path();
  options.preloadShim = true;
  options.oneProcessor = oneProcessor;
  options.extraEnv = {"QUORVID_FAULT_GATE=" + order[heldAt] + ":" + gate};
  FaultChild child({"-g", "list.txt", "-d", "t"}, options);
  ASSERT_TRUE(WaitForFile(gate, 30.0));
  kill(child.pid(), signal);
  std::remove(gate.c_str());  // lets the held open go on
  FaultRun r = child.Wait();
  EXPECT_EQ(r.exitCode, 252) << r.err;

  Lines list = SplitLines(ReadFile(dir / "list.txt"));
  ASSERT_GE(list.size(), 2u);
  EXPECT_EQ(list.back(), "Processing Aborted...  ");
  EXPECT_EQ(list[list.size() - 2], "");
  Lines listed;
  for (const std::string& line : list)
    if (line.find('*') != std::string::npos) listed.push_back(line.substr(line.find('*') + 1));
  // The list is the walk up to the point the run stopped, in walk order, and
  // stops at the held file at the latest.
  ASSERT_LE(listed.size(), heldAt + 1) << r.out;
  EXPECT_EQ(listed, Lines(order.begin(), order.begin() + static_cast<long>(listed.size())));
  // On one processor the held file is opened only when the loop reaches it,
  // so every file before it was written before the signal.
  if (oneProcessor) {
    EXPECT_GE(listed.size(), heldAt);
  }
}

INSTANTIATE_TEST_SUITE_P(Signals, SignalDuringList,
                         ::testing::Combine(::testing::Values(SIGTERM, SIGINT), ::testing::Bool()),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param) == SIGTERM ? "SIGTERM"
                                                                                  : "SIGINT") +
                                  (std::get<1>(info.param) ? "_OneProcessor" : "_AllProcessors");
                         });

// Holds the open of `name` through the read-fault library and returns when
// the run has reached it; `Release` lets the open go on.
class HeldOpen {
 public:
  HeldOpen(const TempDir& dir, const std::string& name) : gate_(dir / "gate-reached") {
    options.workDir = dir.path();
    options.preloadShim = true;
    options.extraEnv = {"QUORVID_FAULT_GATE=" + name + ":" + gate_};
  }
  bool Reached() const { return WaitForFile(gate_, 30.0); }
  void Release() const { std::remove(gate_.c_str()); }
  FaultOptions options;

 private:
  std::string gate_;
};

double Seconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The algorithms whose reads run on the walk's own thread, on a ring of
// threads, and over parts of the file on every core.
class InterruptDuringAFile : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(InterruptDuringAFile, TheLastFileIsLeftWithinASecondAndTheRunAborts) {
  TempDir dir;
  WriteFile(dir / "t/a.txt", "alpha\n");
  // Files come before subfolders, so the large one is the walk's last.
  MakeSparseFile(dir / "t/sub/big.bin", 8LL << 30);
  HeldOpen held(dir, "big.bin");
  std::vector<std::string> args = GetParam();
  for (const char* a : {"-c", "-r", "-u", "sum.txt", "-o", "out.txt", "-d", "t"}) args.push_back(a);
  FaultChild child(args, held.options);
  ASSERT_TRUE(held.Reached());
  held.Release();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // well into the read
  const double signalled = Seconds();
  kill(child.pid(), SIGINT);
  FaultRun r = child.Wait(30);
  EXPECT_LT(Seconds() - signalled, 1.5);
  EXPECT_EQ(r.exitCode, 252) << r.err;
  // The file being read is left out; no count follows the abort line, and
  // the summary says the run was aborted.
  const std::string written = ReadFile(dir / "out.txt");
  Lines out = SplitLines(written);
  ASSERT_GE(out.size(), 3u) << written;
  EXPECT_NE(out[0].find("t/a.txt"), std::string::npos);
  EXPECT_EQ(Lines(out.end() - 2, out.end()), (Lines{"", "Processing Aborted...  "}));
  EXPECT_EQ(written.find("big.bin"), std::string::npos) << written;
  EXPECT_EQ(written.find("Success ="), std::string::npos) << written;
  EXPECT_EQ(ReadFile(dir / "sum.txt"), "1,2,0,TRUE\n");
}

TEST_P(InterruptDuringAFile, AFileInTheMiddleIsLeftWithinASecond) {
  TempDir dir;
  MakeSparseFile(dir / "t/big.bin", 8LL << 30);
  WriteFile(dir / "t/sub/a.txt", "alpha\n");
  HeldOpen held(dir, "big.bin");
  std::vector<std::string> args = GetParam();
  for (const char* a : {"-r", "-o", "out.txt", "-d", "t"}) args.push_back(a);
  FaultChild child(args, held.options);
  ASSERT_TRUE(held.Reached());
  held.Release();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const double signalled = Seconds();
  kill(child.pid(), SIGTERM);
  FaultRun r = child.Wait(30);
  EXPECT_LT(Seconds() - signalled, 1.5);
  EXPECT_EQ(r.exitCode, 252) << r.err;
  // Neither the file being read nor the one after it has a line.
  EXPECT_EQ(ReadFile(dir / "out.txt"), "\nProcessing Aborted...  \n");
}

INSTANTIATE_TEST_SUITE_P(Reads, InterruptDuringAFile,
                         ::testing::Values(std::vector<std::string>{"--sha256"},
                                           std::vector<std::string>{"--md5", "--sha1"},
                                           std::vector<std::string>{"--blake3"}),
                         [](const auto& info) {
                           std::string name;
                           for (const std::string& a : info.param) name += a.substr(2);
                           return name;
                         });

// Outside the walk a signal ends the run as it always does, but the results
// computed before it reach the -o file first.
TEST(SignalOutsideTheWalk, ListModeKeepsItsResultsInTheOutputFile) {
  TempDir dir;
  WriteFile(dir / "a.txt", "alpha\n");
  // Opening a FIFO with no writer waits: the run is there when signalled.
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0644), 0);
  HeldOpen held(dir, "pipe");
  FaultChild child({"-o", "out.txt", "a.txt", "pipe"}, held.options);
  ASSERT_TRUE(held.Reached());
  held.Release();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  kill(child.pid(), SIGTERM);
  FaultRun r = child.Wait(30);
  EXPECT_EQ(r.exitCode, 128 + SIGTERM);
  EXPECT_EQ(ReadFile(dir / "out.txt"),
            "b6a98d9ce9a2d9149288fa3df42d377c3e42737afdcdaf714e33c0a100b51060  {File}  a.txt\n")
      << "the first line, computed before the signal";
}

TEST(SignalOutsideTheWalk, CheckKeepsItsResultsInTheOutputFile) {
  TempDir dir;
  WriteFile(dir / "a.txt", "alpha\n");
  MakeSparseFile(dir / "big.bin", 8LL << 30);
  WriteFile(dir / "list.txt",
            "b6a98d9ce9a2d9149288fa3df42d377c3e42737afdcdaf714e33c0a100b51060 *a.txt\n" +
                std::string(64, '0') + " *big.bin\n");
  HeldOpen held(dir, "big.bin");
  FaultChild child({"-o", "out.txt", "-x", "list.txt"}, held.options);
  ASSERT_TRUE(held.Reached());
  held.Release();
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  kill(child.pid(), SIGINT);
  FaultRun r = child.Wait(30);
  EXPECT_EQ(r.exitCode, 128 + SIGINT);
  EXPECT_EQ(ReadFile(dir / "out.txt"), "OK           SHA256       a.txt\n");
}

TEST(SignalOutsideTheWalk, ClosedStandardOutputUnderTeeKeepsTheOutputFile) {
  // Far more than a pipe holds, so the copy on standard output meets the
  // closed pipe while results are still being written.
  TempDir dir;
  std::string command = "set -o pipefail; '" + QuorvidBinary() + "' --xx64 -s -t -o '" +
                        (dir / "out.txt") + "'";
  for (int i = 0; i < 4000; ++i) command += " text" + std::to_string(i);
  const int status = std::system(("bash -c \"" + command + " | head -n 1 >/dev/null\"").c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 128 + SIGPIPE);
  // The file holds whole lines, in order, up to where the run ended.
  Lines lines = SplitLines(ReadFile(dir / "out.txt"));
  ASSERT_GT(lines.size(), 100u);
  EXPECT_LT(lines.size(), 4000u);
  for (size_t i = 0; i < lines.size(); ++i)
    ASSERT_EQ(lines[i].substr(16), " text" + std::to_string(i)) << lines[i];
}

}  // namespace
}  // namespace quorvid::test
