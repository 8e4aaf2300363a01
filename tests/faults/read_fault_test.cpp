// Files that fail while a run reads them: one that vanishes between the
// folder walk and its hashing, and one whose read fails part way. Each gets
// the placeholder, the others are hashed, and exit bit 1 tells of it.
#include <gtest/gtest.h>

#include <algorithm>

#include "faults/fault_runner.h"
#include "test_support.h"

namespace quorvid::test {
namespace {

using Lines = std::vector<std::string>;

const std::string kDeniedSha256(":::DENIED:::" + std::string(64 - 12, ':'));

class ReadFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(dir_ / "t/a.txt", "alpha\n");
    WriteFile(dir_ / "t/b.bin", std::string(3 * 1024 * 1024 + 5, 'b'));
    WriteFile(dir_ / "t/c.txt", "gamma\n");
  }
  FaultRun Run(const std::vector<std::string>& args, const std::string& fault) {
    FaultOptions options;
    options.workDir = dir_.path();
    options.preloadShim = true;
    options.extraEnv = {fault};
    return RunFault(args, options);
  }
  // The line of `name` in `out`, "" when there is none.
  static std::string LineOf(const std::string& out, const std::string& name) {
    for (const std::string& line : SplitLines(out))
      if (line.size() >= name.size() && line.compare(line.size() - name.size(), name.size(), name) == 0)
        return line;
    return "";
  }
  TempDir dir_;
};

TEST_F(ReadFaults, AFileThatVanishesAfterTheWalkGetsThePlaceholder) {
  FaultRun healthy = Run({"-d", "t", "-f"}, "QUORVID_FAULT_VANISH=none");
  ASSERT_EQ(healthy.exitCode, 0) << healthy.err;

  FaultRun r = Run({"-d", "t", "-f"}, "QUORVID_FAULT_VANISH=b.bin");
  EXPECT_EQ(r.exitCode, 1) << r.err;
  EXPECT_EQ(LineOf(r.out, "b.bin").substr(0, kDeniedSha256.size()), kDeniedSha256) << r.out;
  EXPECT_EQ(LineOf(r.out, "a.txt"), LineOf(healthy.out, "a.txt"));
  EXPECT_EQ(LineOf(r.out, "c.txt"), LineOf(healthy.out, "c.txt"));

  // A -g list holds the other files' hashes and the denied marker for it, so
  // a later check reports it instead of passing it.
  r = Run({"-g", "list.txt", "-d", "t"}, "QUORVID_FAULT_VANISH=b.bin");
  EXPECT_EQ(r.exitCode, 1) << r.err;
  std::string list = ReadFile(dir_ / "list.txt");
  EXPECT_NE(list.find("*a.txt"), std::string::npos) << list;
  EXPECT_NE(list.find("*c.txt"), std::string::npos) << list;
  EXPECT_NE(list.find(kDeniedSha256 + " ?SHA256*b.bin"), std::string::npos) << list;
  r = Run({"-x", "list.txt", "t"}, "QUORVID_FAULT_VANISH=none");
  EXPECT_EQ(r.exitCode, 2 | 4) << r.out;
  EXPECT_NE(r.out.find("FAILED       SHA256       b.bin"), std::string::npos) << r.out;
}

TEST_F(ReadFaults, AReadThatFailsPartWayGetsThePlaceholderNotAHashOfThePart) {
  FaultRun healthy = Run({"-d", "t", "-f", "--md5", "--xx64"}, "QUORVID_FAULT_EIO=none");
  ASSERT_EQ(healthy.exitCode, 0) << healthy.err;
  // Fails after 1 MiB + 3 bytes: in the middle of a buffer.
  FaultRun r = Run({"-d", "t", "-f", "--md5", "--xx64"}, "QUORVID_FAULT_EIO=b.bin:1048579");
  EXPECT_EQ(r.exitCode, 1) << r.err;
  Lines lines = SplitLines(r.out);
  Lines broken;
  for (const std::string& line : lines)
    if (line.find("b.bin") != std::string::npos) broken.push_back(line);
  ASSERT_EQ(broken.size(), 2u) << r.out;  // one line per algorithm
  for (const std::string& line : broken) EXPECT_NE(line.find(":::DENIED:::"), std::string::npos) << line;
  // Every other line is exactly what a healthy run writes.
  Lines expected = SplitLines(healthy.out);
  for (const std::string& line : lines) {
    if (line.find("b.bin") != std::string::npos) continue;
    EXPECT_NE(std::find(expected.begin(), expected.end(), line), expected.end()) << line;
  }
  EXPECT_EQ(lines.size(), expected.size());

  // A file named on the command line fails the same way.
  r = Run({"t/b.bin"}, "QUORVID_FAULT_EIO=b.bin:10");
  EXPECT_EQ(r.exitCode & 1, 1) << r.out << r.err;
  EXPECT_NE(r.out.find(kDeniedSha256), std::string::npos) << r.out;
}

TEST_F(ReadFaults, ChecksumCheckReportsTheFailingFileAsAnError) {
  FaultRun r = Run({"-g", "list.txt", "-d", "t"}, "QUORVID_FAULT_EIO=none");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  r = Run({"-x", "list.txt", "t"}, "QUORVID_FAULT_EIO=b.bin:4096");
  // Bit 1 for the read error; the other two files still pass.
  EXPECT_EQ(r.exitCode, 1 | 4) << r.out;
  EXPECT_NE(r.out.find("OK           SHA256       a.txt"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("OK           SHA256       c.txt"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("OK           SHA256       b.bin"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace quorvid::test
