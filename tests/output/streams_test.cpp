// List files and the summary file, used in-process.
#include <gtest/gtest.h>
#include <unistd.h>

#include "output/list_file.h"
#include "output/streams.h"
#include "test_support.h"

namespace quorvid {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(LoadListFile, ReadsLinesInTheCodePage) {
  TempDir dir;
  WriteFile(dir / "list.txt", "one\r\ncaf\xE9\rthree\n");
  RunSettings settings;
  EXPECT_EQ(LoadListFile(settings, dir / "list.txt", 101, "(-e|--exc)", 103),
            (std::vector<std::string>{"one", "caf\xE9", "three"}));
  settings.CodePage.Found = true;
  settings.CodePageId = 1252;
  EXPECT_EQ(LoadListFile(settings, dir / "list.txt", 101, "(-e|--exc)", 103)[1], "caf\xC3\xA9");
  EXPECT_EQ(settings.ExitCode, 0);
}

TEST(WriteSummaryFile, TheDefaultFileIsNeverWrittenThroughALink) {
  // Another user may put a link at the fixed name in a shared folder.
  TempDir dir;
  WriteFile(dir / "victim.txt", "keep me\n");
  ASSERT_EQ(::symlink((dir / "victim.txt").c_str(), (dir / "#Quorvid_Summary.TXT").c_str()), 0);
  RunSettings settings;
  settings.SummaryPath = dir / "#Quorvid_Summary.TXT";
  testing::internal::CaptureStderr();
  WriteSummaryFile(settings, false, settings.SummaryPath, 1, 1, 0);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(settings.ExitCode, 105);
  EXPECT_NE(err.find("File handling error occurred with \"" + settings.SummaryPath + "\""),
            std::string::npos);
  EXPECT_EQ(ReadFile(dir / "victim.txt"), "keep me\n");
  // A name the user gave is theirs to point where they like.
  WriteSummaryFile(settings, false, dir / "victim.txt", 1, 1, 0);
  EXPECT_EQ(ReadFile(dir / "victim.txt"), "1,1,0,FALSE\n");
}

TEST(WriteSummaryFile, OverwritesWithOneLine) {
  TempDir dir;
  RunSettings settings;
  WriteFile(dir / "sum.txt", "old content that is longer\n");
  WriteSummaryFile(settings, false, dir / "sum.txt", 12, 15, 0);
  EXPECT_EQ(ReadFile(dir / "sum.txt"), "12,15,0,FALSE\n");
  WriteSummaryFile(settings, true, dir / "sum.txt", 1, 2, 1);
  EXPECT_EQ(ReadFile(dir / "sum.txt"), "1,2,1,TRUE\n");
  EXPECT_EQ(settings.ExitCode, 0);
}

TEST(WriteSummaryFile, EmptyNameUsesTheDefaultPath) {
  TempDir dir;
  RunSettings settings;
  settings.SummaryPath = dir / "#Quorvid_Summary.TXT";
  WriteSummaryFile(settings, false, "", 3, 3, 0);
  EXPECT_EQ(ReadFile(settings.SummaryPath), "3,3,0,FALSE\n");
}

TEST(WriteSummaryFile, FailureSetsCode105AndReturns) {
  TempDir dir;
  RunSettings settings;
  WriteSummaryFile(settings, false, dir.path(), 1, 1, 0);  // a folder
  EXPECT_EQ(settings.ExitCode, 105);
  settings.ExitCode = 0;
  WriteSummaryFile(settings, false, "/dev/full", 1, 1, 0);  // fails at the write
  EXPECT_EQ(settings.ExitCode, 105);
}

}  // namespace
}  // namespace quorvid
