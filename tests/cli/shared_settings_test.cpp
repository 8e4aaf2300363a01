// Settings prepared before any mode runs: summary default, exclusion list,
// output file and legacy exit codes.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli_test_lines.h"

namespace quorvid::test {
namespace {

TEST(SharedSettings, SummaryWithoutNameGoesToTempThenTmpdir) {
  TempDir temp, tmpdir;
  // Windows' own temporary folder comes from TMP.
  const std::string fallback = OnWindows() ? "TMP=" : "TMPDIR=";
  auto r = RunQuorvid({"abc", "-u"}, {"", {"TEMP=" + temp.path(), fallback + tmpdir.path()}, ""});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(std::filesystem::exists(temp / "#Quorvid_Summary.TXT"));
  EXPECT_FALSE(std::filesystem::exists(tmpdir / "#Quorvid_Summary.TXT"));

  // An empty TEMP names no folder.
  auto r2 = RunQuorvid({"abc", "-u"}, {"", {"TEMP=", fallback + tmpdir.path()}, ""});
  EXPECT_EQ(r2.exitCode, 0) << r2.err;
  EXPECT_TRUE(std::filesystem::exists(tmpdir / "#Quorvid_Summary.TXT"));
}

TEST(SharedSettings, ExclusionListNeedsAReadableFile) {
  TempDir dir;
  EXPECT_EQ(RunQuorvid({"-d", dir.path(), "-e"}).exitCode, 101);
  EXPECT_EQ(RunQuorvid({"-d", dir.path(), "-e", dir / "missing.txt"}).exitCode, 101);
  if (!OnWindows()) {  // no /proc on Windows
    EXPECT_EQ(RunQuorvid({"-d", dir.path(), "-e", "/proc/self/mem"}).exitCode, 103);
  }
}

TEST(SharedSettings, OutputFileThatCannotBeWrittenUsesTheLegacyCodeWithLm) {
  TempDir dir;
  std::string target = dir / "no/such/folder/out.txt";
  EXPECT_EQ(RunQuorvid({"abc", "-o", target}).exitCode, 106);
  EXPECT_EQ(RunQuorvid({"--lm", "abc", "-o", target}).exitCode, 72);
}

TEST(SharedSettings, ResultsGoToTheOutputFileAndWithTeeAlsoToTheScreen) {
  TempDir dir;
  auto r = RunQuorvid({"abc", "-o", dir / "out.txt"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "");
  auto lines = SplitLines(ReadFile(dir / "out.txt"));
  ASSERT_EQ(lines.size(), 1u);
  auto tee = RunQuorvid({"abc", "-t", "-o", dir / "tee.txt"});
  EXPECT_EQ(SplitLines(tee.out), lines);
  EXPECT_EQ(SplitLines(ReadFile(dir / "tee.txt")), lines);
}

}  // namespace
}  // namespace quorvid::test
