// Checking a folder against a checksum list (-x), with lists written by -g
// and by other tools.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "modes/run_settings.h"
#include "hashing/algorithm_catalogue.h"
#include "list_expected_digests.h"
#include "modes/check_list.h"
#include "platform/file_info.h"
#include "test_support.h"

namespace quorvid::test {
namespace {

using Lines = std::vector<std::string>;
namespace d = digest;

const std::string kContent = "Quorvid list test\n";
const std::string kHeader = "; header line\n;\n";
const std::string kFormatError = "ERROR: The provided checksum file was not properly formatted! ";

std::string Ok(const std::string& type, const std::string& name) {
  std::string column = type.size() >= 8 ? type : type + std::string(8 - type.size(), ' ');
  return "OK           " + column + "     " + name;
}

class CheckList : public ::testing::Test {
 protected:
  RunResult Run(const std::vector<std::string>& args) {
    RunOptions options;
    options.workDir = dir_.path();
    return RunQuorvid(args, options);
  }
  void MakeTree() {
    WriteFile(dir_ / "t/a.txt", kContent);
    WriteFile(dir_ / "t/with space.txt", "space\n");
    WriteFile(dir_ / "t/sub/ünïcode ß.txt", "unicode\n");
    WriteFile(dir_ / "t/sub/deeper/d.bin", std::string(70000, 'd'));
  }
  // Runs -g over t and returns the entry names in list order.
  Lines Generate(const std::vector<std::string>& extra = {}) {
    std::vector<std::string> args = {"-g", "list.txt", "-r", "-d", "t"};
    args.insert(args.begin(), extra.begin(), extra.end());
    RunResult r = Run(args);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    Lines names;
    for (const std::string& line : OutputLines(ReadFile(dir_ / "list.txt")))
      if (line.find('*') != std::string::npos) names.push_back(line.substr(line.find('*') + 1));
    return names;
  }
  TempDir dir_;
};

TEST_F(CheckList, RoundTripOfAGeneratedTree) {
  MakeTree();
  Lines names = Generate();
  ASSERT_EQ(names.size(), 4u);
  Lines expected;
  for (const std::string& name : names) expected.push_back(Ok("SHA256", name));

  RunResult r = Run({"-x", "list.txt", "t"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(OutputLines(r.out), expected);

  expected.push_back("");
  expected.push_back("4 checksums matched");
  r = Run({"-x", "list.txt", "t", "--sm"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(OutputLines(r.out), expected);
  r = Run({"--check", "list.txt", "t", "--sm", "--hm"});
  EXPECT_EQ(OutputLines(r.out), (Lines{"", "4 checksums matched"}));
  r = Run({"--validate", "list.txt", "t", "--hm"});
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.exitCode, 0);
}

TEST_F(CheckList, ChangedAndDeletedFiles) {
  MakeTree();
  Generate();
  WriteFile(dir_ / "t/a.txt", "changed\n");
  std::remove((dir_ / "t/with space.txt").c_str());
  RunResult r = Run({"-x", "list.txt", "t"});
  EXPECT_EQ(r.exitCode, 7);
  Lines lines = OutputLines(r.out);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "FAILED       SHA256       a.txt"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "NOT FOUND    *****        with space.txt"),
            lines.end());
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(Lines(lines.end() - 3, lines.end()), (Lines{"", "1 checksum failed", "1 file error"}));

  // Nothing passed: bits 1 and 2 only.
  WriteFile(dir_ / "t/sub/ünïcode ß.txt", "changed\n");
  WriteFile(dir_ / "t/sub/deeper/d.bin", "changed\n");
  r = Run({"-x", "list.txt", "t", "--sm"});
  EXPECT_EQ(r.exitCode, 3);
  lines = OutputLines(r.out);
  EXPECT_EQ(Lines(lines.end() - 3, lines.end()), (Lines{"", "3 checksums failed", "1 file error"}));
}

TEST_F(CheckList, EveryAlgorithmRoundTrips) {
  WriteFile(dir_ / "t/a.txt", kContent);
  const std::pair<const char*, const char*> algorithms[] = {
      {"--md5", "MD5"},           {"--sha1", "SHA1"},         {"--sha256", "SHA256"},
      {"--sha384", "SHA384"},     {"--sha512", "SHA512"},     {"--sha3_256", "SHA3_256"},
      {"--sha3_384", "SHA3_384"}, {"--sha3_512", "SHA3_512"}, {"--blake2s", "Blake2S"},
      {"--blake2b", "Blake2B"},   {"--blake3", "Blake3"},     {"--xxhash64", "XXHash64"},
      {"--murmurhash3_x86", "MH3_X86"}, {"--murmurhash3_x64", "MH3_X64"}};
  for (const auto& [option, type] : algorithms) {
    Generate({option});
    RunResult r = Run({"-x", "list.txt", "t"});
    EXPECT_EQ(r.exitCode, 0) << option << r.err;
    EXPECT_EQ(OutputLines(r.out), Lines{Ok(type, "a.txt")}) << option;
    // The same list with the file changed fails under the same algorithm.
    WriteFile(dir_ / "t/a.txt", "other\n");
    r = Run({"-x", "list.txt", "t"});
    EXPECT_EQ(r.exitCode, 2) << option;
    EXPECT_EQ(OutputLines(r.out)[0], "FAILED       " + Ok(type, "a.txt").substr(13)) << option;
    WriteFile(dir_ / "t/a.txt", kContent);
  }
}

TEST_F(CheckList, CodePageRoundTrip) {
  WriteFile(dir_ / "t/café.txt", kContent);
  Generate({"--cp", "1252"});
  std::string bytes = ReadFile(dir_ / "list.txt");
  EXPECT_NE(bytes.find("*caf\xe9.txt" + LineEnd()), std::string::npos);
  Lines lines = OutputLines(bytes);
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[4].substr(lines[4].size() - 20), " using CodePage 1252");
  RunResult r = Run({"--cp", "1252", "-x", "list.txt", "t"});
  EXPECT_EQ(r.exitCode, 0) << r.out;
  EXPECT_EQ(OutputLines(r.out), Lines{Ok("SHA256", "café.txt")});
}

TEST_F(CheckList, ListsWrittenByOtherTools) {
  WriteFile(dir_ / "a.txt", kContent);
  WriteFile(dir_ / "my file.txt", kContent);
  WriteFile(dir_ / "md5.txt", d::kFileMd5 + " *a.txt\n");
  RunResult r = Run({"-x", "md5.txt"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(OutputLines(r.out), Lines{Ok("MD5", "a.txt")});

  // Longer hashes in that form: the length names the algorithm.
  WriteFile(dir_ / "sha.txt", d::kFileSha256 + " *my file.txt\n" + d::kFileSha1 + " *a.txt\n");
  r = Run({"-x", "sha.txt"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(OutputLines(r.out), (Lines{Ok("SHA256", "my file.txt"), Ok("SHA1", "a.txt")}));
  // A changed file in such a list fails.
  WriteFile(dir_ / "a.txt", "changed");
  r = Run({"-x", "sha.txt"});
  EXPECT_EQ(r.exitCode, 6);
  EXPECT_EQ(OutputLines(r.out), (Lines{Ok("SHA256", "my file.txt"),
                                       "FAILED       SHA1         a.txt", "", "1 checksum failed"}));
  WriteFile(dir_ / "a.txt", kContent);

  // Upper-case hashes, CR LF line ends and Windows separators.
  WriteFile(dir_ / "sub/b.txt", kContent);
  std::string upper = d::kFileSha256;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  WriteFile(dir_ / "win.txt", upper + " ?sha256*sub\\b.txt\r\n");
  r = Run({"-x", "win.txt"});
  EXPECT_EQ(r.exitCode, 0) << r.out;
  EXPECT_EQ(OutputLines(r.out), Lines{Ok("sha256", "sub\\b.txt")});

  // The two-space text form has no asterisk: nothing to check.
  WriteFile(dir_ / "plain.txt", d::kFileMd5 + "  a.txt\n");
  r = Run({"-x", "plain.txt"});
  EXPECT_EQ(r.exitCode, 118);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, kFormatError + "\"plain.txt\"" + LineEnd());
}

TEST_F(CheckList, EmptyAndHeaderOnlyLists) {
  WriteFile(dir_ / "empty.txt", "");
  WriteFile(dir_ / "header.txt", kHeader);
  for (const char* list : {"empty.txt", "header.txt"}) {
    RunResult r = Run({"-x", list});
    EXPECT_EQ(r.exitCode, 118) << list;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, kFormatError + "\"" + list + "\"" + LineEnd());
  }
}

TEST_F(CheckList, StopsForMissingListFolderOrUnreadableList) {
  WriteFile(dir_ / "list.txt", d::kFileMd5 + " *a.txt\n");
  RunResult r = Run({"-x", "missing.txt"});
  EXPECT_EQ(r.exitCode, 108);
  EXPECT_NE(r.err.find("ERROR: Could not access file: \"missing.txt\""), std::string::npos);
  r = Run({"-x", "list.txt", "nofolder"});
  EXPECT_EQ(r.exitCode, 100);
  EXPECT_NE(r.err.find("ERROR: Could not access the directory: \"nofolder\""), std::string::npos);
  if (OnWindows()) GTEST_SKIP() << "no /proc on Windows";
  r = Run({"-x", "/proc/self/mem"});
  EXPECT_EQ(r.exitCode, 104);
  EXPECT_NE(r.err.find("File handling error occurred with \"/proc/self/mem\" -- "),
            std::string::npos);
  EXPECT_EQ(r.out, "");
}

TEST_F(CheckList, OutputFileAndNoTeeCopy) {
  WriteFile(dir_ / "a.txt", kContent);
  WriteFile(dir_ / "list.txt", d::kFileMd5 + " *a.txt\n" + d::kFileMd5 + " *gone.txt\n");
  RunResult r = Run({"-o", "out.txt", "-t", "-x", "list.txt"});
  EXPECT_EQ(r.exitCode, 5);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(OutputLines(ReadFile(dir_ / "out.txt")),
            (Lines{Ok("MD5", "a.txt"), "NOT FOUND    *****        gone.txt", "", "1 file error"}));
}

// In the process itself: the folder argument is where names are looked up,
// and the current folder is the same before and after.
TEST_F(CheckList, FolderArgumentLeavesTheCurrentFolderUnchanged) {
  WriteFile(dir_ / "data/a.txt", kContent);
  WriteFile(dir_ / "data/a.txt.list", d::kFileSha256 + " ?SHA256*a.txt\n");
  const std::string before = platform::CurrentDirectory();

  RunSettings settings;
  BuildAlgorithmTable(settings.AlgorithmTable);
  CreateHashers(settings.AlgorithmTable);
  settings.Check.Found = true;
  settings.Check.Value1 = dir_ / "data/a.txt.list";
  settings.Check.Value2 = dir_ / "data";
  OutputChannels output(106);
  settings.Output = &output;
  testing::internal::CaptureStdout();
  RunCheckList(settings);
  output.CloseResult();
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(settings.ExitCode, 0);
  EXPECT_EQ(out, Ok("SHA256", "a.txt") + LineEnd());
  EXPECT_EQ(platform::CurrentDirectory(), before);

  // Through the binary: the list name is taken from the current folder, the
  // names inside it from the folder argument.
  RunResult r = Run({"-x", "data/a.txt.list", "data"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, Ok("SHA256", "a.txt") + LineEnd());
}

}  // namespace
}  // namespace quorvid::test
