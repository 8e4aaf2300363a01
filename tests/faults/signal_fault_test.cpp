// SIGTERM and SIGINT while -g writes a list: every entry written before the
// signal stays in the list, followed by the abort line, exit code 252. The
// read-fault library holds one file's open until the signal arrives, so the
// moment of the signal is known.
#include <gtest/gtest.h>
#include <signal.h>

#include <cstdio>
#include <set>

#include "faults/fault_runner.h"
#include "test_support.h"

namespace quorvid::test {
namespace {

using Lines = std::vector<std::string>;

class SignalDuringList : public ::testing::TestWithParam<int> {};

TEST_P(SignalDuringList, ListKeepsEveryEntryBeforeTheSignalAndTheAbortLine) {
  TempDir dir;
  const int kFiles = 40;
  for (int i = 0; i < kFiles; ++i) WriteFile(dir / ("t/f" + std::to_string(i)), std::to_string(i));
  const std::string gate = dir / "gate-reached";
  const std::string log = dir / "opened.txt";

  FaultOptions options;
  options.workDir = dir.path();
  options.preloadShim = true;
  // A first run learns the walk order (the folder's enumeration order), so
  // the held file lies in the middle of the walk.
  options.extraEnv = {"QUORVID_FAULT_LOG=" + log};
  ASSERT_EQ(RunFault({"-g", "first.txt", "-d", "t"}, options).exitCode, 0);
  Lines order;
  for (const std::string& name : SplitLines(ReadFile(log)))
    if (name.size() > 1 && name[0] == 'f' && name != "first.txt") order.push_back(name);
  ASSERT_EQ(order.size(), static_cast<size_t>(kFiles));
  const std::string held = order[kFiles / 2];
  std::remove(log.c_str());

  options.extraEnv = {"QUORVID_FAULT_GATE=" + held + ":" + gate, "QUORVID_FAULT_LOG=" + log};
  FaultChild child({"-g", "list.txt", "-d", "t"}, options);
  ASSERT_TRUE(WaitForFile(gate, 30.0));
  kill(child.pid(), GetParam());
  FaultRun r = child.Wait();
  EXPECT_EQ(r.exitCode, 252) << r.err;

  // The files opened before the held one, in the order they were opened.
  std::set<std::string> before;
  for (const std::string& name : SplitLines(ReadFile(log))) {
    if (name == held) break;
    if (name.size() > 1 && name[0] == 'f') before.insert(name);
  }
  ASSERT_EQ(before.size(), static_cast<size_t>(kFiles / 2));

  Lines list = SplitLines(ReadFile(dir / "list.txt"));
  ASSERT_GE(list.size(), 2u);
  EXPECT_EQ(list.back(), "Processing Aborted...  ");
  EXPECT_EQ(list[list.size() - 2], "");
  std::set<std::string> listed;
  for (const std::string& line : list)
    if (line.find('*') != std::string::npos) listed.insert(line.substr(line.find('*') + 1));
  // Every file hashed before the signal is in the list; none after it.
  for (const std::string& name : before) EXPECT_EQ(listed.count(name), 1u) << name;
  for (const std::string& name : listed) EXPECT_TRUE(before.count(name) || name == held) << name;
}

INSTANTIATE_TEST_SUITE_P(Signals, SignalDuringList, ::testing::Values(SIGTERM, SIGINT),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return info.param == SIGTERM ? std::string("SIGTERM")
                                                        : std::string("SIGINT");
                         });

}  // namespace
}  // namespace quorvid::test
