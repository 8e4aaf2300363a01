// Compare mode through the real binary.
#include <gtest/gtest.h>

#include "list_expected_digests.h"
#include "test_support.h"

namespace quorvid::test {
namespace {

using Lines = std::vector<std::string>;
namespace d = digest;

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}
std::string Right(const std::string& text, size_t width) {
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

class Compare : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(dir_ / "a.txt", "same content\n");
    WriteFile(dir_ / "b.txt", "same content\n");
    WriteFile(dir_ / "c.txt", "same contenT\n");
    WriteFile(dir_ / "e1.bin", "");
    WriteFile(dir_ / "e2.bin", "");
    WriteFile(dir_ / "sub/x", "x");
  }
  RunResult Run(const std::vector<std::string>& args) {
    RunOptions options;
    options.workDir = dir_.path();
    return RunQuorvid(args, options);
  }
  TempDir dir_;
};

TEST_F(Compare, IdenticalDifferentAndSameName) {
  const std::string same = Upper(d::kSameSha256);
  RunResult r = Run({"-k", "a.txt", "b.txt", "--sha256"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(OutputLines(r.out), Lines{"TRUE  " + same + " " + same});

  r = Run({"-k", "a.txt", "c.txt", "--sha256"});
  EXPECT_EQ(r.exitCode, 98);
  EXPECT_EQ(OutputLines(r.out), Lines{"FALSE " + same + " " + Upper(d::kDiffSha256)});

  r = Run({"-k", "a.txt", "a.txt", "--sha256"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(OutputLines(r.out), Lines{"TRUE  " + same + " " + same});
  // Another spelling of the same file is read again and still matches.
  r = Run({"-k", "a.txt", "./a.txt", "--sha256"});
  EXPECT_EQ(OutputLines(r.out), Lines{"TRUE  " + same + " " + same});
}

TEST_F(Compare, DefaultIsBlake3) {
  const std::string empty = Upper(d::kEmpty[10]);
  RunResult r = Run({"-k", "e1.bin", "e2.bin"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(OutputLines(r.out), Lines{"TRUE  " + empty + " " + empty});
}

TEST_F(Compare, TwoAlgorithmsArePrefixedAndWrittenToTheOutputFile) {
  RunResult r = Run({"-k", "a.txt", "c.txt", "--sha256", "--md5", "-o", "out.txt", "-t"});
  EXPECT_EQ(r.exitCode, 98);
  std::string expected = "     MD5: FALSE " + Upper(d::kSameMd5) + " " + Upper(d::kDiffMd5) +
                         LineEnd() + "SHA2_256: FALSE " + Upper(d::kSameSha256) + " " +
                         Upper(d::kDiffSha256) + LineEnd();
  EXPECT_EQ(ReadFile(dir_ / "out.txt"), expected);
  EXPECT_EQ(r.out, expected);
}

TEST_F(Compare, AllAlgorithmsGiveFourteenLines) {
  RunResult r = Run({"-k", "e1.bin", "e2.bin", "--all"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  Lines lines = OutputLines(r.out);
  ASSERT_EQ(lines.size(), 14u);
  for (int i = 0; i < 14; ++i) {
    std::string digest = Upper(d::kEmpty[i]);
    EXPECT_EQ(lines[i], Right(d::kPrefixNames[i], 21) + "TRUE  " + digest + " " + digest);
  }
  r = Run({"-k", "e1.bin", "a.txt", "--all"});
  EXPECT_EQ(r.exitCode, 98);
  lines = OutputLines(r.out);
  ASSERT_EQ(lines.size(), 14u);
  EXPECT_EQ(lines[2], "           SHA2_256: FALSE " + Upper(d::kEmpty[2]) + " " +
                          Upper(d::kSameSha256));
  for (const auto& line : lines) EXPECT_EQ(line.substr(21, 6), "FALSE ");
}

TEST_F(Compare, UnreadableFileGivesErrorLines) {
  if (OnWindows()) GTEST_SKIP() << "no /proc on Windows";
  const std::string denied = ":::DENIED:::" + std::string(52, ':');
  RunResult r = Run({"-k", "/proc/self/mem", "a.txt", "--sha256"});
  EXPECT_EQ(r.exitCode, 97);
  EXPECT_EQ(OutputLines(r.out), Lines{"ERROR " + denied + " " + Upper(d::kSameSha256)});
  r = Run({"-k", "/proc/self/mem", "/proc/self/mem", "--md5", "--sha256"});
  EXPECT_EQ(r.exitCode, 97);
  EXPECT_EQ(OutputLines(r.out),
            (Lines{"     MD5: ERROR " + denied.substr(0, 32) + " " + denied.substr(0, 32),
                   "SHA2_256: ERROR " + denied + " " + denied}));
}

TEST_F(Compare, MissingNamesAndFiles) {
  RunResult r = Run({"-k", "a.txt"});
  EXPECT_EQ(r.exitCode, 112);
  EXPECT_NE(r.err.find("ERROR: Two files are needed for comparison!"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(Run({"--lm", "-k", "a.txt"}).exitCode, 70);

  r = Run({"-k", "a.txt", "nope.txt"});
  EXPECT_EQ(r.exitCode, 109);
  EXPECT_NE(r.err.find("ERROR: Could not open one or both of the following files! -- "
                       "\"a.txt\" and \"nope.txt\""),
            std::string::npos)
      << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(Run({"--lm", "-k", "a.txt", "nope.txt"}).exitCode, 71);
  // A folder is not a file.
  r = Run({"-k", "sub", "a.txt"});
  EXPECT_EQ(r.exitCode, 109);
  EXPECT_NE(r.err.find("-- \"sub\" and \"a.txt\""), std::string::npos) << r.err;
}

}  // namespace
}  // namespace quorvid::test
