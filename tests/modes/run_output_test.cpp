// What the modes write through: the summary and the errors a run goes on
// after.
#include "modes/run_output.h"

#include <gtest/gtest.h>
#include <filesystem>

#include "output/run_stop.h"
#include "test_support.h"

namespace quorvid {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// The error screen as the driver shows it, recorded.
std::vector<std::pair<int32_t, std::string>> gShown;
void RecordError(RunSettings&, int32_t exitCode, const std::string& message) {
  gShown.emplace_back(exitCode, message);
}

TEST(WriteRunSummary, TheDefaultFileIsNeverWrittenThroughALink) {
  // Another user may put a link at the fixed name in a shared folder.
  TempDir dir;
  WriteFile(dir / "victim.txt", "keep me\n");
  std::error_code made;
  std::filesystem::create_symlink(dir / "victim.txt", dir / "#Quorvid_Summary.TXT", made);
  if (made && test::OnWindows()) GTEST_SKIP() << "making a symbolic link needs a privilege on Windows";
  ASSERT_FALSE(made) << made.message();
  RunSettings settings;
  OutputChannels output(106);
  settings.Output = &output;
  settings.ShowError = RecordError;
  gShown.clear();
  settings.SummaryPath = dir / "#Quorvid_Summary.TXT";
  settings.Summary.Value1 = settings.SummaryPath;
  WriteRunSummary(settings, false, 1, 1, 0);
  EXPECT_EQ(settings.ExitCode, 105);
  ASSERT_EQ(gShown.size(), 1u);
  EXPECT_EQ(gShown[0].first, 105);
  EXPECT_EQ(gShown[0].second.rfind("File handling error occurred with \"" + settings.SummaryPath + "\"", 0), 0u);
  EXPECT_EQ(ReadFile(dir / "victim.txt"), "keep me\n");
  // A name the user gave is theirs to point where they like, and a summary
  // written leaves the exit code alone.
  settings.ExitCode = 0;
  settings.Summary.Value1 = dir / "victim.txt";
  WriteRunSummary(settings, true, 1, 2, 1);
  EXPECT_EQ(ReadFile(dir / "victim.txt"), "1,2,1,TRUE\n");
  EXPECT_EQ(settings.ExitCode, 0);
  EXPECT_EQ(gShown.size(), 1u);
}

TEST(OpenOutputFile, StopsOnAMissingOrUnusableName) {
  TempDir dir;
  RunSettings settings;
  OutputChannels output(106);
  settings.Output = &output;
  const auto stopOf = [&](const std::string& name) {
    try {
      OpenOutputFile(settings, name, 102, 106, "(-o|--out)");
    } catch (const TRunStop& stop) {
      return std::make_pair(stop.exitCode, stop.message);
    }
    return std::make_pair(0, std::string());
  };
  EXPECT_EQ(stopOf(""), std::make_pair(102, std::string("ERROR: No filename provided for output! (-o|--out)")));
  const auto [code, message] = stopOf(dir / "missing/out.txt");
  EXPECT_EQ(code, 106);
  EXPECT_EQ(message.rfind("File handling error occurred with \"" + (dir / "missing/out.txt") + "\"", 0), 0u);
  // -a appends; the file is written in the --cp code page.
  WriteFile(dir / "out.txt", "first\n");
  settings.Append.Found = true;
  settings.CodePage.Found = true;
  settings.CodePageId = 1252;
  EXPECT_EQ(stopOf(dir / "out.txt").first, 0);
  WriteResult(settings, "caf\xC3\xA9");
  output.CloseResult();
  EXPECT_EQ(ReadFile(dir / "out.txt"), "first\ncaf\xE9" + test::LineEnd());
}

}  // namespace
}  // namespace quorvid
