// What a walk lists does not depend on its options, and link lattices
// cannot make it explode.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "faults/fault_runner.h"
#include "test_support.h"

namespace quorvid::test {
namespace {

using Lines = std::vector<std::string>;

std::string CountLine(const std::string& out) {
  Lines lines = SplitLines(out);
  return lines.empty() ? "" : lines.back();
}

TEST(Listing, AFolderThatCanBeReadButNotSearchedListsTheSameWithOutputFiles) {
  // Its names can be read, nothing in it can be examined or opened: three
  // files that cannot be read, whatever output the run writes.
  TempDir dir;
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) WriteFile(dir / ("t/" + std::string(name)), name);
  ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
  ASSERT_EQ(::chmod((dir / "t").c_str(), 0444), 0);
  FaultOptions options;
  options.workDir = dir.path();
  options.asNobody = true;  // root may search any folder
  const std::string expected = "Success = 0   Unfiltered = 3   Error = 3";
  FaultRun plain = RunFault({"-c", "-d", "t"}, options, 20);
  EXPECT_EQ(plain.exitCode, 1) << plain.err;
  EXPECT_EQ(CountLine(plain.out), expected);
  FaultRun out = RunFault({"-c", "-d", "t", "-o", "out.txt"}, options, 20);
  EXPECT_EQ(out.exitCode, 1) << out.err;
  EXPECT_EQ(CountLine(ReadFile(dir / "out.txt")), expected);
  FaultRun list = RunFault({"-c", "-d", "t", "-g", "list.txt"}, options, 20);
  EXPECT_EQ(list.exitCode, 1) << list.err;
  EXPECT_EQ(CountLine(ReadFile(dir / "list.txt")), expected);
  ::chmod((dir / "t").c_str(), 0755);
}

TEST(Listing, EachRealFolderIsWalkedOnce) {
  // Nine folders, each with one file and a link to every other folder: the
  // walk lists nine files, not the hundreds of thousands of paths.
  TempDir dir;
  const int kFolders = 9;
  for (int i = 0; i < kFolders; ++i)
    WriteFile(dir / ("t/d" + std::to_string(i) + "/f.txt"), std::to_string(i));
  for (int i = 0; i < kFolders; ++i) {
    for (int j = 0; j < kFolders; ++j) {
      if (i == j) continue;
      const std::string target = dir / ("t/d" + std::to_string(j));
      const std::string link = dir / ("t/d" + std::to_string(i) + "/to" + std::to_string(j));
      ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    }
  }
  FaultOptions options;
  options.workDir = dir.path();
  FaultRun r = RunFault({"-c", "-s", "-r", "-d", "t"}, options, 20);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(CountLine(r.out), "Success = 9   Unfiltered = 9   Error = 0");
}

}  // namespace
}  // namespace quorvid::test
