// Command-line errors: every rule's exit code, message and syntax block.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "cli_test_lines.h"

namespace quorvid::test {
namespace {

// The lines after the screen: heading, the blocks of the sections, the two
// help lines and the short "For more details" line.
std::vector<std::string> BlockHelp(std::vector<std::string> blocks) {
  auto lines = Concat({{"-----------", "CMD SYNTAX:", "-----------"}, blocks,
                       {Syntax("<-h|-?|--h2|--?\?|--h3|--?\?\?> [-v]"),
                        Syntax("<--Info|--Version-Only|--Valid-Hashes>"), "",
                        "For more details, please type: quorvid -?  OR  quorvid --??  OR  "
                        "quorvid --???"}});
  return lines;
}

const std::string kHashes = "[--mh3][--xx64][--blk3][--blk2][--sha3][--sha2][--sha1][--md5][--all]";

std::vector<std::string> ListBlock() {
  return {Syntax("[hash(es)] [options] [-l|--list] <items_to_be_hashed>"),
          Syntax(kHashes + " [-v] [-b] [--cp] [--lm] [-c] [-z] [-s] [-p] [-i] [-#] [--pt] [-j] "
                           "[-u [X:\\SummaryFile]] [-o <X:\\OutputFile> [-a] [-t]] [-l] "
                           "<filename|text> [filename|text] ..."),
          ""};
}
std::vector<std::string> DirBlock() {
  return {Syntax("[hash(es)|-n] [options] <-d|--dir> [drive_path] [wildcards_to_hash]"),
          Syntax(kHashes + " [--cp] [-n [--df <\"valid_datetime\">]] [[--bd <\"mm/dd/yyyy\">] "
                           "[--ad <\"mm/dd/yyyy\">]|[[--older <days_ago>] [--newer] <days_ago>]]] "
                           "[-v] [-b] [--lm] [-c] [-z] [-s] [-#] [-m <size_in_bytes>] [-i] [-p] "
                           "[-w] [-f] [-j] [-u [X:\\SummaryFile]] [-o <X:\\OutputFile> [-a] [-t]] "
                           "[-e <X:\\ExceptionList>] <[--nb] [-r] -d [X:\\folder_to_search]> "
                           "[wildcard] [wildcard] ..."),
          ""};
}
std::vector<std::string> CompareBlock() {
  return {Syntax("[hash(es)] [options] <-k|--compare> <file1> <file2>"),
          Syntax(kHashes + " [-v] [-b] [--cp] [--lm] [-o <X:\\OutputFile> [-a] [-t]] "
                           "[-k <X:\\FirstFile> <X:\\SecondFile>]"),
          ""};
}
std::vector<std::string> GenerateBlock() {
  return {Syntax("[hash] [options] <-g|--generate-list> <file_list> <-d|--dir> [drive_path] "
                 "[wildcards_to_hash]"),
          Syntax("[--mh3|--xx64|--blk3|--blk2|--sha3|--sha2|--sha1|--md5] [-v] [-b] [--cp] "
                 "[--lm] [-e <X:\\ExceptionList>] <-g <X:\\Checksum_File>> <[--nb] [-r] -d "
                 "[X:\\folder_to_search]> [wildcard] [wildcard] ..."),
          ""};
}
std::vector<std::string> CheckBlock() {
  return {Syntax("[options] <-x|--check> <file_list> [drive_path]"),
          Syntax("[-v] [-b] [--cp] [--lm] [-o <X:\\OutputFile> [-a] [-t]] [--sm] [--hm] "
                 "<-x <X:\\Checksum_File> [Y:\\SourceFolder]]"),
          ""};
}
std::vector<std::string> VerifyBlock() {
  std::string common = kHashes + " [-v] [-b] [--cp] [--lm] [-o <X:\\OutputFile> [-a] [-t]] ";
  return {Syntax("[hash(es)] [options] <-y|--verify> <file> <hash>"),
          Syntax(common + "<-y <X:\\File_To_Validate> <hash>>"), "",
          Syntax("[hash(es)] [options] <-y|--verify> <file> <hash_list>"),
          Syntax(common + "<-y <X:\\File_To_Validate> <X:\\Checksum_File>>"), "",
          Syntax("[hash(es)] [options] <-y|--verify> <file> <hash_url>"),
          Syntax(common + "<-y <X:\\File_To_Validate> <\"https://some.url\">>"), ""};
}
std::vector<std::string> VerifyManyBlock() {
  return {Syntax("[hash(es)] [options] <--vm|--verify-many> <file_list> [drive_path]"),
          Syntax(kHashes + " [-v] [-b] [--cp] [--lm] [-o <X:\\OutputFile> [-a] [-t]] "
                           "<--vm <X:\\Checksum_File> [Y:\\folder_to_search]>"),
          ""};
}
std::vector<std::string> LookupBlock() {
  std::string common = kHashes + " [-v] [-b] [--cp] [--lm] [-o <X:\\OutputFile> [-a] [-t]] ";
  std::string tail = " <[--nb] [-r] -d [X:\\folder_to_search]> [wildcard] [wildcard] ...";
  return {Syntax("[hash(es)] [options] <--hl|--hash-lookup> <hash> <-d|--dir> [drive_path] "
                 "[wildcards_to_hash]"),
          Syntax(common + "<--hl <hash>>" + tail), "",
          Syntax("[hash(es)] [options] <--hl|--hash-lookup> <hash_list> <-d|--dir> [drive_path] "
                 "[wildcards_to_hash]"),
          Syntax(common + "<--hl <X:\\Checksum_File>>" + tail), "",
          Syntax("[hash(es)] [options] <--hl|--hash-lookup> <hash_url> <-d|--dir> [drive_path] "
                 "[wildcards_to_hash]"),
          Syntax(common + "<--hl <\"https://some.url\">>" + tail), ""};
}

std::string Entered(const std::vector<std::string>& args) {
  std::string text;
  for (const auto& a : args) text += " " + a;
  return text;
}

struct ErrorCase {
  std::vector<std::string> args;
  int exitCode;
  std::string message;
  std::vector<std::string> help;  // lines after the screen
};

void ExpectError(const ErrorCase& c, const std::string& entered) {
  auto r = RunQuorvid(c.args);
  EXPECT_EQ(r.exitCode, c.exitCode) << c.message;
  EXPECT_EQ(r.out, "") << c.message;
  EXPECT_EQ(OutputLines(r.err), Concat({BannerLines(), ScreenLines(entered, c.message), c.help}));
}

TEST(CommandLineErrors, IncompleteInvalidAndMissingParameters) {
  const ErrorCase cases[] = {
      {{"-o", "-c", "x"}, 67, "Incomplete parameters provided:-o ", SummaryLines()},
      {{"-k", "-c", "b"}, 67, "Incomplete parameters provided:-k ", SummaryLines()},
      {{"-zz", "-d", "/"}, 65, "Invalid parameters provided:-zz ", SummaryLines()},
      {{"--dir=/", "*.txt"}, 65, "Invalid parameters provided:*.txt ", SummaryLines()},
      {{"x", "y", "-k", "a", "b"}, 65, "Invalid parameters provided:x y ", SummaryLines()},
      {{"-g", "list.txt"}, 64,
       "Missing essential parameters (e.g. -d <directory> must be used with -g <output_file>)",
       BlockHelp(Concat({DirBlock(), GenerateBlock()}))},
      {{"--hl", "abc"}, 64,
       "Missing essential parameters (e.g. -d <directory> must be used with --hl "
       "<hash|hash_list>)",
       BlockHelp(Concat({DirBlock(), LookupBlock()}))},
      {{"--pt"}, 64, "Missing essential parameters (e.g. -l <files and/or text> must be used "
                     "with --pt)", BlockHelp(ListBlock())},
      {{"--sm"}, 64, "Missing essential parameters (e.g. -x <file> must be used with --sm)",
       BlockHelp(CheckBlock())},
      {{"--nb"}, 64, "Missing essential parameters (e.g. -d <directory> must be used with --nb)",
       BlockHelp(DirBlock())},
  };
  for (const auto& c : cases) ExpectError(c, Entered(c.args));
}

TEST(CommandLineErrors, ListEntriesWithSpacesOrSemicolonsAreQuoted) {
  ErrorCase c{{"a b", "c;d", "", "-d", "/"}, 65, "Invalid parameters provided:\"a b\" \"c;d\"  ",
              SummaryLines()};
  ExpectError(c, " \"a b\" c;d \"\" -d /");
}

TEST(CommandLineErrors, MismatchedParametersShowTheirOwnBlocks) {
  auto m = [](const std::string& what) { return "Mismatched parameters used (e.g. " + what + ")"; };
  const ErrorCase cases[] = {
      {{"--nohash", "-k", "a", "b"}, 66, m("-n|--nohash and -k|--compare"),
       BlockHelp(CompareBlock())},
      {{"-n", "-g", "l.txt", "-d", "/"}, 66, m("-n|--nohash and -g|--generate-list"),
       BlockHelp(GenerateBlock())},
      {{"-n", "-x", "l.txt"}, 66, m("-n|--nohash and -x|--check"), BlockHelp(CheckBlock())},
      {{"-n", "-y", "f", "h"}, 66, m("-n|--nohash and -y|--verify"), BlockHelp(VerifyBlock())},
      {{"-n", "--vm", "l.txt"}, 66, m("-n|--nohash and --vm|--verify-many"),
       BlockHelp(VerifyManyBlock())},
      {{"-n", "--hl", "abc", "-d", "/"}, 66, m("-n|--nohash and --hl|--hash-lookup"),
       BlockHelp(Concat({DirBlock(), LookupBlock()}))},
      {{"-n", "-j", "-d", "/"}, 66, m("-n|--nohash and -j|--just-hash"), SummaryLines()},
      {{"--nohash", "-l", "x"}, 66, m("-n|--nohash and -l|--list"), BlockHelp(ListBlock())},
      {{"--bd=01/01/2020", "--older", "5", "-d", "/"}, 66,
       m("cannot mix --bd with either --older or --newer"), BlockHelp(DirBlock())},
      {{"--ad", "01/01/2020", "--newer", "5", "-d", "/"}, 66,
       m("cannot mix --ad with either --older or --newer"), BlockHelp(DirBlock())},
  };
  for (const auto& c : cases) ExpectError(c, Entered(c.args));
}

TEST(CommandLineErrors, ArgumentsAfterTheCheckedRangeAreNotReported) {
  // After the -d folder, after the values of -k, and list items: never invalid.
  for (std::vector<std::string> args :
       {std::vector<std::string>{"-d", "/nonexistent-quorvid", "-zz", "*.txt"},
        {"-k", "a", "b", "-zz"}, {"-l", "-l", "-zz"}, {"-zz", "abc"}}) {
    auto r = RunQuorvid(args);
    EXPECT_NE(r.exitCode, 65) << args[0];
    EXPECT_NE(r.exitCode, 67) << args[0];
    EXPECT_EQ(r.err.find("Invalid parameters provided:"), std::string::npos) << r.err;
  }
}

TEST(CommandLineErrors, UnsupportedCodePageStopsBeforeAnyFileIsWritten) {
  TempDir dir;
  ErrorCase c{{"--cp", "1", "-o", dir / "out.txt", "abc"}, 65, "ERROR: Unsupported code page: 1",
              SummaryLines()};
  ExpectError(c, Entered(c.args));
  EXPECT_FALSE(std::filesystem::exists(dir / "out.txt"));
}

TEST(CommandLineErrors, MissingFolderStopsWith100) {
  // Needs the folder check of directory mode.
  TempDir dir;
  std::string missing = dir / "absent";
  auto r = RunQuorvid({"-d", missing});
  EXPECT_EQ(r.exitCode, 100);
  auto lines = OutputLines(r.err);
  const std::string shown = NativePath(missing + "/");
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      "ERROR: Could not access the directory: \"" + shown + "\""),
            lines.end())
      << r.err;
  auto noBlank = RunQuorvid({"--lm", "-d"});
  EXPECT_EQ(noBlank.exitCode, 100);
  lines = OutputLines(noBlank.err);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "ERROR: No directory name provided!"),
            lines.end())
      << noBlank.err;
}

TEST(CommandLineErrors, SeveralAlgorithmsWithGenerateListStopWith111BeforeTheListExists) {
  // The check belongs to the algorithm selection.
  TempDir dir;
  for (std::vector<std::string> extra : {std::vector<std::string>{"--sha1", "--md5"}, {"--all"}}) {
    std::vector<std::string> args = extra;
    for (const std::string& a : {std::string("-g"), dir / "list.txt", std::string("-d"), dir.path()})
      args.push_back(a);
    auto r = RunQuorvid(args);
    EXPECT_EQ(r.exitCode, 111);
    auto lines = OutputLines(r.err);
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "Invalid parameters provided: Only one hash algorithm can be used with -g"),
              lines.end());
    EXPECT_FALSE(std::filesystem::exists(dir / "list.txt"));
  }
}

TEST(CommandLineErrors, OutputOptionWithoutFileNameStopsWith102) {
  // Needs the output-file opening of the output channels.
  auto r = RunQuorvid({"abc", "-o"});
  EXPECT_EQ(r.exitCode, 102) << r.err;
}

// The beep: a BEL on standard error on POSIX; Windows sounds it through the
// system, so nothing of it shows in the text.
std::string Bell() { return OnWindows() ? "" : "\a"; }

TEST(CommandLineErrors, AudibleErrorBeepsAfterTheMessage) {
  auto r = RunQuorvid({"--audible-error", "x", "-zz", "-d", "/"});
  EXPECT_EQ(r.exitCode, 65);
  const std::string n = LineEnd();
  EXPECT_NE(r.err.find("Invalid parameters provided:-zz " + n + n + Bell() + "-----------" + n),
            std::string::npos)
      << r.err;
  EXPECT_EQ(r.err.find("Press any key"), std::string::npos);
}

TEST(CommandLineErrors, ErrorDelayWaitsThirtyRoundsWithoutATerminal) {
  auto start = std::chrono::steady_clock::now();
  auto r = RunQuorvid({"--debug", "-zz", "-d", "/"});
  auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(r.exitCode, 65);
  const std::string n = LineEnd();
  EXPECT_NE(r.err.find("Invalid parameters provided:-zz " + n + n + Bell() +
                       "Press any key to continue..." + std::string(30, '.') + n + "-----------" +
                       n),
            std::string::npos)
      << r.err;
  EXPECT_GE(seconds, 7.0);
}

}  // namespace
}  // namespace quorvid::test
