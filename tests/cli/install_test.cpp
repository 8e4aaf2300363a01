// The installed tree: binary, manual page, bash completion and documents,
// and the Debian package built from it. The tree is installed into a DESTDIR
// under the build folder, the way a packager would.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "cli/option_table.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using quorvid::test::ReadFile;
using quorvid::test::SplitLines;
using quorvid::test::TempDir;
using quorvid::test::WriteFile;

struct Shell {
  int exitCode = -1;
  std::string out;
};

/// Runs `command` through /bin/sh; standard error is kept apart unless the
/// command redirects it.
Shell RunShell(const std::string& command) {
  Shell result;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  std::array<char, 4096> buffer{};
  size_t n = 0;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) result.out.append(buffer.data(), n);
  int status = ::pclose(pipe);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') quoted += "'\\''";
    else quoted += c;
  }
  return quoted + "'";
}

bool HaveTool(const std::string& name) {
  return RunShell("command -v " + Quote(name) + " >/dev/null 2>&1").exitCode == 0;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

/// Every written form with dashes of every option word in the table: "-w" for
/// a one-character word, "--word" for a longer one, lower case.
std::set<std::string> TableDashForms() {
  std::set<std::string> forms;
  for (const auto& row : quorvid::OptionTable()) {
    std::string names(row.Names);
    std::string word;
    auto flush = [&] {
      if (!word.empty()) forms.insert((word.size() == 1 ? "-" : "--") + Lower(word));
      word.clear();
    };
    for (char c : names) {
      if (c == ' ' || c == ',' || c == ';') flush();
      else word += c;
    }
    flush();
  }
  return forms;
}

/// True when `form` stands in `text` as a word of its own (not as part of a
/// longer option such as "--??" inside "--???").
bool HasOptionWord(const std::string& text, const std::string& form) {
  auto part = [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '?';
  };
  for (size_t at = text.find(form); at != std::string::npos; at = text.find(form, at + 1)) {
    bool startOk = at == 0 || !part(text[at - 1]);
    size_t end = at + form.size();
    bool endOk = end >= text.size() || !part(text[end]);
    if (startOk && endOk) return true;
  }
  return false;
}

class InstalledTree : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    destDir_ = new std::string(std::string(QUORVID_BUILD_DIR) + "/install-test-" +
                               std::to_string(::getpid()));
    fs::remove_all(*destDir_);
    Shell install = RunShell("DESTDIR=" + Quote(*destDir_) + " " + Quote(QUORVID_CMAKE_COMMAND) +
                             " --install " + Quote(QUORVID_BUILD_DIR) + " --prefix /usr 2>&1");
    installLog_ = new std::string(install.out);
    installExit_ = install.exitCode;
  }
  static void TearDownTestSuite() {
    fs::remove_all(*destDir_);
    delete destDir_;
    delete installLog_;
  }
  void SetUp() override { ASSERT_EQ(installExit_, 0) << *installLog_; }

  static std::string Root() { return *destDir_ + "/usr/"; }
  static std::string Binary() { return Root() + QUORVID_INSTALL_BINDIR "/quorvid"; }
  static std::string ManPage() { return Root() + QUORVID_INSTALL_MANDIR "/man1/quorvid.1.gz"; }
  static std::string Completion() {
    return Root() + QUORVID_INSTALL_DATADIR "/bash-completion/completions/quorvid";
  }
  static std::string DocDir() { return Root() + QUORVID_INSTALL_DOCDIR "/"; }

  /// The manual page as plain text, rendered wide enough that no line wraps.
  static std::string RenderedManPage() {
    Shell render = RunShell("gzip -dc " + Quote(ManPage()) +
                            " | LC_ALL=C groff -man -Tascii -P-cbou -rLL=400n 2>/dev/null");
    EXPECT_EQ(render.exitCode, 0);
    return render.out;
  }

  /// COMPREPLY of the installed completion for the words of a command line
  /// (the last word is the one being completed), run in `workDir`.
  static std::vector<std::string> Complete(const std::vector<std::string>& words,
                                           const std::string& workDir = ".") {
    std::string array;
    for (const auto& w : words) array += " " + Quote(w);
    std::string script = "cd " + Quote(workDir) + " && source " + Quote(Completion()) +
                         " && COMP_WORDS=(" + array + " ) && COMP_CWORD=" +
                         std::to_string(words.size() - 1) +
                         "; _quorvid; printf '%s\\n' \"${COMPREPLY[@]}\"";
    Shell run = RunShell("bash -c " + Quote(script) + " 2>&1");
    EXPECT_EQ(run.exitCode, 0) << run.out;
    std::vector<std::string> replies;
    for (auto& line : SplitLines(run.out))
      if (!line.empty()) replies.push_back(line);
    std::sort(replies.begin(), replies.end());
    return replies;
  }

  static std::string* destDir_;
  static std::string* installLog_;
  static int installExit_;
};

std::string* InstalledTree::destDir_ = nullptr;
std::string* InstalledTree::installLog_ = nullptr;
int InstalledTree::installExit_ = -1;

TEST_F(InstalledTree, PutsBinaryManPageCompletionAndDocumentsInPlace) {
  EXPECT_TRUE(fs::is_regular_file(Binary()));
  EXPECT_TRUE(fs::is_regular_file(ManPage()));
  EXPECT_TRUE(fs::is_regular_file(Completion()));
  for (const char* doc : {"README.md.gz", "changelog.gz", "copyright"})
    EXPECT_TRUE(fs::is_regular_file(DocDir() + doc)) << doc;
}

// Debian compresses with gzip -9n: best compression, no file name and no
// time stamp in the header, so that the package builds the same every time.
TEST_F(InstalledTree, CompressedFilesCarryNoNameNorTimeAndUseBestCompression) {
  for (const std::string& path : {ManPage(), DocDir() + "README.md.gz", DocDir() + "changelog.gz"}) {
    const std::string bytes = ReadFile(path);
    ASSERT_GE(bytes.size(), 10u) << path;
    EXPECT_EQ(bytes.substr(0, 3), std::string("\x1f\x8b\x08", 3)) << path;
    EXPECT_EQ(bytes[3] & 0x08, 0) << path << ": the header names the file";
    EXPECT_EQ(bytes.substr(4, 4), std::string(4, '\0')) << path << ": the header holds a time";
    EXPECT_EQ(bytes[8], 2) << path << ": not compressed with the best compression";
  }
  Shell readme = RunShell("gzip -dc " + Quote(DocDir() + "README.md.gz"));
  EXPECT_EQ(readme.exitCode, 0);
  EXPECT_EQ(readme.out, ReadFile(QUORVID_SOURCE_DIR "/README.md"));
}

TEST_F(InstalledTree, CopyrightFileIsMachineReadableAndMatchesTheLicence) {
  const std::string copyright = ReadFile(DocDir() + "copyright");
  const std::vector<std::string> lines = SplitLines(copyright);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/");
  EXPECT_NE(copyright.find("\nFiles: *\nCopyright: "), std::string::npos) << copyright;
  EXPECT_NE(copyright.find("\nLicense: MIT\n"), std::string::npos) << copyright;

  // The licence paragraph is LICENSE's text: its lines after the title and
  // the copyright line, indented by one space, with " ." for empty lines.
  std::vector<std::string> licence = SplitLines(ReadFile(QUORVID_SOURCE_DIR "/LICENSE"));
  ASSERT_GE(licence.size(), 5u);
  EXPECT_EQ(licence[0], "MIT License");
  EXPECT_NE(licence[2].find("Copyright (c) "), std::string::npos);
  EXPECT_NE(licence[2].find(" The Quorvid developers"), std::string::npos);
  std::string paragraph = "License: MIT\n";
  for (size_t i = 4; i < licence.size(); ++i)
    paragraph += licence[i].empty() ? " .\n" : " " + licence[i] + "\n";
  EXPECT_NE(copyright.find(paragraph), std::string::npos) << paragraph;
}

TEST_F(InstalledTree, ChangelogDescribesThisVersionFirst) {
  Shell changelog = RunShell("gzip -dc " + Quote(DocDir() + "changelog.gz"));
  ASSERT_EQ(changelog.exitCode, 0);
  const std::vector<std::string> lines = SplitLines(changelog.out);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0].rfind("quorvid (" QUORVID_VERSION ") ", 0), 0u) << lines[0];
  // The trailer line: maintainer and an RFC 5322 date, as dpkg-parsechangelog reads it.
  const std::regex trailer(
      R"(^ -- [^<>]+ <[^@<>\s]+@[^@<>\s]+\.[a-z]+>  \w{3}, \d{2} \w{3} \d{4} \d{2}:\d{2}:\d{2} [+-]\d{4}$)");
  EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                          [&](const std::string& l) { return std::regex_match(l, trailer); }))
      << changelog.out;
  if (!HaveTool("dpkg-parsechangelog")) GTEST_SKIP() << "dpkg-dev is not installed";
  Shell parsed = RunShell("dpkg-parsechangelog -l " + Quote(QUORVID_SOURCE_DIR "/packaging/changelog") +
                          " -S Version 2>&1");
  EXPECT_EQ(parsed.exitCode, 0) << parsed.out;
  EXPECT_EQ(parsed.out, QUORVID_VERSION "\n");
}

TEST_F(InstalledTree, InstalledBinaryRunsAndFindsItsLibraries) {
  Shell run = RunShell(Quote(Binary()) + " --md5 abc");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, "900150983cd24fb0d6963f7d28e17f72  {Text}  abc\n");

  Shell help = RunShell(Quote(Binary()) + " --h3 2>&1 >/dev/null");
  EXPECT_EQ(help.exitCode, 255);
  EXPECT_NE(help.out.find("EXIT/RETURN CODES:"), std::string::npos);

  if (!HaveTool("ldd")) GTEST_SKIP() << "ldd is not installed";
  Shell ldd = RunShell("ldd " + Quote(Binary()) + " 2>&1");
  EXPECT_EQ(ldd.exitCode, 0) << ldd.out;
  EXPECT_EQ(ldd.out.find("not found"), std::string::npos) << ldd.out;
}

TEST_F(InstalledTree, ManPageFormatsWithoutWarnings) {
  if (!HaveTool("groff")) GTEST_SKIP() << "groff is not installed (Debian package groff-base)";
  Shell strict = RunShell("gzip -dc " + Quote(ManPage()) + " | LC_ALL=C groff -man -ww -z 2>&1");
  EXPECT_EQ(strict.exitCode, 0);
  EXPECT_EQ(strict.out, "");

  if (!HaveTool("man")) GTEST_SKIP() << "man is not installed (Debian package man-db)";
  Shell man = RunShell("LC_ALL=C MANWIDTH=80 MAN_KEEP_FORMATTING= man -l " + Quote(ManPage()) +
                       " 2>&1 >/dev/null");
  EXPECT_EQ(man.exitCode, 0);
  EXPECT_EQ(man.out, "") << "man -l wrote warnings";
}

TEST_F(InstalledTree, ManPageHasTheSectionsAndNamesEveryOptionWord) {
  if (!HaveTool("groff")) GTEST_SKIP() << "groff is not installed (Debian package groff-base)";
  const std::string page = RenderedManPage();
  for (const char* section : {"NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "EXIT STATUS",
                              "ENVIRONMENT", "FILES", "NOTES", "EXAMPLES", "SEE ALSO"}) {
    EXPECT_NE(page.find("\n" + std::string(section) + "\n"), std::string::npos) << section;
  }
  EXPECT_NE(page.find("quorvid - Generate Hashes for Files and Text Strings"), std::string::npos);
  EXPECT_NE(page.find("$TEMP/#Quorvid_Summary.TXT"), std::string::npos);
  for (const char* tool : {"sha256sum(1)", "b3sum(1)", "rhash(1)"})
    EXPECT_NE(page.find(tool), std::string::npos) << tool;

  const std::string lower = Lower(page);
  for (const auto& form : TableDashForms())
    EXPECT_TRUE(HasOptionWord(lower, form)) << "the manual page does not name " << form;
}

TEST_F(InstalledTree, ManPageExitStatusMatchesTheProgramsOwnList) {
  if (!HaveTool("groff")) GTEST_SKIP() << "groff is not installed (Debian package groff-base)";
  const std::string page = RenderedManPage();
  const size_t from = page.find("\nEXIT STATUS\n");
  const size_t to = page.find("\nENVIRONMENT\n");
  ASSERT_NE(from, std::string::npos);
  ASSERT_NE(to, std::string::npos);
  const std::string exitSection = page.substr(from, to - from);

  Shell help = RunShell(Quote(Binary()) + " --h3 2>&1 >/dev/null");
  const std::regex codeLine(R"(^ {4,6}(\d+) - (.*)$)");
  int codes = 0;
  bool inList = false;
  for (const auto& line : SplitLines(help.out)) {
    if (line == "EXIT/RETURN CODES:") inList = true;
    if (!inList) continue;
    if (line.empty() && codes > 0) break;  // the list ends at the first empty line
    std::smatch m;
    if (!std::regex_match(line, m, codeLine)) continue;
    ++codes;
    std::regex entry("\\n +" + m[1].str() + " +" +
                     std::regex_replace(m[2].str(), std::regex(R"([.*+?^${}()|\[\]\\])"), "\\$&") +
                     "\\n");
    EXPECT_TRUE(std::regex_search(exitSection, entry)) << "exit code " << m[1] << " " << m[2];
  }
  EXPECT_GE(codes, 40);
}

TEST_F(InstalledTree, ManPageExamplesUseLinuxPaths) {
  if (!HaveTool("groff")) GTEST_SKIP() << "groff is not installed (Debian package groff-base)";
  const std::string page = RenderedManPage();
  const size_t from = page.find("\nEXAMPLES\n");
  const size_t to = page.find("\nSEE ALSO\n");
  ASSERT_NE(from, std::string::npos);
  ASSERT_NE(to, std::string::npos);
  const std::string examples = page.substr(from, to - from);
  EXPECT_EQ(examples.find('\\'), std::string::npos) << examples;
  EXPECT_EQ(examples.find('%'), std::string::npos) << examples;
  EXPECT_EQ(examples.find("C:"), std::string::npos) << examples;
  // Masks reach the program, not the shell.
  EXPECT_NE(examples.find("-r -d \"/srv/backups\" '*'"), std::string::npos) << examples;
  EXPECT_GE(std::count(examples.begin(), examples.end(), '\n'), 53);
}

TEST_F(InstalledTree, CompletionOffersExactlyTheOptionWords) {
  if (!HaveTool("bash")) GTEST_SKIP() << "bash is not installed";
  const std::set<std::string> table = TableDashForms();
  const std::vector<std::string> all = Complete({"quorvid", "-"});
  EXPECT_EQ(std::set<std::string>(all.begin(), all.end()), table);
  EXPECT_EQ(all.size(), table.size()) << "a word is offered twice";

  std::set<std::string> longForms;
  for (const auto& f : table)
    if (f.rfind("--", 0) == 0) longForms.insert(f);
  const std::vector<std::string> longs = Complete({"quorvid", "--md5", "--"});
  EXPECT_EQ(std::set<std::string>(longs.begin(), longs.end()), longForms);

  // Option words match without regard to case.
  EXPECT_EQ(Complete({"quorvid", "--VERIFY-"}), std::vector<std::string>{"--verify-many"});
  EXPECT_EQ(Complete({"quorvid", "--h"}),
            (std::vector<std::string>{"--h2", "--h3", "--hash-lookup", "--help", "--help2",
                                      "--help3", "--hide-matches", "--hidepath", "--hl", "--hm"}));
}

TEST_F(InstalledTree, CompletionOffersFilesAndFoldersWhereOptionsTakeThem) {
  if (!HaveTool("bash")) GTEST_SKIP() << "bash is not installed";
  TempDir dir;
  WriteFile(dir / "alpha.txt", "a");
  WriteFile(dir / "beta.lst", "b");
  fs::create_directory(dir / "albums");
  const std::vector<std::string> files{"albums", "alpha.txt", "beta.lst"};
  const std::vector<std::string> folders{"albums"};

  for (const char* option : {"-o", "--OUT", "-e", "--exc", "-g", "--generate-list", "-u",
                             "--summary", "--hl", "-k", "-y", "-x", "--check", "--validate",
                             "--vm", "--verify-many"})
    EXPECT_EQ(Complete({"quorvid", option, ""}, dir.path()), files) << option;
  EXPECT_EQ(Complete({"quorvid", "-o", "al"}, dir.path()),
            (std::vector<std::string>{"albums", "alpha.txt"}));

  EXPECT_EQ(Complete({"quorvid", "-d", ""}, dir.path()), folders);
  EXPECT_EQ(Complete({"quorvid", "--dir", "a"}, dir.path()), folders);
  // Second values: -k and -y take a second file, -x and --vm a folder.
  EXPECT_EQ(Complete({"quorvid", "-k", "alpha.txt", ""}, dir.path()), files);
  EXPECT_EQ(Complete({"quorvid", "-y", "alpha.txt", ""}, dir.path()), files);
  EXPECT_EQ(Complete({"quorvid", "-x", "beta.lst", ""}, dir.path()), folders);
  EXPECT_EQ(Complete({"quorvid", "--vm", "beta.lst", ""}, dir.path()), folders);
  // Inline values reach the completion split at "=" and ":".
  EXPECT_EQ(Complete({"quorvid", "--out", "=", "alp"}, dir.path()),
            std::vector<std::string>{"alpha.txt"});
  EXPECT_EQ(Complete({"quorvid", "-d", ":", ""}, dir.path()), folders);
  // --e64 and --d64 name a file only together with --file.
  EXPECT_EQ(Complete({"quorvid", "--e64", ""}, dir.path()), std::vector<std::string>{});
  EXPECT_EQ(Complete({"quorvid", "--file", "--d64", "b"}, dir.path()),
            std::vector<std::string>{"beta.lst"});
  // Values that are not names get no suggestions.
  EXPECT_EQ(Complete({"quorvid", "--cp", ""}, dir.path()), std::vector<std::string>{});
  // Wildcards after the -d folder and list items are file names.
  EXPECT_EQ(Complete({"quorvid", "-d", "albums", "be"}, dir.path()),
            std::vector<std::string>{"beta.lst"});
}

TEST_F(InstalledTree, DebianPackageDependsOnTheLibrariesTheBinaryLinks) {
  for (const char* tool : {"dpkg-deb", "dpkg-shlibdeps", "dpkg", "ldd"})
    if (!HaveTool(tool)) GTEST_SKIP() << tool << " is not installed (Debian package dpkg-dev)";
  const std::string out = *destDir_ + "-package";
  fs::remove_all(out);
  Shell pack = RunShell("cd " + Quote(QUORVID_BUILD_DIR) + " && " + Quote(QUORVID_CPACK_COMMAND) +
                        " -G DEB -B " + Quote(out) + " 2>&1");
  ASSERT_EQ(pack.exitCode, 0) << pack.out;
  std::string deb;
  for (const auto& entry : fs::directory_iterator(out))
    if (entry.path().extension() == ".deb") deb = entry.path();
  ASSERT_FALSE(deb.empty()) << pack.out;

  Shell contents = RunShell("dpkg -c " + Quote(deb));
  for (const char* path : {"./usr/bin/quorvid", "./usr/share/man/man1/quorvid.1.gz",
                           "./usr/share/bash-completion/completions/quorvid",
                           "./usr/share/doc/quorvid/README.md.gz", "./usr/share/doc/quorvid/copyright",
                           "./usr/share/doc/quorvid/changelog.gz"})
    EXPECT_NE(contents.out.find(std::string(path) + "\n"), std::string::npos) << contents.out;

  Shell depends = RunShell("dpkg-deb -f " + Quote(deb) + " Depends");
  ASSERT_EQ(depends.exitCode, 0);
  std::set<std::string> declared;
  const std::regex packageName(R"(([a-z0-9][a-z0-9.+\-]+)(\s*\([^)]*\))?)");
  for (std::sregex_iterator it(depends.out.begin(), depends.out.end(), packageName), end; it != end;
       ++it)
    declared.insert((*it)[1]);

  // Each shared library the installed binary loads must come from a declared package.
  Shell ldd = RunShell("ldd " + Quote(Binary()));
  const std::regex libraryLine(R"(^\s*(\S+) => (/\S+))");
  int libraries = 0;
  for (const auto& line : SplitLines(ldd.out)) {
    std::smatch m;
    if (!std::regex_search(line, m, libraryLine)) continue;
    ++libraries;
    std::string path = m[2];
    std::vector<std::string> candidates{path, fs::canonical(path).string()};
    for (std::string p : std::vector<std::string>(candidates))
      candidates.push_back(p.rfind("/usr/", 0) == 0 ? p.substr(4) : "/usr" + p);
    std::string owner;
    for (const auto& p : candidates) {
      Shell query = RunShell("dpkg -S " + Quote(p) + " 2>/dev/null");
      if (query.exitCode == 0) {
        owner = query.out.substr(0, query.out.find_first_of(":,"));
        break;
      }
    }
    if (owner.empty()) continue;  // a library no package owns (built locally) cannot be declared
    EXPECT_TRUE(declared.count(owner)) << m[1] << " comes from " << owner
                                       << ", which Depends does not name: " << depends.out;
  }
  EXPECT_GE(libraries, 1) << ldd.out;  // the C library at least, linked in or not the others
  fs::remove_all(out);
}

}  // namespace
