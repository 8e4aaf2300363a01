#include "cli/help_extended.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/path_rules.h"
#include "support/date_format.h"
#include "test_support.h"

namespace quorvid {
namespace {

// The default summary file as the help names it on this system.
std::string SummaryShown() {
  return std::string(platform::kTempFolderShown) + platform::kPathSeparator + kSummaryFileName;
}

// The kept help texts use brace words for what depends on the run, and name
// the summary file as POSIX shows it.
std::string FillExpected(std::string text, const std::string& folder, const std::string& file,
                         const std::string& localeFormat) {
  const std::pair<std::string, std::string> words[] = {
      {"{name}", "quorvid"},  {"{path}", folder + file}, {"{file}", file},
      {"{folder}", folder},   {"{locale date-time format}", localeFormat},
      {std::string("$TEMP/") + kSummaryFileName, SummaryShown()}};
  for (const auto& [word, value] : words) {
    for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + value.size()))
      text.replace(at, word.size(), value);
  }
  return text;
}

// Compares line by line so that a failure names the first differing line.
void ExpectSameLines(const std::vector<std::string>& actual, const std::vector<std::string>& expected) {
  const size_t common = std::min(actual.size(), expected.size());
  for (size_t i = 0; i < common; ++i) {
    ASSERT_EQ(actual[i], expected[i]) << "line " << i + 1;
  }
  EXPECT_EQ(actual.size(), expected.size());
}

std::string ExpectedHelp(const std::string& dataFile, const std::string& folder,
                         const std::string& file = "quorvid",
                         const std::string& localeFormat = "mm/dd/yy hh:nn AM/PM") {
  return FillExpected(test::ReadFile(test::TestDataPath("help/" + dataFile)), folder, file,
                      localeFormat);
}

RunSettings HelpSettings() {
  RunSettings settings;
  settings.ProgramName = "quorvid";
  settings.ProgramFileName = "quorvid";
  settings.ProgramFolder = "/opt/quorvid/bin/";
  settings.LocaleDateTimeFormat = "mm/dd/yy hh:nn AM/PM";
  settings.HelpSections = help_section::Everything;
  return settings;
}

TEST(ExtendedHelp, VerboseHelpIsTheExtendedText) {
  RunSettings settings = HelpSettings();
  settings.Verbose.Found = true;
  std::string out;
  AppendExtendedHelp(settings, out);
  ASSERT_FALSE(test::ReadFile(test::TestDataPath("help/extended.txt")).empty());
  ExpectSameLines(test::SplitLines(out), test::SplitLines(ExpectedHelp("extended.txt", "/opt/quorvid/bin/")));
}

TEST(ExtendedHelp, CompleteHelpIsTheCompleteText) {
  RunSettings settings = HelpSettings();
  settings.Help3.Found = true;
  std::string out;
  AppendExtendedHelp(settings, out);
  ExpectSameLines(test::SplitLines(out), test::SplitLines(ExpectedHelp("complete.txt", "/opt/quorvid/bin/")));
  EXPECT_EQ(out.back(), '\n');
}

TEST(ExtendedHelp, QuotedFolderAndOtherFileNameFillTheExamples) {
  RunSettings settings = HelpSettings();
  settings.Help3.Found = true;
  settings.ProgramName = "abc";
  settings.ProgramFileName = "abc.bin";
  settings.ProgramFolder = "\"/opt/my tools/\"";
  std::string out;
  AppendExtendedHelp(settings, out);
  EXPECT_NE(out.find("\n abc \"/opt/my tools/abc.bin\"\n"), std::string::npos);
  EXPECT_NE(out.find("\n abc --sha256 --sha3_384 -r -d \"/opt/my tools/\" *.EXE *.DLL\n"), std::string::npos);
  EXPECT_NE(out.find("\n * Entering abc with no parameters will display this help message.\n"), std::string::npos);
  EXPECT_NE(out.find("\n   \"" + SummaryShown() + "\".\n"), std::string::npos);
  // Braces that are part of the text stay as they are.
  EXPECT_NE(out.find("conceal the \"{File}\" and {Text}\" labels"), std::string::npos);
}

TEST(ExtendedHelp, ExitCodesAreRightAlignedInSevenCharacters) {
  RunSettings settings = HelpSettings();
  settings.Help3.Found = true;
  std::string out;
  AppendExtendedHelp(settings, out);
  EXPECT_NE(out.find("\n      0 - Command completed successfully\n"), std::string::npos);
  EXPECT_NE(out.find("\n     64 - Missing necessary/essential parameters\n"), std::string::npos);
  EXPECT_NE(out.find("\n    255 - Syntax help requested\n\n * Exit codes 1-7"), std::string::npos);
}

// The whole program: the help sections follow the syntax blocks on standard error.
class HelpCommand : public ::testing::Test {
 protected:
  // The folder as the program names itself, with the system's separators,
  // and its file ("quorvid.exe" on Windows).
  std::string Folder() const {
    const std::string binary = test::QuorvidBinary();
    return test::NativePath(binary.substr(0, binary.rfind('/') + 1));
  }
  std::string File() const {
    const std::string binary = test::QuorvidBinary();
    return binary.substr(binary.rfind('/') + 1);
  }
  // Standard error must end with exactly the kept text.
  void ExpectHelpTail(const std::string& err, const std::string& dataFile) {
    // The locale's date pattern: the C locale's on POSIX (the tests run
    // under LC_ALL=C), the regional settings' on Windows.
    const std::vector<std::string> expected = test::SplitLines(
        ExpectedHelp(dataFile, Folder(), File(), LocaleShortDatePattern() + " hh:nn AM/PM"));
    const std::vector<std::string> actual = test::OutputLines(err);
    ASSERT_GE(actual.size(), expected.size());
    ExpectSameLines(std::vector<std::string>(actual.end() - static_cast<long>(expected.size()), actual.end()),
                    expected);
    EXPECT_EQ(err.back(), '\n');
  }
};

TEST_F(HelpCommand, H2ShowsTheExtendedHelp) {
  const test::RunResult result = test::RunQuorvid({"--h2"});
  EXPECT_EQ(result.exitCode, 255);
  EXPECT_EQ(result.out, "");
  ExpectHelpTail(result.err, "extended.txt");
}

TEST_F(HelpCommand, H3ShowsTheCompleteHelp) {
  const test::RunResult result = test::RunQuorvid({"--h3"});
  EXPECT_EQ(result.exitCode, 255);
  EXPECT_EQ(result.out, "");
  ExpectHelpTail(result.err, "complete.txt");
}

TEST_F(HelpCommand, HelpWithVerboseEqualsH2) {
  const test::RunResult h2 = test::RunQuorvid({"--h2"});
  const test::RunResult hv = test::RunQuorvid({"-h", "-v"});
  EXPECT_EQ(hv.exitCode, 255);
  ExpectHelpTail(hv.err, "extended.txt");
  // -v adds the build line to the banner; everything from the syntax heading on is the same.
  const size_t h2Syntax = h2.err.find("CMD SYNTAX:");
  const size_t hvSyntax = hv.err.find("CMD SYNTAX:");
  ASSERT_NE(h2Syntax, std::string::npos);
  ASSERT_NE(hvSyntax, std::string::npos);
  EXPECT_EQ(hv.err.substr(hvSyntax), h2.err.substr(h2Syntax));
}

TEST_F(HelpCommand, HelpStaysOnStandardErrorWithOutputFile) {
  test::TempDir dir;
  const test::RunResult result = test::RunQuorvid({"--h3", "-o", dir / "out.txt"});
  EXPECT_EQ(result.exitCode, 255);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(test::ReadFile(dir / "out.txt"), "");
  ExpectHelpTail(result.err, "complete.txt");
}

}  // namespace
}  // namespace quorvid
