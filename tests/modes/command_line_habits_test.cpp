// What users of other command-line hashers expect, through the real binary:
// "-" for standard input, --version, and a note when a word that looks like
// a file or an option is hashed as text.
#include <gtest/gtest.h>

#include "test_support.h"

namespace quorvid::test {
namespace {

using Lines = std::vector<std::string>;

// python3: hashlib.sha256(b"hello\n"), hashlib.md5(b"hello\n").
const std::string kHelloSha256 = "5891b5b522d5df086d0ff0b110fbd9d21bb4fc7163af34d08286a2e846f6be03";
const std::string kHelloMd5 = "b1946ac92492d2347c6235b4d2611184";
const std::string kDenied = ":::DENIED:::" + std::string(52, ':');

class StandardInput : public ::testing::Test {
 protected:
  RunResult Run(const std::vector<std::string>& args, const std::string& input = "hello\n") {
    return RunQuorvid(args, {dir_.path(), {}, input});
  }
  TempDir dir_;
};

TEST_F(StandardInput, IsReadOnceForADash) {
  RunResult r = Run({"-"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, kHelloSha256 + "  {File}  -" + LineEnd());
  EXPECT_EQ(r.err, "");
  // Every algorithm from the one read.
  r = Run({"--md5", "--sha256", "-s", "-"});
  EXPECT_EQ(OutputLines(r.out), (Lines{kHelloMd5 + std::string(32, ' ') + " -",
                                       kHelloSha256 + " -"}));
  // A second dash finds it read: a file that cannot be read, as usual.
  r = Run({"-s", "-", "-"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(OutputLines(r.out), (Lines{kHelloSha256 + " -", kDenied + " -"}));
}

TEST_F(StandardInput, ServesCompareVerifyAndBase64) {
  WriteFile(dir_ / "hello.txt", "hello\n");
  RunResult k = Run({"--sha256", "-k", "-", "hello.txt"});
  EXPECT_EQ(k.exitCode, 0) << k.out << k.err;
  EXPECT_EQ(k.out.rfind("TRUE", 0), 0u) << k.out;

  RunResult y = Run({"-y", "-", kHelloSha256});
  EXPECT_EQ(y.exitCode, 0) << y.err;
  EXPECT_EQ(y.out, "SHA2_256: Match found" + LineEnd());

  RunResult e = Run({"--e64", "-", "--file", "-o", "out.b64"});
  EXPECT_EQ(e.exitCode, 0) << e.err;
  EXPECT_EQ(ReadFile(dir_ / "out.b64"), "aGVsbG8K");
  RunResult d = Run({"--d64", "-", "--file", "-o", "out.txt"}, "aGVsbG8K");
  EXPECT_EQ(d.exitCode, 0) << d.err;
  EXPECT_EQ(ReadFile(dir_ / "out.txt"), "hello\n");
}

TEST(VersionOption, IsTheVersionOnlyRequest) {
  RunResult version = RunQuorvid({"--version"});
  RunResult only = RunQuorvid({"--version-only"});
  EXPECT_EQ(version.exitCode, 254);
  EXPECT_EQ(version.out, "");
  EXPECT_EQ(version.err, only.err);
  EXPECT_NE(version.err.find("was compiled on"), std::string::npos) << version.err;
  EXPECT_EQ(RunQuorvid({"--VERSION", "abc"}).exitCode, 254);
}

TEST(TextNote, WordsThatLookLikeFilesOrOptionsAreNoted) {
  TempDir dir;
  WriteFile(dir / "data/x.txt", "x");
  const RunOptions inDir{dir.path(), {}, ""};
  for (const std::string word : {"notes.txx", "missing/file", "data", "-zz", "/nowhere"}) {
    for (const std::vector<std::string>& layout :
         {std::vector<std::string>{}, {"-s"}, {"-j"}, {"--pt"}}) {
      std::vector<std::string> args = layout;
      args.push_back("-l");
      args.push_back(word);
      RunResult noted = RunQuorvid(args, inDir);
      EXPECT_EQ(noted.exitCode, 0) << word;
      EXPECT_EQ(noted.err, "quorvid: \"" + word + "\" is not a file; hashed as text" + LineEnd())
          << word;
      // Standard output holds the text's line as before.
      EXPECT_EQ(OutputLines(noted.out).size(), 1u) << word;
    }
  }
  for (const std::string text : {"hello world", "abc", "3.14", "e.g.", "Grüße"}) {
    RunResult plain = RunQuorvid({"-l", text}, inDir);
    EXPECT_EQ(plain.exitCode, 0);
    EXPECT_EQ(plain.err, "") << text;
  }
}

}  // namespace
}  // namespace quorvid::test
