// Files that change kind between the listing and the reading: a FIFO or a
// device put in a listed file's place, and lists that name them. None of
// them may hold a run up; each counts as a file that cannot be read.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "faults/fault_runner.h"
#include "test_support.h"

namespace quorvid::test {
namespace {

using Lines = std::vector<std::string>;

const std::string kDenied = ":::DENIED:::" + std::string(52, ':');

// (the swapped file's new kind, held to one processor)
class SwappedDuringTheWalk : public ::testing::TestWithParam<std::tuple<std::string, bool>> {};

TEST_P(SwappedDuringTheWalk, CountsAsUnreadableAndNeverHoldsTheRun) {
  const auto [kind, oneProcessor] = GetParam();
  TempDir dir;
  WriteFile(dir / "t/a.txt", "alpha\n");
  WriteFile(dir / "t/b.txt", "bravo\n");
  const std::string gate = dir / "gate-reached";
  FaultOptions options;
  options.workDir = dir.path();
  options.preloadShim = true;
  options.oneProcessor = oneProcessor;
  options.extraEnv = {"QUORVID_FAULT_GATE=b.txt:" + gate};
  FaultChild child({"-c", "-s", "-d", "t"}, options);
  ASSERT_TRUE(WaitForFile(gate, 30.0));
  // Listed as a file; by the time it is opened, something else.
  ASSERT_EQ(std::remove((dir / "t/b.txt").c_str()), 0);
  if (kind == "fifo")
    ASSERT_EQ(::mkfifo((dir / "t/b.txt").c_str(), 0644), 0);
  else
    ASSERT_EQ(::symlink(kind.c_str(), (dir / "t/b.txt").c_str()), 0);
  std::remove(gate.c_str());
  FaultRun r = child.Wait(20);
  EXPECT_EQ(r.exitCode, 1) << r.err;
  Lines lines = SplitLines(r.out);
  ASSERT_EQ(lines.size(), 3u) << r.out;
  EXPECT_NE(std::find(lines.begin(), lines.end(), kDenied + " t/b.txt"), lines.end()) << r.out;
  EXPECT_EQ(lines[2], "Success = 1   Unfiltered = 2   Error = 1");
}

INSTANTIATE_TEST_SUITE_P(Kinds, SwappedDuringTheWalk,
                         ::testing::Combine(::testing::Values("fifo", "/dev/zero"), ::testing::Bool()),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param) == "fifo" ? "Fifo" : "DevZero") +
                                  (std::get<1>(info.param) ? "_OneProcessor" : "_AllProcessors");
                         });

TEST(ListsNamingSpecialFiles, AreReportedNotWaitedOn) {
  TempDir dir;
  WriteFile(dir / "a.txt", "alpha\n");
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0644), 0);
  const std::string hash = "b6a98d9ce9a2d9149288fa3df42d377c3e42737afdcdaf714e33c0a100b51060";
  WriteFile(dir / "check.txt", hash + " *a.txt\n" + hash + " *pipe\n" + hash + " */dev/zero\n");
  WriteFile(dir / "many.txt", hash + "  a.txt\n" + hash + "  pipe\n" + hash + "  /dev/zero\n");
  FaultOptions options;
  options.workDir = dir.path();

  FaultRun x = RunFault({"-x", "check.txt"}, options, 20);
  EXPECT_EQ(x.exitCode, 5) << x.err;
  EXPECT_EQ(SplitLines(x.out), (Lines{"OK           SHA256       a.txt",
                                      "NOT FOUND    *****        pipe",
                                      "NOT FOUND    *****        /dev/zero", "", "2 file errors"}));

  FaultRun vm = RunFault({"--sha256", "--vm", "many.txt"}, options, 20);
  EXPECT_EQ(vm.exitCode, 5) << vm.err;
  EXPECT_EQ(SplitLines(vm.out), (Lines{"Match found -- SHA2_256: " + hash + "  a.txt",
                                       "File error -- " + hash + "  pipe",
                                       "File error -- " + hash + "  /dev/zero"}));
}

}  // namespace
}  // namespace quorvid::test
