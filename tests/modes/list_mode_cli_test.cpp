// List mode through the real binary: every line layout, exact output.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include "list_expected_digests.h"
#include "test_support.h"

namespace quorvid::test {
namespace {

using Lines = std::vector<std::string>;
namespace d = digest;

const std::string kPlaceholder64 = ":::DENIED:::" + std::string(52, ':');

std::string Pad(const std::string& text, size_t width) {
  return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}
std::string Right(const std::string& text, size_t width) {
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

// A folder with data.txt (18 bytes, dated 2024-03-07 13:05:00 UTC) and sub/data.txt.
class ListLayout : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(dir_ / "data.txt", "Quorvid list test\n");
    WriteFile(dir_ / "sub/data.txt", "Quorvid list test\n");
    std::filesystem::last_write_time(
        dir_ / "data.txt",
        std::chrono::file_clock::from_sys(std::chrono::system_clock::from_time_t(1709816700)));
  }
  RunResult Run(const std::vector<std::string>& args) {
    RunOptions options;
    options.workDir = dir_.path();
    return RunQuorvid(args, options);
  }
  Lines Out(const std::vector<std::string>& args, int expectedCode = 0) {
    RunResult r = Run(args);
    EXPECT_EQ(r.exitCode, expectedCode) << r.err;
    return OutputLines(r.out);
  }
  TempDir dir_;
};

TEST_F(ListLayout, FileRowsForOneAlgorithm) {
  EXPECT_EQ(Out({"data.txt"}), Lines{d::kFileSha256 + "  {File}  data.txt"});
  EXPECT_EQ(Out({"-s", "data.txt"}), Lines{d::kFileSha256 + " data.txt"});
  EXPECT_EQ(Out({"-i", "sub/data.txt"}), Lines{d::kFileSha256 + "  {File}  data.txt"});
  EXPECT_EQ(Out({"-i", NativePath("sub/data.txt")}), Lines{d::kFileSha256 + "  {File}  data.txt"});
  EXPECT_EQ(Out({"-j", "data.txt"}), Lines{d::kFileSha256 + "  {File}  "});
  EXPECT_EQ(Out({"-j", "-s", "data.txt"}), Lines{d::kFileSha256});
  EXPECT_EQ(Out({"-f", "data.txt"}), Lines{d::kFileSha256 + "  {File}  data.txt"});
  EXPECT_EQ(Out({"-l", "sub/data.txt"}), Lines{d::kFileSha256 + "  {File}  sub/data.txt"});
}

TEST_F(ListLayout, TextRowsForOneAlgorithm) {
  EXPECT_EQ(Out({"abc"}), Lines{d::kAbcSha256 + "  {Text}  abc"});
  EXPECT_EQ(Out({"-s", "abc"}), Lines{d::kAbcSha256 + " abc"});
  EXPECT_EQ(Out({"-i", "abc"}), Lines{d::kAbcSha256 + " abc"});
  EXPECT_EQ(Out({"-j", "abc"}), Lines{d::kAbcSha256});
}

TEST_F(ListLayout, TextsThatLookLikeFilesOrBlanks) {
  // A wildcard and a folder name are texts, even with matching files around.
  Lines wildcard = Out({"*.txt"});
  ASSERT_EQ(wildcard.size(), 1u);
  EXPECT_EQ(wildcard[0].substr(64), "  {Text}  *.txt");
  Lines folder = Out({"sub"});
  ASSERT_EQ(folder.size(), 1u);
  EXPECT_EQ(folder[0].substr(64), "  {Text}  sub");
  EXPECT_EQ(Out({"  "}), Lines{d::kTwoSpacesSha256 + "  {Text}  \"  \""});
  EXPECT_EQ(Out({"-l", ""}), Lines{d::kEmpty[2] + "  {Text}  \"\""});
}

TEST_F(ListLayout, SizeDateAndPlainText) {
  EXPECT_EQ(Out({"-z", "data.txt"}),
            Lines{"{          18} " + d::kFileSha256 + "  {File}  data.txt"});
  EXPECT_EQ(Out({"-#", "data.txt"}),
            Lines{d::kFileSha256 + " 2024.03.07-13:05  {File}  data.txt"});
  EXPECT_EQ(Out({"-l", "-z", "-#", "abc"}),
            Lines{"{------------} " + d::kAbcSha256 + " ----------------  {Text}  abc"});
  EXPECT_EQ(Out({"-l", "-z", "-#", "--pt", "abc"}), Lines{d::kAbcSha256 + "  {Text}  abc"});
  EXPECT_EQ(Out({"-#", "--df", "yyyy", "abc"}), Lines{d::kAbcSha256 + " ----  {Text}  abc"});
  // -j drops the size of a file.
  EXPECT_EQ(Out({"-j", "-z", "-s", "data.txt"}), Lines{d::kFileSha256});
}

TEST_F(ListLayout, PrefixWithOneAlgorithm) {
  EXPECT_EQ(Out({"-p", "abc"}), Lines{"SHA2_256: " + d::kAbcSha256 + "  {Text}  abc"});
  EXPECT_EQ(Out({"-s", "-p", "abc"}), Lines{"SHA2_256: " + d::kAbcSha256 + " abc"});
  EXPECT_EQ(Out({"-5", "abc"}), Lines{d::kAbcMd5 + "  {Text}  abc"});
}

TEST_F(ListLayout, TwoAlgorithmsShareAPrefixColumnAndHashWidth) {
  Lines expected{"     MD5: " + Pad(d::kAbcMd5, 64) + "  {Text}  abc",
                 "SHA2_256: " + d::kAbcSha256 + "  {Text}  abc", "---------------",
                 "     MD5: " + Pad(d::kFileMd5, 64) + "  {File}  data.txt",
                 "SHA2_256: " + d::kFileSha256 + "  {File}  data.txt", "---------------"};
  EXPECT_EQ(Out({"--sha256", "--md5", "abc", "data.txt"}), expected);
}

TEST_F(ListLayout, SeveralAlgorithmsWithSimpleJustHashAndFsum) {
  // -s, -i and -j drop prefixes and separators but keep the padding.
  EXPECT_EQ(Out({"-5", "-1", "-s", "abc"}),
            (Lines{Pad(d::kAbcMd5, 40) + " abc", d::kAbcSha1 + " abc"}));
  EXPECT_EQ(Out({"-5", "-1", "-j", "data.txt"}),
            (Lines{Pad(d::kFileMd5, 40) + "  {File}  ", d::kFileSha1 + "  {File}  "}));
  EXPECT_EQ(Out({"-5", "-1", "-j", "abc"}), (Lines{Pad(d::kAbcMd5, 40), d::kAbcSha1}));
  // -f drops the prefix; list mode keeps its file label and the separator.
  EXPECT_EQ(Out({"-5", "-1", "-f", "data.txt"}),
            (Lines{Pad(d::kFileMd5, 40) + "  {File}  data.txt",
                   d::kFileSha1 + "  {File}  data.txt", "---------------"}));
  // -p brings the prefix back after -s.
  EXPECT_EQ(Out({"-5", "-1", "-s", "-p", "abc"}),
            (Lines{" MD5: " + Pad(d::kAbcMd5, 40) + " abc", "SHA1: " + d::kAbcSha1 + " abc"}));
}

TEST_F(ListLayout, AllAlgorithmsOnAnEmptyFile) {
  WriteFile(dir_ / "empty.bin", "");
  Lines lines = Out({"--all", "empty.bin"});
  ASSERT_EQ(lines.size(), 15u);
  for (int i = 0; i < 14; ++i)
    EXPECT_EQ(lines[i], Right(d::kPrefixNames[i], 21) + Pad(d::kEmpty[i], 128) +
                            "  {File}  empty.bin");
  EXPECT_EQ(lines[0].substr(0, 21), std::string(16, ' ') + "MD5: ");
  EXPECT_EQ(lines[14], "---------------");
}

TEST_F(ListLayout, UnreadableFileCountsAsAnErrorAndTextsNever) {
  if (OnWindows()) GTEST_SKIP() << "no /proc on Windows";
  // /proc/self/mem exists as a file but cannot be read from its start.
  Lines lines = Out({"-c", "/proc/self/mem", "abc"}, 1);
  EXPECT_EQ(lines, (Lines{kPlaceholder64 + "  {File}  /proc/self/mem",
                          d::kAbcSha256 + "  {Text}  abc", "Count = 1"}));
  // A text after a failed file is still a success.
  TempDir sums;
  RunResult r = Run({"-u", sums / "s.txt", "/proc/self/mem", "abc", "data.txt"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(ReadFile(sums / "s.txt"), "2,2,1,FALSE\n");
}

TEST_F(ListLayout, OutputFileAppendAndTee) {
  RunResult r = Run({"-o", "out.txt", "abc"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "");
  const std::string abc = d::kAbcSha256 + "  {Text}  abc" + LineEnd();
  EXPECT_EQ(ReadFile(dir_ / "out.txt"), abc);

  r = Run({"-o", "out.txt", "-a", "-c", "data.txt"});
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(ReadFile(dir_ / "out.txt"),
            abc + d::kFileSha256 + "  {File}  data.txt" + LineEnd() + "Count = 1" + LineEnd());

  // Without -a the old content goes.
  r = Run({"-o", "out.txt", "-t", "--md5", "--sha1", "abc"});
  std::string expected = " MD5: " + Pad(d::kAbcMd5, 40) + "  {Text}  abc" + LineEnd() +
                         "SHA1: " + d::kAbcSha1 + "  {Text}  abc" + LineEnd() +
                         "---------------" + LineEnd();
  EXPECT_EQ(ReadFile(dir_ / "out.txt"), expected);
  EXPECT_EQ(r.out, expected);

  // -a on a missing file creates it.
  r = Run({"-o", "new.txt", "-a", "abc"});
  EXPECT_EQ(ReadFile(dir_ / "new.txt"), abc);
  // -t without -o prints once.
  EXPECT_EQ(Out({"-t", "abc"}), Lines{d::kAbcSha256 + "  {Text}  abc"});
}

TEST_F(ListLayout, SummaryFileIsOverwrittenAndItsFailureGives105) {
  WriteFile(dir_ / "sum.txt", "9,9,9,FALSE\n");
  RunResult r = Run({"-u", "sum.txt", "abc", "data.txt", "-o", "out.txt"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(ReadFile(dir_ / "sum.txt"), "2,2,0,FALSE" + LineEnd());
  // Default name under $TEMP.
  TempDir temp;
  RunOptions options;
  options.workDir = dir_.path();
  options.extraEnv = {"TEMP=" + temp.path()};
  r = RunQuorvid({"abc", "-u"}, options);
  EXPECT_EQ(ReadFile(temp / "#Quorvid_Summary.TXT"), "1,1,0,FALSE" + LineEnd());
  // A summary that cannot be written: all results still written, exit 105.
  r = Run({"-u", "sub", "abc"});
  EXPECT_EQ(r.exitCode, 105);
  EXPECT_EQ(OutputLines(r.out), Lines{d::kAbcSha256 + "  {Text}  abc"});
  EXPECT_NE(r.err.find("File handling error occurred with \"sub\" -- "), std::string::npos)
      << r.err;
}

TEST_F(ListLayout, OutputFileErrors) {
  RunResult r = Run({"abc", "-o"});
  EXPECT_EQ(r.exitCode, 102);
  EXPECT_NE(r.err.find("ERROR: No filename provided for output! (-o|--out)"), std::string::npos)
      << r.err;
  r = Run({"-o", "sub", "abc"});
  EXPECT_EQ(r.exitCode, 106);
  EXPECT_NE(r.err.find("File handling error occurred with \"sub\" -- "), std::string::npos)
      << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(Run({"--lm", "-o", "sub", "abc"}).exitCode, 72);
}

TEST_F(ListLayout, FullDeviceEndsTheRunWith106) {
  if (OnWindows()) GTEST_SKIP() << "no /dev/full on Windows";
  RunResult r = Run({"-o", "/dev/full", "abc"});
  EXPECT_EQ(r.exitCode, 106);
  EXPECT_NE(r.err.find("File handling error occurred with \"/dev/full\" -- No space left on device"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(Run({"--lm", "-o", "/dev/full", "abc"}).exitCode, 72);
  // Lines already copied to the console by -t are not lost.
  r = Run({"-o", "/dev/full", "-t", "abc"});
  EXPECT_EQ(r.exitCode, 106);
  EXPECT_EQ(OutputLines(r.out), Lines{d::kAbcSha256 + "  {Text}  abc"});
}

// Standard output on a full device: the same message, named "standard output".
// A POSIX shell sends it there.
#ifndef _WIN32
TEST_F(ListLayout, FullStandardOutputEndsTheRunWith106) {
  std::string errFile = dir_ / "err.txt";
  auto run = [&](const std::string& options) {
    std::string command = "exec '" + QuorvidBinary() + "' " + options + " abc >/dev/full 2>'" +
                          errFile + "'";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  EXPECT_EQ(run(""), 106);
  EXPECT_NE(ReadFile(errFile).find(
                "File handling error occurred with \"standard output\" -- No space left on device"),
            std::string::npos)
      << ReadFile(errFile);
  EXPECT_EQ(run("--lm"), 72);
}
#endif  // _WIN32

TEST_F(ListLayout, CodePageOfTheOutputFile) {
  WriteFile(dir_ / "caf\xC3\xA9.txt", "Quorvid list test\n");
  RunResult r = Run({"--cp", "1252", "-o", "out.txt", "-s", "caf\xC3\xA9.txt"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(ReadFile(dir_ / "out.txt"), d::kFileSha256 + " caf\xE9.txt" + LineEnd());
  r = Run({"-o", "out.txt", "-s", "caf\xC3\xA9.txt"});
  EXPECT_EQ(ReadFile(dir_ / "out.txt"), d::kFileSha256 + " caf\xC3\xA9.txt" + LineEnd());
  // Standard output is not converted.
  EXPECT_EQ(Out({"--cp", "1252", "-s", "caf\xC3\xA9.txt"}),
            Lines{d::kFileSha256 + " caf\xC3\xA9.txt"});
  // A character the code page lacks becomes "?".
  r = Run({"--cp", "20127", "-o", "out.txt", "-s", "\xC3\xA9t\xC3\xA9"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(ReadFile(dir_ / "out.txt").substr(64), " ?t?" + LineEnd());
}

TEST_F(ListLayout, UnsupportedCodePageStopsBeforeWriting) {
  RunResult r = Run({"--cp", "28602", "-o", "out.txt", "-u", "sum.txt", "abc"});
  EXPECT_EQ(r.exitCode, 65);
  EXPECT_NE(r.err.find("ERROR: Unsupported code page: 28602"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_FALSE(std::ifstream(dir_ / "out.txt").good());
  EXPECT_FALSE(std::ifstream(dir_ / "sum.txt").good());
}

}  // namespace
}  // namespace quorvid::test
