// SIGTERM and SIGINT while -g writes a list: every entry written before the
// signal stays in the list, followed by the abort line, exit code 252. The
// read-fault library holds one file's open until the signal has been sent, so the
// moment of the signal is known: the list holds the files before it in walk
// order (and perhaps the held one), none after it.
#include <gtest/gtest.h>
#include <signal.h>

#include <cstdio>
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

}  // namespace
}  // namespace quorvid::test
