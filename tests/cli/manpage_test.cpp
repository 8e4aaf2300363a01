// The manual page against the program: every example of the page runs as
// written and is accepted, and what the page says of Linux holds.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "cli/command_sandbox.h"
#include "cli/find_option.h"
#include "cli/option_table.h"
#include "test_support.h"

namespace quorvid {
namespace {

namespace fs = std::filesystem;
using test::CommandSandbox;
using test::ReadFile;
using test::RunQuorvid;
using test::ShellWords;
using test::TempDir;
using test::WriteFile;

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

/// A roff text line as it reads on the page.
std::string Unroff(std::string line) {
  for (const auto& [escape, text] : std::vector<std::pair<std::string, std::string>>{
           {"\\fB", ""}, {"\\fR", ""}, {"\\fI", ""}, {"\\&", ""}, {"\\-", "-"}, {"\\(aq", "'"},
           {"\\(ga", "`"}, {"\\(dq", "\""}, {"\\e", "\\"}})
    line = ReplaceAll(line, escape, text);
  return line;
}

std::string PageSource() { return ReadFile(QUORVID_BUILD_DIR "/quorvid.1"); }

/// The page's examples, each without the program's name.
std::vector<std::string> PageExamples() {
  const std::string page = PageSource();
  const size_t from = page.find("\n.SH EXAMPLES\n");
  const size_t to = page.find("\n.SH ", from + 1);
  std::vector<std::string> examples;
  if (from == std::string::npos) return examples;
  for (const std::string& line : test::SplitLines(page.substr(from, to - from)))
    if (line.rfind("\\fBquorvid\\fR ", 0) == 0) examples.push_back(Unroff(line.substr(14)));
  return examples;
}

/// The page as plain text, one paragraph a line.
std::string RenderedPage() {
  const std::string command = "LC_ALL=C groff -man -Tascii -P-cbou -rLL=2000n '" QUORVID_BUILD_DIR
                              "/quorvid.1' 2>/dev/null";
  std::string text;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return text;
  char buffer[4096];
  size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
  ::pclose(pipe);
  return text;
}

TEST(ManPageExamples, EachRunsAsWrittenAndEndsWithAnOutcome) {
  const std::vector<std::string> examples = PageExamples();
  ASSERT_GE(examples.size(), 53u) << PageSource();
  CommandSandbox sandbox;  // one for all: later examples read the lists earlier ones write
  for (const std::string& example : examples) {
    const std::vector<std::string> words = ShellWords(example);
    EXPECT_EQ(example.find('\\'), std::string::npos) << example;
    const test::RunResult run = sandbox.Run(words);
    EXPECT_TRUE(test::IsRunOutcome(run.exitCode))
        << example << "\nexit code " << run.exitCode << "\n" << run.err;
    // A file verified against a written hash matches it when the hash suits
    // the algorithm the example names.
    if (test::VerifiesAgainstWrittenHash(words)) {
      EXPECT_EQ(run.exitCode, 0) << example << "\n" << run.out << run.err;
    }
  }
}

TEST(ManPageExamples, TheSandboxTellsRefusedAndMismatchedCommandsApart) {
  CommandSandbox sandbox;
  // A SHA1 verification against an MD5-length hash cannot match.
  const auto words = ShellWords("--sha1 -y /srv/a.bin d41d8cd98f00b204e9800998ecf8427e");
  ASSERT_TRUE(test::VerifiesAgainstWrittenHash(words));
  EXPECT_NE(sandbox.Run(words).exitCode, 0);
  EXPECT_EQ(sandbox.Run(ShellWords("--md5 -y /srv/a.bin d41d8cd98f00b204e9800998ecf8427e")).exitCode,
            0);
  // An option without its value, and two modes at once, are refused.
  EXPECT_FALSE(test::IsRunOutcome(sandbox.Run(ShellWords("--md5 -o")).exitCode));
  EXPECT_FALSE(test::IsRunOutcome(sandbox.Run(ShellWords("-k /srv/a.bin")).exitCode));
  // Quoting, operators and comments as the shell reads them.
  EXPECT_EQ(ShellWords("--md5 -r -d \"/srv/my data\" '*.h' >/tmp/x # all"),
            (std::vector<std::string>{"--md5", "-r", "-d", "/srv/my data", "*.h"}));
  EXPECT_EQ(ShellWords("-k a.bin b.bin 2>/dev/null && echo same"),
            (std::vector<std::string>{"-k", "a.bin", "b.bin"}));
  EXPECT_EQ(ShellWords("-c -z -# -d ."), (std::vector<std::string>{"-c", "-z", "-#", "-d", "."}));
}

TEST(ManPageLinux, NotesSpeakOfLinuxNotWindows) {
  const std::string page = RenderedPage();
  ASSERT_NE(page.find("\nNOTES\n"), std::string::npos);
  for (const char* windows : {"UNC", "drive mapping", "x86 edition", "which edition", "%TEMP%",
                              "SystemDrive", "WinDir"})
    EXPECT_EQ(page.find(windows), std::string::npos) << windows;
  EXPECT_NE(page.find("\n   On Linux\n"), std::string::npos);
}

TEST(ManPageLinux, MaxSizeNoteStatesTheParsedLimits) {
  const std::regex note(R"(-M parameter takes sizes up to (\d+) bytes; a value that is not a number stands for (\d+) bytes)");
  std::smatch m;
  const std::string page = RenderedPage();
  ASSERT_TRUE(std::regex_search(page, m, note));
  auto parsed = [](const std::string& value) {
    RunSettings s;
    s.Args = MakeArgumentList({"-m", value, "-d"});
    ParseCommandLine(s);
    return s.MaxSizeBytes;
  };
  EXPECT_EQ(std::to_string(parsed(m[1])), m[1].str());
  EXPECT_EQ(std::to_string(parsed("many")), m[2].str());
}

TEST(ManPageLinux, GenericAlgorithmNamesSelectWhatThePageSays) {
  const std::string page = RenderedPage();
  EXPECT_NE(page.find("The --MH3 parameter selects MurmurHash3_x86_128 and --BLAKE2 selects "
                      "Blake2S_256, on every processor."),
            std::string::npos);
  EXPECT_EQ(RunQuorvid({"--mh3", "abc"}).out, RunQuorvid({"--murmurhash3_x86", "abc"}).out);
  EXPECT_NE(RunQuorvid({"--mh3", "abc"}).out, RunQuorvid({"--murmurhash3_x64", "abc"}).out);
  EXPECT_EQ(RunQuorvid({"--blake2", "abc"}).out, RunQuorvid({"--blake2s", "abc"}).out);
  EXPECT_NE(RunQuorvid({"--blake2", "abc"}).out, RunQuorvid({"--blake2b", "abc"}).out);
}

TEST(ManPageLinux, StandardInputSlashOptionsLinksAndSummaryBehaveAsThePageSays) {
  const std::string page = RenderedPage();
  for (const char* said : {"/dev/stdin", "read as that option: name such a file ./d",
                           "Symbolic links are followed", "else TMPDIR, else /tmp"})
    EXPECT_NE(page.find(said), std::string::npos) << said;

  TempDir dir;
  // Standard input through "-" and /dev/stdin.
  const auto stdinRun = RunQuorvid({"--md5", "/dev/stdin"}, {"", {}, "hello\n"});
  EXPECT_EQ(stdinRun.out, "b1946ac92492d2347c6235b4d2611184  {File}  /dev/stdin\n");
  EXPECT_NE(page.find("A file name of - stands for standard input"), std::string::npos);
  const auto dashRun = RunQuorvid({"--md5", "-"}, {"", {}, "hello\n"});
  EXPECT_EQ(dashRun.out, "b1946ac92492d2347c6235b4d2611184  {File}  -\n");

  // "/d" is the -d option: the current folder is hashed, not the text "/d".
  WriteFile(dir / "w/a.txt", "a\n");
  const auto slash = RunQuorvid({"-s", "/d"}, {dir / "w", {}, ""});
  EXPECT_EQ(slash.exitCode, 0);
  EXPECT_NE(slash.out.find("a.txt"), std::string::npos) << slash.out;

  // Links: a linked file is hashed, a linked folder walked, a link upwards skipped.
  WriteFile(dir / "out/o.txt", "o\n");
  fs::create_directories(dir / "w/sub");
  fs::create_symlink("../out", dir / "w/outside");
  fs::create_symlink("..", dir / "w/sub/up");
  fs::create_symlink("a.txt", dir / "w/link.txt");
  const auto walk = RunQuorvid({"-s", "-r", "-d", dir / "w"});
  EXPECT_EQ(walk.exitCode, 0);
  const auto lines = test::SplitLines(walk.out);
  EXPECT_EQ(lines.size(), 3u) << walk.out;
  for (const char* name : {"/w/a.txt", "/w/link.txt", "/w/outside/o.txt"})
    EXPECT_NE(walk.out.find(name), std::string::npos) << name << "\n" << walk.out;

  // -u without a name (last on the line): TEMP, else TMPDIR.
  fs::create_directories(dir / "temp");
  fs::create_directories(dir / "tmpdir");
  RunQuorvid({"-d", dir / "out", "-u"}, {"", {"TEMP=", "TMPDIR=" + dir / "tmpdir"}, ""});
  EXPECT_TRUE(fs::exists(dir / "tmpdir/#Quorvid_Summary.TXT"));
  RunQuorvid({"-d", dir / "out", "-u"}, {"", {"TEMP=" + dir / "temp", "TMPDIR=" + dir / "tmpdir"}, ""});
  EXPECT_TRUE(fs::exists(dir / "temp/#Quorvid_Summary.TXT"));
}

}  // namespace
}  // namespace quorvid
