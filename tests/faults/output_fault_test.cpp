// Output files that cannot take what is written, or that would destroy an
// input: a full device ends the run with the file error message and the
// writer's own code; an output that is also an input is refused before
// anything is created or emptied.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

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

class OutputIsInput : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(dir_ / "t/a.txt", "alpha\n");
    WriteFile(dir_ / "list.txt", kList);
  }
  FaultRun Run(const std::vector<std::string>& args) {
    FaultOptions options;
    options.workDir = dir_.path();
    return RunFault(args, options, 20);
  }
  // The run was refused with `code` and the message, and `name` is intact.
  void ExpectRefused(const FaultRun& r, int code, const std::string& name,
                     const std::string& content) {
    EXPECT_EQ(r.exitCode, code) << r.err;
    EXPECT_NE(r.err.find("ERROR: The output file is also an input: \"" + name + "\""),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(ReadFile(dir_ / name), content) << name;
  }
  const std::string kList =
      "b6a98d9ce9a2d9149288fa3df42d377c3e42737afdcdaf714e33c0a100b51060 *t/a.txt\n";
  TempDir dir_;
};

TEST_F(OutputIsInput, ResultFileNamingAnInputIsRefusedBeforeItIsEmptied) {
  ExpectRefused(Run({"-o", "t/a.txt", "t/a.txt"}), 102, "t/a.txt", "alpha\n");
  ExpectRefused(Run({"-o", "list.txt", "-x", "list.txt"}), 102, "list.txt", kList);
  ExpectRefused(Run({"-o", "list.txt", "--vm", "list.txt"}), 102, "list.txt", kList);
  ExpectRefused(Run({"-o", "list.txt", "-y", "t/a.txt", "list.txt"}), 102, "list.txt", kList);
  ExpectRefused(Run({"-o", "list.txt", "-k", "t/a.txt", "list.txt"}), 102, "list.txt", kList);
  ExpectRefused(Run({"--hl", "./list.txt", "-d", "t", "-o", "list.txt"}), 102, "list.txt", kList);
  // The same file under another name is still the same file.
  ASSERT_EQ(::link((dir_ / "list.txt").c_str(), (dir_ / "other.txt").c_str()), 0);
  ExpectRefused(Run({"-o", "other.txt", "-x", "list.txt"}), 102, "other.txt", kList);
}

TEST_F(OutputIsInput, ChecksumListAndSummaryNamingAnInputAreRefused) {
  ExpectRefused(Run({"-e", "list.txt", "-g", "list.txt", "-d", "t"}), 115, "list.txt", kList);
  ExpectRefused(Run({"-e", "list.txt", "-u", "list.txt", "-d", "t"}), 105, "list.txt", kList);
  // Nothing was created either: the -o file of a refused run does not exist.
  FaultRun r = Run({"-o", "new.txt", "-e", "list.txt", "-g", "list.txt", "-d", "t"});
  EXPECT_EQ(r.exitCode, 115);
  EXPECT_FALSE(std::ifstream(dir_ / "new.txt").good());
  // An output that is no input is fine.
  EXPECT_EQ(Run({"-o", "out.txt", "-x", "list.txt"}).exitCode, 0);
  EXPECT_EQ(ReadFile(dir_ / "out.txt"), "OK           SHA256       t/a.txt\n");
}

}  // namespace
}  // namespace quorvid::test
