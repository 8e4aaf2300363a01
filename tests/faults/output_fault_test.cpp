// Writing to a full device: the result stream, the -g list and the summary
// file each end the run with the file error message and their own code.
#include <gtest/gtest.h>

#include "faults/fault_runner.h"
#include "test_support.h"

namespace quorvid::test {
namespace {

const std::string kFullDeviceError =
    "File handling error occurred with \"/dev/full\" -- No space left on device";

class FullDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    // Enough data that the writes reach the device before the run ends.
    for (int i = 0; i < 50; ++i) WriteFile(dir_ / ("t/f" + std::to_string(i)), std::to_string(i));
  }
  FaultRun Run(const std::vector<std::string>& args) {
    FaultOptions options;
    options.workDir = dir_.path();
    return RunFault(args, options);
  }
  TempDir dir_;
};

TEST_F(FullDevice, OutputFileEndsTheRunWith106Or72) {
  FaultRun r = Run({"-o", "/dev/full", "-d", "t"});
  EXPECT_EQ(r.exitCode, 106) << r.err;
  EXPECT_NE(r.err.find(kFullDeviceError), std::string::npos) << r.err;
  EXPECT_EQ(Run({"-o", "/dev/full", "-d", "t", "--lm"}).exitCode, 72);
  // In list mode too, and with the copy on standard output.
  r = Run({"-o", "/dev/full", "-t", "t/f1", "text"});
  EXPECT_EQ(r.exitCode, 106);
  EXPECT_NE(r.err.find(kFullDeviceError), std::string::npos) << r.err;
}

TEST_F(FullDevice, ChecksumListEndsTheRunWith107) {
  FaultRun r = Run({"-g", "/dev/full", "-d", "t"});
  EXPECT_EQ(r.exitCode, 107) << r.err;
  EXPECT_NE(r.err.find(kFullDeviceError), std::string::npos) << r.err;
  // No "Done": the list was not written.
  EXPECT_EQ(r.out.find("... Done"), std::string::npos) << r.out;
  EXPECT_EQ(r.err.find("... Done"), std::string::npos) << r.err;
}

TEST_F(FullDevice, SummaryFileEndsTheRunWith105AfterTheResults) {
  FaultRun r = Run({"-u", "/dev/full", "-d", "t"});
  EXPECT_EQ(r.exitCode, 105) << r.err;
  EXPECT_NE(r.err.find(kFullDeviceError), std::string::npos) << r.err;
  // The results themselves were written before the summary failed.
  EXPECT_EQ(SplitLines(r.out).size(), 50u) << r.out;
}

}  // namespace
}  // namespace quorvid::test
