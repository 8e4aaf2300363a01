// --hl: the word rules in process, the lookup walk through the real binary.
// Expected digests come from python3 hashlib and tests/data/hashing/vectors.txt.
#include "modes/hash_lookup.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "servers/test_http_server.h"
#include "test_support.h"

namespace quorvid::test {
namespace {

// vectors.txt, input abc; python3 hashlib for b"hello\n" and b"second file\n".
const std::string kAbcSha256 = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
const std::string kAbcMd5 = "900150983cd24fb0d6963f7d28e17f72";
const std::string kAbcBlake3 = "6437b3ac38465133ffb63b75273a8db548c558465d79db03fd359c6cd5bd9d85";
const std::string kHelloSha256 = "5891b5b522d5df086d0ff0b110fbd9d21bb4fc7163af34d08286a2e846f6be03";
const std::string kHelloMd5 = "b1946ac92492d2347c6235b4d2611184";
const std::string kSecondSha256 = "f957b19529906961933c5c30f8713c500a9bb5d9d0695c40d48c97a26a3594ec";

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::vector<std::string> Sorted(std::vector<std::string> lines) {
  std::sort(lines.begin(), lines.end());
  return lines;
}

std::vector<std::string> WordsOf(const std::vector<std::string>& lines) {
  LookupWordList list;
  for (const std::string& line : lines) list.AddLine(line);
  list.Finish();
  std::vector<std::string> words;
  for (size_t i = 0; i < list.Count(); ++i) words.emplace_back(list.Word(i));
  return words;
}

TEST(LookupWordList, FirstWordsSortedWithoutDuplicatesOrComments) {
  EXPECT_EQ(WordsOf({"; header", "ccc  c.txt", "AAA *a.txt", "bbb", "aaa", ";"}),
            (std::vector<std::string>{"aaa", "bbb", "ccc"}));
  // Nothing to drop: the list keeps its order.
  EXPECT_EQ(WordsOf({"ccc  c.txt", "AAA", "bbb b"}), (std::vector<std::string>{"ccc", "aaa", "bbb"}));
  EXPECT_EQ(WordsOf({}), std::vector<std::string>{});
}

TEST(LookupWordList, FirstPartOfTheWordLowerCasedBlanksSkipped) {
  EXPECT_EQ(WordsOf({"ABC,def", "", "  12ab;x", "9f  name"}),
            (std::vector<std::string>{"abc", "12ab", "9f"}));
  // Two blank lines are a repeat: the words are then sorted.
  EXPECT_EQ(WordsOf({"ABC,def", "", "  12ab;x", " ", "9f  name"}),
            (std::vector<std::string>{"12ab", "9f", "abc"}));
  // A word that starts with ";" is a comment only once the list was sorted.
  EXPECT_EQ(WordsOf({"  ;ab", "cd"}), (std::vector<std::string>{"ab", "cd"}));
  EXPECT_EQ(WordsOf({"  ;ab", "cd", "CD"}), (std::vector<std::string>{"cd"}));
}

TEST(LookupWordList, MatchesEveryWordTheDigestContainsInWordOrder) {
  LookupWordList list;
  for (const char* line : {"ffff", "ab", "abcd", "cdef01", "abcdef012345", "ab,x", "zz"})
    list.AddLine(line);
  list.Finish();
  std::vector<uint32_t> positions;
  list.Matching("abcdef01", positions);
  // "ab" twice (once from "ab,x"), "abcd", "cdef01"; the longer and absent
  // words never match.
  EXPECT_EQ(positions, (std::vector<uint32_t>{1, 2, 3, 5}));
  list.Matching("0000", positions);
  EXPECT_TRUE(positions.empty());
  // A whole hash of one length inside a longer digest is found too.
  LookupWordList hashes;
  hashes.AddLine(kAbcMd5);
  hashes.AddLine(kAbcSha256);
  hashes.Finish();
  hashes.Matching("00" + kAbcMd5 + "11", positions);
  EXPECT_EQ(positions, (std::vector<uint32_t>{0}));
  hashes.Matching(kAbcSha256, positions);
  EXPECT_EQ(positions, (std::vector<uint32_t>{1}));
}

class HashLookupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(dir / "tree/a.txt", "abc");
    WriteFile(dir / "tree/sub/b.txt", "hello\n");
    WriteFile(dir / "tree/sub/c.txt", "second file\n");
    WriteFile(dir / "tree/sub/copy.txt", "abc");
    tree = dir / "tree";
  }
  RunResult Run(const std::vector<std::string>& args) { return RunQuorvid(args, {dir.path(), {}, ""}); }
  // `path` as the program names the file.
  std::string Line(const std::string& prefixedHash, const std::string& path) {
    return "Hash \"" + prefixedHash + "\" matches file \"" + NativePath(path) + "\"";
  }
  // The closing report of a lookup in `tree` that found nothing.
  std::string NothingFound(const std::string& algorithms) {
    return "No files found in \"" + NativePath(tree + "/") + "\" matching \"" + algorithms +
           "\" hashes" + LineEnd();
  }

  TempDir dir;
  std::string tree;
};

TEST_F(HashLookupTest, OneHashFindsEveryCopyWithItsFullPath) {
  RunResult r = Run({"--hl", kAbcSha256, "-r", "-d", tree});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(OutputLines(r.out), (std::vector<std::string>{
                                   Line("SHA2_256: " + kAbcSha256, tree + "/a.txt"),
                                   Line("SHA2_256: " + kAbcSha256, tree + "/sub/copy.txt")}));
  // Without -r only the top folder is searched.
  RunResult top = Run({"--hl", Upper(kAbcSha256), "-d", tree});
  EXPECT_EQ(top.out, Line("SHA2_256: " + kAbcSha256, tree + "/a.txt") + LineEnd());
}

TEST_F(HashLookupTest, ListWrittenByGenerateSkipsItsHeader) {
  RunResult generate = Run({"-g", "sums.txt", "-r", "-d", "tree/sub"});
  ASSERT_EQ(generate.exitCode, 0) << generate.err;
  // The list holds SHA2_256 hashes only, so of the fourteen digests of each
  // file only that one is found; a.txt has the content of copy.txt.
  RunResult r = Run({"--all", "--hl", "sums.txt", "-r", "-d", tree});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(Sorted(OutputLines(r.out)),
            Sorted({Line("SHA2_256: " + kAbcSha256, tree + "/a.txt"),
                    Line("SHA2_256: " + kHelloSha256, tree + "/sub/b.txt"),
                    Line("SHA2_256: " + kSecondSha256, tree + "/sub/c.txt"),
                    Line("SHA2_256: " + kAbcSha256, tree + "/sub/copy.txt")}));
}

TEST_F(HashLookupTest, PartialHashesInAListMatchByContainment) {
  // Eight digits from the middle of abc's SHA2_256, and a word longer than
  // any digest, which never matches.
  WriteFile(dir / "parts.txt", kAbcSha256.substr(20, 8) + "\n" + kHelloSha256 + "00\n");
  RunResult r = Run({"--hl", "parts.txt", "-r", "-d", tree});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(OutputLines(r.out), (std::vector<std::string>{
                                   Line("SHA2_256: " + kAbcSha256, tree + "/a.txt"),
                                   Line("SHA2_256: " + kAbcSha256, tree + "/sub/copy.txt")}));

  // The same eight digits on the command line are not a hash text.
  RunResult shortHash = Run({"--hl", kAbcSha256.substr(20, 8), "-d", tree});
  EXPECT_EQ(shortHash.exitCode, 116);
  EXPECT_EQ(shortHash.out, "");
  EXPECT_NE(shortHash.err.find("ERROR: No valid hash provided! -- \"" + kAbcSha256.substr(20, 8) + "\""),
            std::string::npos);
}

TEST_F(HashLookupTest, HashListedTwiceIsReportedOncePerAlgorithm) {
  WriteFile(dir / "twice.txt", kAbcMd5 + "  a.txt\n" + Upper(kAbcMd5) + "  copy\n" + kAbcBlake3 + "\n");
  RunResult r = Run({"--md5", "--blake3", "--hl", "twice.txt", "-d", tree});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(OutputLines(r.out), (std::vector<std::string>{
                                   Line("MD5: " + kAbcMd5, tree + "/a.txt"),
                                   Line("Blake3: " + kAbcBlake3, tree + "/a.txt")}));
}

TEST_F(HashLookupTest, UrlListServedLocally) {
  const std::string body = "<table><tr><td>" + kHelloMd5 + "</td></tr>\r\n" + kSecondSha256 +
                           "  c.txt\r\n</table>";
  TestHttpServer server([&](Exchange& exchange) { exchange.Send(OkResponse(body)); });
  RunResult r = Run({"--md5", "--sha256", "--hl", server.Url("/list"), "-r", "-d", tree});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(OutputLines(r.out), (std::vector<std::string>{
                                   Line("MD5: " + kHelloMd5, tree + "/sub/b.txt"),
                                   Line("SHA2_256: " + kSecondSha256, tree + "/sub/c.txt")}));
}

TEST_F(HashLookupTest, NothingMatchingNamesTheSelectedAlgorithms) {
  // An MD5 text without --md5: only SHA2_256 is computed.
  RunResult r = Run({"--hl", kAbcMd5, "-r", "-d", tree});
  EXPECT_EQ(r.exitCode, 119);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, NothingFound("SHA2_256"));

  RunResult two = Run({"--sha1", "--md5", "--hl", kHelloSha256, "-d", tree});
  EXPECT_EQ(two.exitCode, 119);
  EXPECT_EQ(two.err, NothingFound("MD5,SHA1"));
}

TEST_F(HashLookupTest, JustHashStillEndsWithTheLookupsReport) {
  // -j wins over --hl: every file gives its bare hash and none is looked
  // up, but the lookup still makes its closing report, found nothing.
  for (const std::string& value : {kAbcMd5, kAbcSha256}) {
    RunResult r = Run({"--hl", value, "-j", "-d", tree});
    EXPECT_EQ(r.exitCode, 119);
    EXPECT_EQ(r.out, kAbcSha256 + LineEnd());
    EXPECT_EQ(r.err, NothingFound("SHA2_256"));
  }
}

TEST_F(HashLookupTest, EmptyFolderEndsWithNoFilesFound) {
  WriteFile(dir / "empty/.keep-out/x", "");
  RunResult r = Run({"--hl", kAbcSha256, "-d", dir / "empty", "*.txt"});
  EXPECT_EQ(r.exitCode, 77);
  EXPECT_EQ(r.out, "");
  const std::string report =
      "No files found in \"" + NativePath(dir / "empty/") + "\" matching \"*.txt\"" + LineEnd();
  EXPECT_NE(r.err.find(report), std::string::npos) << r.err;
}

TEST_F(HashLookupTest, ValueErrorsStopBeforeTheWalk) {
  RunResult empty = Run({"--hl", "", "-d", tree});
  EXPECT_EQ(empty.exitCode, 116);
  EXPECT_NE(empty.err.find("ERROR: Need one hash or one hash file for for evaluation!"),
            std::string::npos);
  RunResult missing = Run({"--hl", "value.txt", "-d", tree});
  EXPECT_EQ(missing.exitCode, 104);
  EXPECT_EQ(missing.out, "");
  EXPECT_NE(missing.err.find("ERROR: Could not access file: \"value.txt\""), std::string::npos);
}

TEST_F(HashLookupTest, MatchesGoToTheOutputFileOnly) {
  RunResult r = Run({"-o", "found.txt", "-t", "--hl", kHelloSha256, "-r", "-d", tree});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(ReadFile(dir / "found.txt"),
            Line("SHA2_256: " + kHelloSha256, tree + "/sub/b.txt") + LineEnd());
}

}  // namespace
}  // namespace quorvid::test
