// Runs that end before any mode: no arguments, help, version, info, --vh.
#include <gtest/gtest.h>

#include "cli_test_lines.h"

namespace quorvid::test {
namespace {

constexpr const char* kMissing =
    "Missing essential parameters (e.g. -d <directory> -l <files and/or text> -H --HELP -? --H2 "
    "--HELP2 --?? --VERSION-ONLY --BUILD-ONLY --INFO)";

TEST(EarlyExit, NoArgumentsShowsTheMissingParametersScreenAndSummary) {
  auto r = RunQuorvid({});
  EXPECT_EQ(r.exitCode, 64);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(OutputLines(r.err), Concat({BannerLines(), ScreenLines("", kMissing), SummaryLines()}));
}

TEST(EarlyExit, ShortHelpInEveryWrittenForm) {
  for (const char* arg : {"-h", "-?", "/h", "--HELP", "/?"}) {
    auto r = RunQuorvid({arg});
    EXPECT_EQ(r.exitCode, 255) << arg;
    EXPECT_EQ(r.out, "") << arg;
    EXPECT_EQ(OutputLines(r.err), Concat({BannerLines(), SummaryLines()})) << arg;
  }
}

TEST(EarlyExit, HelpWinsOverEverythingElse) {
  // Help is answered before version, info and any command-line error.
  for (std::vector<std::string> args : {std::vector<std::string>{"--version-only", "-h"},
                                        {"-zz", "-d", "/", "-?"}, {"-o", "-c", "-h"}}) {
    auto r = RunQuorvid(args);
    EXPECT_EQ(r.exitCode, 255);
    EXPECT_EQ(OutputLines(r.err), Concat({BannerLines(), SummaryLines()}));
  }
}

TEST(EarlyExit, ExtendedHelpShowsEveryBlockAndTheBuildLine) {
  for (std::vector<std::string> args : {std::vector<std::string>{"--h2"}, {"-h", "-v"},
                                        {"-b", "-v", "-h"}, {"--??"}, {"--h3", "-b"}}) {
    auto r = RunQuorvid(args);
    EXPECT_EQ(r.exitCode, 255) << args[0];
    auto lines = OutputLines(r.err);
    auto head = Concat({BannerLines(), {BuildLine(), "", "-----------", "CMD SYNTAX:",
                                        "-----------"}});
    ASSERT_GE(lines.size(), head.size() + 48);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + head.size()), head);
    // List block first, decode block last, then the two help lines.
    size_t at = head.size();
    EXPECT_EQ(lines[at], Syntax("[hash(es)] [options] [-l|--list] <items_to_be_hashed>"));
    EXPECT_EQ(lines[at + 42], Syntax("[options] <--d64|--decode64> <text|file>"));
    EXPECT_EQ(lines[at + 43], Syntax("[-v] [-b] [--cp] [-o <X:\\OutputFile> [-a] [-t]] "
                                     "<[--file] --d64 <text|file>>"));
    EXPECT_EQ(lines[at + 44], "");
    EXPECT_EQ(lines[at + 45], Syntax("<-h|-?|--h2|--?\?|--h3|--?\?\?> [-v]"));
    EXPECT_EQ(lines[at + 46], Syntax("<--Info|--Version-Only|--Valid-Hashes>"));
    EXPECT_EQ(lines[at + 47], "");
    // The short "For more details" line belongs to the short help only.
    for (const auto& l : lines) EXPECT_EQ(l.find("quorvid -?  OR"), std::string::npos);
    // The banner is written once even when several requests ask for it.
    EXPECT_EQ(std::count(lines.begin(), lines.end(), BannerLines()[0]), 1);
  }
}

TEST(EarlyExit, VerboseAloneGivesNoHelp) {
  auto r = RunQuorvid({"-v", "--vh"});
  EXPECT_EQ(r.exitCode, 251);
  EXPECT_EQ(OutputLines(r.err), Concat({BannerLines(), {BuildLine(), ""}}));
}

TEST(EarlyExit, VersionOnlyAndInfo) {
  for (const char* arg : {"--version-only", "--BUILD-ONLY"}) {
    auto r = RunQuorvid({arg});
    EXPECT_EQ(r.exitCode, 254);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(OutputLines(r.err), std::vector<std::string>{BuildLine()});
  }
  for (std::vector<std::string> args : {std::vector<std::string>{"--info"}, {"--info", "--vh"},
                                        {"-zz", "--info"}}) {
    auto r = RunQuorvid(args);
    EXPECT_EQ(r.exitCode, 254);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(OutputLines(r.err), Concat({BannerLines(), {BuildLine(), ""}}));
  }
}

TEST(EarlyExit, BuildLineNamesTheRealCompiler) {
  EXPECT_EQ(CompilerText().rfind(" using GCC ", 0), 0u);
  EXPECT_EQ(CompilerText(), " using GCC " + std::to_string(__GNUC__) + "." + std::to_string(__GNUC_MINOR__) +
                                "." + std::to_string(__GNUC_PATCHLEVEL__));
  EXPECT_EQ(BuildTimeText().substr(BuildTimeText().size() - 6), ":00:00");
}

const std::vector<std::string> kValidHashLines = {
    " * Here is the full list of valid hash algorithm parameters:",
    "   * MD5 ................... --MD5,       -5",
    "   * SHA1 .................. --SHA1,      -1",
    "   * SHA2_256 .............. --SHA2_256,  -2,   --SHA2, --SHA256",
    "   * SHA2_384 .............. --SHA2_384,                --SHA384",
    "   * SHA2_512 .............. --SHA2_512,                --SHA512",
    "   * SHA3_256 .............. --SHA3_256,  -3,   --SHA3",
    "   * SHA3_384 .............. --SHA3_384",
    "   * SHA3_512 .............. --SHA3_512",
    "   * Blake2S ............... --BLAKE2S,         --BLK2, --BLAKE2",
    "   * Blake2B ............... --BLAKE2B",
    "   * Blake3 ................ --BLAKE3,          --BLK3",
    "   * XXHash64 .............. --XXHASH64,        --XX64",
    "   * MurmurHash3_x86_128 ... --MURMURHASH3_X86, --MURMURHASH3_X86_128, --MURMURHASH3_128, "
    "--MURMURHASH3, --MH3",
    "   * MurmurHash3_x64_128 ... --MURMURHASH3_X64, --MURMURHASH3_X64_128",
    "",
    " UNIQUE LIST ..... MD5, SHA1, SHA2_256, SHA2_384, SHA2_512, SHA3_256, SHA3_384, SHA3_512, "
    "BLAKE2S, BLAKE2B, BLAKE3, XXHASH64, MURMURHASH3_X86, MURMURHASH3_X64 ",
    "",
    " COMPLETE LIST ... MD5, SHA1, SHA2, SHA256, SHA2_256, SHA384, SHA2_384, SHA512, SHA2_512, "
    "SHA3, SHA3_256, SHA3_384, SHA3_512, BLK2, BLAKE2, BLAKE2S, BLAKE2B, BLK3, BLAKE3, XX64, "
    "XXHASH64, MH3, MURMURHASH3, MURMURHASH3_X86, MURMURHASH3_X64 ",
};

TEST(EarlyExit, ValidHashesListGoesToStandardOutput) {
  for (std::vector<std::string> args : {std::vector<std::string>{"--vh"}, {"--vh", "-k", "a", "b"},
                                        {"--valid-hashes", "-zz"}}) {
    auto r = RunQuorvid(args);
    EXPECT_EQ(r.exitCode, 251);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(OutputLines(r.out), kValidHashLines);
    EXPECT_EQ(r.out.back(), '\n');
  }
}

TEST(EarlyExit, ValidHashesNeverGoToTheOutputFile) {
  TempDir dir;
  auto r = RunQuorvid({"--vh", "-o", dir / "out.txt"});
  EXPECT_EQ(r.exitCode, 251);
  EXPECT_EQ(OutputLines(r.out), kValidHashLines);
  EXPECT_EQ(ReadFile(dir / "out.txt"), "");
}

}  // namespace
}  // namespace quorvid::test
