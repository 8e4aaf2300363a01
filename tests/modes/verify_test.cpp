// -y and --vm through the real binary, plus the folder restore of --vm in
// process. Expected digests come from tests/data/hashing/vectors.txt (made
// with tools other than Quorvid) and from python3 hashlib.
#include "modes/verify.h"
#include "modes/verify_many.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iomanip>
#include <map>
#include <sstream>

#include "hashing/algorithm_catalogue.h"
#include "modes/list_entry.h"
#include "platform/file_info.h"
#include "servers/test_http_server.h"
#include "test_support.h"

namespace quorvid::test {
namespace {

// python3: hashlib.sha256(b"hello\n"), hashlib.md5(b"hello\n"), and the same
// for b"second file\n".
const std::string kHelloSha256 = "5891b5b522d5df086d0ff0b110fbd9d21bb4fc7163af34d08286a2e846f6be03";
const std::string kHelloMd5 = "b1946ac92492d2347c6235b4d2611184";
const std::string kSecondSha256 = "f957b19529906961933c5c30f8713c500a9bb5d9d0695c40d48c97a26a3594ec";
const std::string kSecondSha1 = "34e829d1c403f5533b4831bf732e44dc8324f70a";

// Vector file names in catalogue order, with the prefix each result line shows.
const std::pair<const char*, const char*> kAlgorithms[14] = {
    {"MD5", "MD5: "},
    {"SHA1", "SHA1: "},
    {"SHA2_256", "SHA2_256: "},
    {"SHA2_384", "SHA2_384: "},
    {"SHA2_512", "SHA2_512: "},
    {"SHA3_256", "SHA3_256: "},
    {"SHA3_384", "SHA3_384: "},
    {"SHA3_512", "SHA3_512: "},
    {"Blake2S", "Blake2S: "},
    {"Blake2B", "Blake2B: "},
    {"Blake3", "Blake3: "},
    {"XXHash64", "XXHash64: "},
    {"MurmurHash3_x86", "MurmurHash3_x86_128: "},
    {"MurmurHash3_x64", "MurmurHash3_x64_128: "},
};

// Algorithm name -> hash text of the named input, from the committed vectors.
std::map<std::string, std::string> VectorsFor(const std::string& input) {
  std::map<std::string, std::string> found;
  std::ifstream file(TestDataPath("hashing/vectors.txt"));
  std::string name, algorithm, text;
  while (file >> name >> algorithm >> text)
    if (name == input) found[algorithm] = text;
  EXPECT_EQ(found.size(), 14u) << "vectors for " << input;
  return found;
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

class VerifyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(dir / "abc.txt", "abc");
    WriteFile(dir / "empty.txt", "");
    WriteFile(dir / "hello.txt", "hello\n");
    abc = VectorsFor("abc");
  }
  RunResult Run(const std::vector<std::string>& args, const std::string& stdinText = "") {
    return RunQuorvid(args, {dir.path(), {}, stdinText});
  }

  TempDir dir;
  std::map<std::string, std::string> abc;
};

TEST_F(VerifyTest, HashTextOfEachAlgorithmIsFoundWithoutAlgorithmOption) {
  for (const auto& [name, prefix] : kAlgorithms) {
    RunResult r = Run({"-y", "abc.txt", abc[name]});
    EXPECT_EQ(r.exitCode, 0) << name << r.err;
    EXPECT_EQ(r.out, std::string(prefix) + "Match found" + LineEnd()) << name;
  }
  // Hex digits in upper case match as well.
  RunResult upper = Run({"-y", "abc.txt", Upper(abc["Blake2S"])});
  EXPECT_EQ(upper.exitCode, 0);
  EXPECT_EQ(upper.out, "Blake2S: Match found" + LineEnd());
}

TEST_F(VerifyTest, LastMatchingAlgorithmNamesTheLine) {
  // MurmurHash3 of the empty message is all zero in both variants.
  RunResult r = Run({"-y", "empty.txt", std::string(32, '0')});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "MurmurHash3_x64_128: Match found" + LineEnd());
}

TEST_F(VerifyTest, AlgorithmOptionLimitsTheAlgorithmsTried) {
  RunResult md5 = Run({"--md5", "-y", "abc.txt", abc["MD5"]});
  EXPECT_EQ(md5.exitCode, 0);
  EXPECT_EQ(md5.out, "MD5: Match found" + LineEnd());
  // Same length as MD5, but MurmurHash3 is not tried.
  RunResult murmur = Run({"--md5", "-y", "abc.txt", abc["MurmurHash3_x86"]});
  EXPECT_EQ(murmur.exitCode, 119);
  EXPECT_EQ(murmur.out, "No match found." + LineEnd());
  RunResult sha = Run({"--md5", "-y", "abc.txt", abc["SHA2_256"]});
  EXPECT_EQ(sha.exitCode, 119);
  EXPECT_EQ(sha.out, "No match found." + LineEnd());
}

TEST_F(VerifyTest, NoMatchingHashText) {
  RunResult r = Run({"-y", "hello.txt", abc["SHA2_256"]});
  EXPECT_EQ(r.exitCode, 119);
  EXPECT_EQ(r.out, "No match found." + LineEnd());
}

TEST_F(VerifyTest, ValueErrorsStopBeforeAnyResult) {
  const std::string digits33 = abc["MD5"] + "0";
  RunResult invalid = Run({"-y", "abc.txt", digits33});
  EXPECT_EQ(invalid.exitCode, 116);
  EXPECT_EQ(invalid.out, "");
  EXPECT_NE(invalid.err.find("ERROR: No valid hash provided! -- \"" + digits33 + "\""),
            std::string::npos);

  RunResult noHash = Run({"-y", "abc.txt", ""});
  EXPECT_EQ(noHash.exitCode, 108);
  EXPECT_NE(noHash.err.find("ERROR: One file and one hash (or hash file) are needed for evaluation!"),
            std::string::npos);

  RunResult noFile = Run({"-y", "", abc["MD5"]});
  EXPECT_EQ(noFile.exitCode, 104);
  EXPECT_NE(noFile.err.find("ERROR: Could not access file: \"\""), std::string::npos);

  RunResult missingFile = Run({"-y", "nosuch.bin", abc["MD5"]});
  EXPECT_EQ(missingFile.exitCode, 104);
  EXPECT_NE(missingFile.err.find("ERROR: Could not access file: \"nosuch.bin\""), std::string::npos);

  // A "." makes the value a list file name.
  RunResult missingList = Run({"-y", "abc.txt", "lists/sums.txt"});
  EXPECT_EQ(missingList.exitCode, 104);
  EXPECT_EQ(missingList.out, "");
  EXPECT_NE(missingList.err.find("ERROR: Could not access file: \"lists/sums.txt\""),
            std::string::npos);
}

TEST_F(VerifyTest, NoFolderCheckEvenWhenBlankFoldersAreRefused) {
  for (const char* option : {"--nb", "--lm"}) {
    RunResult r = Run({option, "-y", "abc.txt", abc["SHA1"]});
    EXPECT_EQ(r.exitCode, 0) << option << r.err;
    EXPECT_EQ(r.out, "SHA1: Match found" + LineEnd()) << option;
  }
}

TEST_F(VerifyTest, ListHoldingTheDigestTwiceGivesTwoLines) {
  std::string list = "; a header line\n\n";
  for (int i = 0; i < 1000; ++i) {
    std::ostringstream junk;
    junk << std::hex << std::setw(64) << std::setfill('0') << i * 7919 + 1;
    list += junk.str() + "  file" + std::to_string(i) + ".bin\n";
    if (i == 10 || i == 900) list += abc["SHA2_256"] + " ?SHA256*abc.txt\n";
  }
  WriteFile(dir / "sums.txt", list);
  RunResult r = Run({"-y", "abc.txt", "sums.txt"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  const std::string line = "Match found -- SHA2_256: " + abc["SHA2_256"] + "  abc.txt";
  EXPECT_EQ(OutputLines(r.out), (std::vector<std::string>{line, line}));
}

TEST_F(VerifyTest, ListMatchesInLineThenAlgorithmOrder) {
  // Upper-case words are lower-cased; "*" and "?" end the first word.
  WriteFile(dir / "sums.txt", Upper(abc["XXHash64"]) + " *abc.txt\r\n" + abc["MD5"] +
                                  "?x\r\n" + kHelloSha256 + "  hello.txt\r\n" +
                                  std::string(32, '0') + "\r\n");
  RunResult r = Run({"-y", "abc.txt", "sums.txt"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(OutputLines(r.out), (std::vector<std::string>{
                                   "Match found -- XXHash64: " + abc["XXHash64"] + "  abc.txt",
                                   "Match found -- MD5: " + abc["MD5"] + "  abc.txt"}));

  // Several algorithms with the same digest each give a line.
  RunResult zeros = Run({"-y", "empty.txt", "sums.txt"});
  EXPECT_EQ(OutputLines(zeros.out),
            (std::vector<std::string>{
                "Match found -- MurmurHash3_x86_128: " + std::string(32, '0') + "  empty.txt",
                "Match found -- MurmurHash3_x64_128: " + std::string(32, '0') + "  empty.txt"}));
}

TEST_F(VerifyTest, ListWithoutMatchOrWithoutLines) {
  WriteFile(dir / "other.txt", kHelloSha256 + "  hello.txt\n");
  RunResult none = Run({"-y", "abc.txt", "other.txt"});
  EXPECT_EQ(none.exitCode, 119);
  EXPECT_EQ(none.out, "No match found." + LineEnd());

  WriteFile(dir / "blank.txt", "");
  RunResult empty = Run({"-y", "abc.txt", "blank.txt"});
  EXPECT_EQ(empty.exitCode, 118);
  EXPECT_EQ(empty.out, "Invalid checksum file." + LineEnd());
}

TEST_F(VerifyTest, AFileThatCannotBeReadMatchesNothing) {
  if (OnWindows())
    GTEST_SKIP() << "/proc/self/mem, a file that exists but cannot be read, is Linux's";
  WriteFile(dir / "other.txt", kHelloSha256 + "  hello.txt\n");
  RunResult unreadable = Run({"-y", "/proc/self/mem", "other.txt"});
  EXPECT_EQ(unreadable.exitCode, 119);
  EXPECT_EQ(unreadable.out, "No match found." + LineEnd());
  RunResult unreadableText = Run({"-y", "/proc/self/mem", kHelloSha256});
  EXPECT_EQ(unreadableText.exitCode, 119);
  EXPECT_EQ(unreadableText.out, "No match found." + LineEnd());
}

TEST_F(VerifyTest, ResultReachesTheOutputFile) {
  RunResult r = Run({"-o", "result.txt", "-y", "abc.txt", abc["SHA3_512"]});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(ReadFile(dir / "result.txt"), "SHA3_512: Match found" + LineEnd());
}

TEST_F(VerifyTest, UrlListServedLocally) {
  const std::string body = "<html><body><table><tr><td>" + abc["SHA2_256"] +
                           "</td></tr></table>\r\n" + Upper(abc["SHA1"]) + "  abc.txt\r\n"
                           "not a hash line\r\n";
  TestHttpServer server([&](Exchange& exchange) { exchange.Send(OkResponse(body)); });
  RunResult r = Run({"-y", "abc.txt", server.Url("/sums.html")});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(OutputLines(r.out),
            (std::vector<std::string>{"Match found -- SHA2_256: " + abc["SHA2_256"] + "  abc.txt",
                                      "Match found -- SHA1: " + abc["SHA1"] + "  abc.txt"}));

  RunResult other = Run({"-y", "hello.txt", server.Url("/sums.html")});
  EXPECT_EQ(other.exitCode, 119);
  EXPECT_EQ(other.out, "No match found." + LineEnd());
}

// The file is read once for all fourteen algorithms: standard input can be
// read only once, so a second read would hash nothing and miss.
TEST_F(VerifyTest, FileIsReadOnceForAllAlgorithms) {
  std::string list;
  for (const auto& entry : kAlgorithms) list += abc[entry.first] + "\n";
  WriteFile(dir / "all.txt", list);
  // Windows has no /dev/stdin: there "-" names standard input.
  const std::string input = OnWindows() ? "-" : "/dev/stdin";
  RunResult r = Run({"-y", input, "all.txt"}, "abc");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  std::vector<std::string> expected;
  for (const auto& [name, prefix] : kAlgorithms)
    expected.push_back("Match found -- " + std::string(prefix) + abc[name] + "  " + input);
  EXPECT_EQ(OutputLines(r.out), expected);

  RunResult text = Run({"-y", input, abc["Blake3"]}, "abc");
  EXPECT_EQ(text.exitCode, 0);
  EXPECT_EQ(text.out, "Blake3: Match found" + LineEnd());
}

// ---------------------------------------------------------------- --vm

class VerifyManyTest : public VerifyTest {
 protected:
  void SetUp() override {
    VerifyTest::SetUp();
    WriteFile(dir / "data/a.txt", "abc");
    WriteFile(dir / "data/sub/b.txt", "hello\n");
    WriteFile(dir / "data/c.txt", "second file\n");
  }
  int Shell(const std::string& command) {
    return std::system(("cd '" + dir.path() + "' && " + command).c_str());
  }
};

TEST_F(VerifyManyTest, ListWrittenWithSimpleLayoutMatches) {
  RunResult generate = Run({"-g", "sums.txt", "-s", "-r", "-d", "data"});
  ASSERT_EQ(generate.exitCode, 0) << generate.err;
  RunResult r = Run({"--vm", "sums.txt", "data"});
  EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
  // The header lines of the list are comments, not unreadable entries. The
  // names are shown as the list gives them, which -g wrote in the system's form.
  std::vector<std::string> lines = OutputLines(r.out);
  std::vector<std::string> expected = {
      "Match found -- SHA2_256: " + abc["SHA2_256"] + "  a.txt",
      "Match found -- SHA2_256: " + kSecondSha256 + "  c.txt",
      "Match found -- SHA2_256: " + kHelloSha256 + "  " + NativePath("sub/b.txt")};
  std::sort(lines.begin(), lines.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(lines, expected);
}

TEST_F(VerifyManyTest, ListsWrittenBySha256sumMatch) {
  if (OnWindows()) GTEST_SKIP() << "coreutils' sha256sum and md5sum write the lists";
  // Text form (hash, two spaces, name) and binary form (hash, space, "*name").
  ASSERT_EQ(Shell("cd data && sha256sum a.txt sub/b.txt > ../plain.txt"), 0);
  ASSERT_EQ(Shell("cd data && sha256sum -b a.txt sub/b.txt > ../binary.txt"), 0);
  ASSERT_NE(ReadFile(dir / "binary.txt").find(" *a.txt"), std::string::npos);
  const std::vector<std::string> expected = {
      "Match found -- SHA2_256: " + abc["SHA2_256"] + "  a.txt",
      "Match found -- SHA2_256: " + kHelloSha256 + "  sub/b.txt"};
  for (const char* list : {"plain.txt", "binary.txt"}) {
    RunResult r = Run({"--vm", list, "data"});
    EXPECT_EQ(r.exitCode, 0) << list << r.err;
    EXPECT_EQ(OutputLines(r.out), expected) << list;
  }
  // md5sum lists find MD5 among the fourteen.
  ASSERT_EQ(Shell("md5sum data/sub/b.txt > md5.txt"), 0);
  RunResult md5 = Run({"--vm", "md5.txt"});
  EXPECT_EQ(md5.exitCode, 0);
  EXPECT_EQ(md5.out, "Match found -- MD5: " + kHelloMd5 + "  data/sub/b.txt" + LineEnd());
}

TEST_F(VerifyManyTest, EveryEntrySaysWhatBecameOfIt) {
  // An intact, a changed and a missing file, a folder, and a hash no file
  // could give: one line each, and the bits of all three outcomes.
  WriteFile(dir / "sums.txt", abc["SHA2_256"] + " *a.txt\n" + kHelloSha256 + " *missing.txt\n" +
                                  kHelloSha256 + " *sub\n" + abc["MD5"] + " *c.txt\n" +
                                  kHelloSha256 + "  c.txt\n");
  RunResult r = Run({"--vm", "sums.txt", "data"});
  EXPECT_EQ(r.exitCode, 7);
  EXPECT_EQ(OutputLines(r.out),
            (std::vector<std::string>{"Match found -- SHA2_256: " + abc["SHA2_256"] + "  a.txt",
                                      "File error -- " + kHelloSha256 + "  missing.txt",
                                      "File error -- " + kHelloSha256 + "  sub",
                                      "Match failed -- " + abc["MD5"] + "  c.txt",
                                      "Match failed -- " + kHelloSha256 + "  c.txt"}));
}

TEST_F(VerifyManyTest, ATamperedFileIsNeverPassed) {
  // A list of three files as sha256sum writes it, one changed afterwards.
  WriteFile(dir / "sums.txt", abc["SHA2_256"] + "  a.txt\n" + kSecondSha256 + "  c.txt\n" +
                                  kHelloSha256 + "  sub/b.txt\n");
  WriteFile(dir / "data/c.txt", "second file, changed\n");
  RunResult r = Run({"--vm", "sums.txt", "data"});
  EXPECT_EQ(r.exitCode, 6);
  EXPECT_EQ(OutputLines(r.out),
            (std::vector<std::string>{"Match found -- SHA2_256: " + abc["SHA2_256"] + "  a.txt",
                                      "Match failed -- " + kSecondSha256 + "  c.txt",
                                      "Match found -- SHA2_256: " + kHelloSha256 + "  sub/b.txt"}));
  // Its only entry changed: nothing matched either.
  WriteFile(dir / "one.txt", kSecondSha256 + "  c.txt\n");
  RunResult one = Run({"--vm", "one.txt", "data"});
  EXPECT_EQ(one.exitCode, 3);
  EXPECT_EQ(OutputLines(one.out), (std::vector<std::string>{"Match failed -- " + kSecondSha256 +
                                                               "  c.txt",
                                                           "No match found."}));
}

TEST_F(VerifyManyTest, NothingMatching) {
  WriteFile(dir / "sums.txt", kHelloSha256 + " *a.txt\n" + abc["MD5"] + " *nosuch.txt\n");
  RunResult r = Run({"--vm", "sums.txt", "data"});
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_EQ(OutputLines(r.out),
            (std::vector<std::string>{"Match failed -- " + kHelloSha256 + "  a.txt",
                                      "File error -- " + abc["MD5"] + "  nosuch.txt",
                                      "No match found."}));
}

TEST_F(VerifyManyTest, WordRulesAndSkippedLines) {
  // Comment, blank and space-free lines are no entries; a Windows name is
  // retried with "/"; the first algorithm that matches wins, and the hash is
  // shown as written; a line of another shape gives its first two words.
  WriteFile(dir / "sums.txt", "; header line with spaces\n\n;\n" + kSecondSha1 + "?c.txt\n" +
                                  std::string(40, 'e') + "  c.txt\n" + Upper(abc["SHA1"]) +
                                  " a.txt trailing words\n" + kHelloMd5 + " *sub\\b.txt\n" +
                                  "not-a-hash  c.txt\n");
  RunResult r = Run({"--vm", "sums.txt", "data"});
  EXPECT_EQ(r.exitCode, 6) << r.err;
  EXPECT_EQ(OutputLines(r.out),
            (std::vector<std::string>{"Match failed -- " + std::string(40, 'e') + "  c.txt",
                                      "Match found -- SHA1: " + Upper(abc["SHA1"]) + "  a.txt",
                                      "Match found -- MD5: " + kHelloMd5 + "  sub\\b.txt"}));

  // --sha1 alone: the MD5 entry can match under no algorithm tried.
  RunResult sha1 = Run({"--sha1", "--vm", "sums.txt", "data"});
  EXPECT_EQ(sha1.exitCode, 6);
  EXPECT_EQ(OutputLines(sha1.out)[2], "Match failed -- " + kHelloMd5 + "  sub\\b.txt");
}

// The files the committed lists of tests/data/lists name (make_lists.sh).
const std::vector<std::pair<std::string, std::string>> kListedFiles = {
    {"a.txt", "alpha\n"},
    {"b c.txt", "bravo charlie\n"},
    {"q?.txt", "question\n"},
    {"s*.txt", "star\n"},
    {"back\\slash.txt", "backslash\n"},
    {"new\nline.txt", "newline\n"},
};

class OtherToolsLists : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const auto& [name, content] : kListedFiles)
      if (!OnWindows() || name.find_first_of(kRefusedOnWindows) == std::string::npos)
        WriteFile(dir / ("files/" + name), content);
  }
  // Characters Windows refuses in a name, which some listed files have.
  static constexpr const char* kRefusedOnWindows = "?*\\\n";
  static constexpr const char* kNamesRefusedOnWindows =
      "the committed lists name files with \"?\", \"*\", \"\\\" or a line end, which Windows "
      "refuses";
  RunResult Run(const std::vector<std::string>& args) { return RunQuorvid(args, {dir.path(), {}, ""}); }
  std::string List(const std::string& name) { return TestDataPath("lists/" + name); }
  TempDir dir;
};

TEST_F(OtherToolsLists, VerifyManyReadsWholeNamesOfEveryForm) {
  if (OnWindows()) GTEST_SKIP() << kNamesRefusedOnWindows;
  // name of the list, prefix of its algorithm, entries (the xxhsum lists
  // leave out the name with a line end, which that tool cannot escape)
  const std::tuple<const char*, const char*, size_t> lists[] = {
      {"sha256sum.txt", "SHA2_256: ", 6}, {"sha256sum-tag.txt", "SHA2_256: ", 6},
      {"md5sum-b.txt", "MD5: ", 6},       {"sha1sum-b.txt", "SHA1: ", 6},
      {"sha512sum-b.txt", "SHA2_512: ", 6}, {"b2sum.txt", "Blake2B: ", 6},
      {"b3sum.txt", "Blake3: ", 6},       {"xxhsum.txt", "XXHash64: ", 5},
      {"xxhsum-tag.txt", "XXHash64: ", 5}};
  for (const auto& [list, prefix, count] : lists) {
    RunResult r = Run({"--vm", List(list), "files"});
    EXPECT_EQ(r.exitCode, 0) << list << "\n" << r.out;
    // Each entry names its file whole: spaces, wildcards and escapes read.
    for (size_t i = 0; i < count; ++i)
      EXPECT_NE(r.out.find("  " + kListedFiles[i].first + LineEnd()), std::string::npos)
          << list << ": " << kListedFiles[i].first;
    size_t matches = 0;
    for (size_t at = 0; (at = r.out.find(std::string("Match found -- ") + prefix, at)) !=
                        std::string::npos;
         ++at)
      ++matches;
    EXPECT_EQ(matches, count) << list << "\n" << r.out;
    EXPECT_EQ(r.out.find("File error"), std::string::npos) << list;
  }
}

TEST_F(OtherToolsLists, TagFormTriesOnlyTheNamedAlgorithm) {
  // The tag names SHA256: its hash is not looked for among the other
  // 64-character algorithms, so a BLAKE3 hash under that tag fails.
  const std::string blake3 = "ac678d92b3d739773d18cd952cfcea443fa4a5a98ffc9554b66795bb22d5532d";
  WriteFile(dir / "tags.txt", "SHA256 (a.txt) = " + blake3 + "\nBLAKE3 (a.txt) = " + blake3 +
                                  "\nsha2-256 ((x)) = y\nWHIRLPOOL (b c.txt) = " +
                                  std::string(64, '0') + "\n");
  RunResult r = Run({"--vm", "tags.txt", "files"});
  EXPECT_EQ(r.exitCode, 6);
  EXPECT_EQ(OutputLines(r.out),
            (std::vector<std::string>{"Match failed -- " + blake3 + "  a.txt",
                                      "Match found -- Blake3: " + blake3 + "  a.txt",
                                      "Match failed -- " + std::string(64, '0') + "  b c.txt"}));
}

TEST_F(OtherToolsLists, CheckReadsBinaryListsByTheHashLength) {
  if (OnWindows()) GTEST_SKIP() << kNamesRefusedOnWindows;
  // -x cuts a name at a second "*" and takes escaped lines as they stand:
  // those entries are not found, never passed.
  const std::vector<std::string> names = {"a.txt", "b c.txt", "q?.txt"};
  const std::tuple<const char*, const char*> lists[] = {
      {"md5sum-b.txt", "MD5"}, {"sha1sum-b.txt", "SHA1"}, {"sha512sum-b.txt", "SHA512"}};
  for (const auto& [list, type] : lists) {
    RunResult r = Run({"-x", List(list), "files"});
    EXPECT_EQ(r.exitCode, 5) << list << "\n" << r.out;
    std::vector<std::string> lines = OutputLines(r.out);
    ASSERT_EQ(lines.size(), 8u) << r.out;
    for (size_t i = 0; i < names.size(); ++i)
      EXPECT_EQ(lines[i], "OK           " + PadRight(type, 8) + "     " + names[i]) << list;
    EXPECT_EQ(lines[3], "NOT FOUND    *****        s") << list;
    EXPECT_EQ(lines[7], "3 file errors") << list;
  }
}

TEST_F(VerifyManyTest, ListAndFolderErrors) {
  RunResult noList = Run({"--vm", "nosuch.txt"});
  EXPECT_EQ(noList.exitCode, 108);
  EXPECT_NE(noList.err.find("ERROR: Could not access file: \"nosuch.txt\""), std::string::npos);
  WriteFile(dir / "sums.txt", abc["SHA2_256"] + " *a.txt\n");
  RunResult noFolder = Run({"--vm", "sums.txt", "nowhere"});
  EXPECT_EQ(noFolder.exitCode, 100);
  EXPECT_NE(noFolder.err.find("ERROR: Could not access the directory: \"nowhere"),
            std::string::npos);
  // The list is read from the current folder, the names from the folder given.
  RunResult fromFolder = Run({"--vm", "sums.txt", "data"});
  EXPECT_EQ(fromFolder.exitCode, 0);
}

TEST_F(VerifyManyTest, CurrentFolderIsRestored) {
  RunSettings settings;
  BuildAlgorithmTable(settings.AlgorithmTable);
  CreateHashers(settings.AlgorithmTable);
  settings.SelectedHashes = kAllRealHashes;
  WriteFile(dir / "sums.txt", abc["SHA2_256"] + " *a.txt\n");
  settings.VerifyMany.Found = true;
  settings.VerifyMany.Value1 = dir / "sums.txt";
  settings.VerifyMany.Value2 = dir / "data";
  const std::string before = platform::CurrentDirectory();
  OutputChannels output(106);
  settings.Output = &output;
  testing::internal::CaptureStdout();
  RunVerifyMany(settings);
  output.CloseResult();
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(platform::CurrentDirectory(), before);
  EXPECT_EQ(settings.ExitCode, 0);
  EXPECT_EQ(out, "Match found -- SHA2_256: " + abc["SHA2_256"] + "  a.txt" + LineEnd());
}

}  // namespace
}  // namespace quorvid::test
