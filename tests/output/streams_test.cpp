// The run's output channels and the summary file, used in-process.
#include "output/streams.h"

#include <gtest/gtest.h>
#include <filesystem>

#include "output/run_stop.h"
#include "test_support.h"

namespace quorvid {
namespace {

using test::LineEnd;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(WriteSummaryFile, OverwritesWithOneLine) {
  TempDir dir;
  WriteFile(dir / "sum.txt", "old content that is longer\n");
  EXPECT_EQ(WriteSummaryFile(dir / "sum.txt", false, 65001, false, 12, 15, 0), std::nullopt);
  EXPECT_EQ(ReadFile(dir / "sum.txt"), "12,15,0,FALSE" + LineEnd());
  EXPECT_EQ(WriteSummaryFile(dir / "sum.txt", false, 65001, true, 1, 2, 1), std::nullopt);
  EXPECT_EQ(ReadFile(dir / "sum.txt"), "1,2,1,TRUE" + LineEnd());
}

TEST(WriteSummaryFile, FailuresComeBackAsMessages) {
  if (test::OnWindows()) GTEST_SKIP() << "no /dev/full on Windows";
  TempDir dir;
  // A folder, a device that fails at the write, and a link where none may be.
  EXPECT_NE(WriteSummaryFile(dir.path(), false, 65001, false, 1, 1, 0), std::nullopt);
  const auto full = WriteSummaryFile("/dev/full", false, 65001, false, 1, 1, 0);
  ASSERT_NE(full, std::nullopt);
  EXPECT_EQ(full->rfind("File handling error occurred with \"/dev/full\" -- ", 0), 0u) << *full;
  WriteFile(dir / "victim.txt", "keep me\n");
  std::filesystem::create_symlink(dir / "victim.txt", dir / "link");
  EXPECT_NE(WriteSummaryFile(dir / "link", true, 65001, false, 1, 1, 0), std::nullopt);
  EXPECT_EQ(ReadFile(dir / "victim.txt"), "keep me\n");
  EXPECT_EQ(WriteSummaryFile(dir / "link", false, 65001, false, 1, 1, 0), std::nullopt);
  EXPECT_EQ(ReadFile(dir / "victim.txt"), "1,1,0,FALSE\n");
}

TEST(OutputChannels, ResultFileTeeAndClose) {
  TempDir dir;
  OutputChannels output(106);
  std::string error;
  ASSERT_TRUE(output.OpenResultFile(dir / "out.txt", false, 1252, 106, error)) << error;
  testing::internal::CaptureStdout();
  output.WriteResultLine("caf\xC3\xA9", true);   // in the file's code page, and on screen
  output.WriteResultLine("only in the file", false);
  output.CloseResult();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "caf\xC3\xA9" + LineEnd());
  EXPECT_EQ(ReadFile(dir / "out.txt"), "caf\xE9" + LineEnd() + "only in the file" + LineEnd());
  // Closed once: the result goes to standard output again, and closing
  // again changes nothing.
  EXPECT_TRUE(output.Result().IsStandardOutput());
  output.CloseResult();

  // -a adds to a file that exists; a file that cannot be made is refused.
  ASSERT_TRUE(output.OpenResultFile(dir / "out.txt", true, 65001, 106, error));
  output.WriteResultLine("more", false);
  output.CloseResult();
  EXPECT_EQ(ReadFile(dir / "out.txt"),
            "caf\xE9" + LineEnd() + "only in the file" + LineEnd() + "more" + LineEnd());
  EXPECT_FALSE(output.OpenResultFile(dir / "missing/x.txt", false, 65001, 106, error));
  EXPECT_FALSE(error.empty());
}

TEST(OutputChannels, AFailedWriteStopsTheRunOnceWithTheWritersCode) {
  if (test::OnWindows()) GTEST_SKIP() << "no /dev/full on Windows";
  OutputChannels output(106);
  std::string error;
  ASSERT_TRUE(output.OpenResultFile("/dev/full", false, 65001, 107, error)) << error;
  output.WriteResultLine("lost", false);
  testing::internal::CaptureStderr();
  int32_t code = 0;
  try {
    output.CloseResult();
  } catch (const TRunStop& stop) {
    code = stop.exitCode;
  }
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(code, 107);
  EXPECT_EQ(err.rfind("File handling error occurred with \"/dev/full\" -- ", 0), 0u) << err;
  // Closing again neither reports nor stops a second time.
  testing::internal::CaptureStderr();
  output.CloseResult();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

}  // namespace
}  // namespace quorvid
