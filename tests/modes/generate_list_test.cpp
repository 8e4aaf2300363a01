// Checksum list generation (-g with -d): header, entries, options and files.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "list_expected_digests.h"
#include "modes/generate_list.h"
#include "support/date_time.h"
#include "test_support.h"

namespace quorvid::test {
namespace {

using Lines = std::vector<std::string>;
namespace d = digest;

const std::string kContent = "Quorvid list test\n";

TEST(ChecksumListHeader, SixLinesWithoutAsterisk) {
  TDateTime when = *TryEncodeDateTime({2025, 3, 14, 16, 5, 9, 0});
  Lines header = ChecksumListHeader("/usr/bin/quorvid", when, 65001);
  ASSERT_EQ(header.size(), 6u);
  EXPECT_EQ(header[0],
            "; quorvid v5.4.0 -- Generate Hashes for Files and Text Strings (MD5, SHA1, SHA2, "
            "SHA3, Blake2, Blake3, XXHash64 and more)");
  EXPECT_EQ(header[1].rfind("; ", 0), 0u);
  EXPECT_EQ(header[2].rfind("; ", 0), 0u);
  EXPECT_EQ(header[3], ";");
  EXPECT_EQ(header[4], "; Generated on 03/14/2025 at 16:05:09 using CodePage 65001");
  EXPECT_EQ(header[5], ";");
  for (const std::string& line : header) EXPECT_EQ(line.find('*'), std::string::npos) << line;
  EXPECT_EQ(ChecksumListHeader("q", when, 1252)[4],
            "; Generated on 03/14/2025 at 16:05:09 using CodePage 1252");
}

class GenerateList : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(dir_ / "t/a.txt", kContent);
    WriteFile(dir_ / "t/x/b.txt", kContent);
  }
  RunResult Run(const std::vector<std::string>& args) {
    RunOptions options;
    options.workDir = dir_.path();
    return RunQuorvid(args, options);
  }
  Lines List(const std::string& name = "list.txt") { return OutputLines(ReadFile(dir_ / name)); }
  // The entry lines: everything after the six header lines.
  Lines Entries(const std::string& name = "list.txt") {
    Lines all = List(name);
    return all.size() > 6 ? Lines(all.begin() + 6, all.end()) : Lines{};
  }
  TempDir dir_;
};

TEST_F(GenerateList, HeaderThenEntriesWithRelativeNames) {
  RunResult r = Run({"-g", "list.txt", "-d", "t", "-r"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  // The status line goes to standard error: standard output carries results only.
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "Writing \"list.txt\" ... Done" + LineEnd());
  Lines all = List();
  ASSERT_EQ(all.size(), 8u);
  EXPECT_TRUE(std::regex_match(all[4], std::regex("; Generated on \\d\\d/\\d\\d/\\d{4} at "
                                                  "\\d\\d:\\d\\d:\\d\\d using CodePage 65001")))
      << all[4];
  EXPECT_EQ(Entries(), (Lines{d::kFileSha256 + " ?SHA256*a.txt",
                              d::kFileSha256 + " ?SHA256*" + NativePath("x/b.txt")}));

  // The MD5 marker has no name; -i writes bare file names.
  EXPECT_EQ(Run({"--md5", "-g", "list.txt", "-d", "t"}).exitCode, 0);
  EXPECT_EQ(Entries(), Lines{d::kFileMd5 + " *a.txt"});
  EXPECT_EQ(Run({"-g", "list.txt", "-d", "t", "-r", "-i"}).exitCode, 0);
  EXPECT_EQ(Entries(), (Lines{d::kFileSha256 + " a.txt", d::kFileSha256 + " b.txt"}));
}

TEST_F(GenerateList, LayoutOptions) {
  EXPECT_EQ(Run({"-g", "list.txt", "-d", "t", "-s"}).exitCode, 0);
  EXPECT_EQ(Entries(), Lines{d::kFileSha256 + " a.txt"});
  EXPECT_EQ(Run({"-g", "list.txt", "-d", "t", "-j"}).exitCode, 0);
  EXPECT_EQ(Entries(), Lines{d::kFileSha256});
  EXPECT_EQ(Run({"-g", "list.txt", "-d", "t", "-p"}).exitCode, 0);
  EXPECT_EQ(Entries(), Lines{"SHA2_256: " + d::kFileSha256 + " ?SHA256*a.txt"});
}

TEST_F(GenerateList, AppendTeeCountsAndOwnFile) {
  EXPECT_EQ(Run({"-g", "list.txt", "-d", "t"}).exitCode, 0);
  EXPECT_EQ(Run({"-g", "list.txt", "-d", "t", "-a"}).exitCode, 0);
  Lines twice = List();
  ASSERT_EQ(twice.size(), 14u);
  EXPECT_EQ(twice[7].rfind("; quorvid v5.4.0 -- ", 0), 0u);
  EXPECT_EQ(twice[13], d::kFileSha256 + " ?SHA256*a.txt");

  // -t copies entries, not the header, to standard output; the -o file
  // receives no result line once the list is the result stream.
  RunResult r = Run({"-g", "list.txt", "-d", "t", "-o", "out.txt", "-t", "-c"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, d::kFileSha256 + " ?SHA256*a.txt" + LineEnd() +
                       "Success = 1   Unfiltered = 1   Error = 0" + LineEnd());
  EXPECT_EQ(r.err, "Writing \"list.txt\" ... Done" + LineEnd());
  EXPECT_EQ(ReadFile(dir_ / "out.txt"), "");
  EXPECT_EQ(Entries(), (Lines{d::kFileSha256 + " ?SHA256*a.txt",
                              "Success = 1   Unfiltered = 1   Error = 0"}));

  // A list written inside the walked folder never lists itself.
  EXPECT_EQ(Run({"-g", "t/list.txt", "-d", "t", "-r"}).exitCode, 0);
  EXPECT_EQ(Entries("t/list.txt"),
            (Lines{d::kFileSha256 + " ?SHA256*a.txt",
                   d::kFileSha256 + " ?SHA256*" + NativePath("x/b.txt")}));
}

TEST_F(GenerateList, FailuresAndNothingFound) {
  RunResult r = Run({"--sha1", "--md5", "-g", "list.txt", "-d", "t"});
  EXPECT_EQ(r.exitCode, 111);
  EXPECT_EQ(ReadFile(dir_ / "list.txt"), "");
  EXPECT_FALSE(std::ifstream(dir_ / "list.txt").good());

  r = Run({"-g", "list.txt", "-d", "missing"});
  EXPECT_EQ(r.exitCode, 100);
  EXPECT_FALSE(std::ifstream(dir_ / "list.txt").good());

  r = Run({"-g", "t", "-d", "t"});  // a folder cannot be the list
  EXPECT_EQ(r.exitCode, 107);
  EXPECT_NE(r.err.find("File handling error occurred with \"t\" -- "), std::string::npos) << r.err;

  r = Run({"-g", "list.txt", "-d", "t", "*.none"});
  EXPECT_EQ(r.exitCode, 77);
  EXPECT_EQ(List().size(), 6u);
  EXPECT_EQ(r.err, "Writing \"list.txt\" ... Done" + LineEnd() + "No files found in \"" +
                       NativePath("t/") + "\" matching \"*.none\"" + LineEnd());
}

}  // namespace
}  // namespace quorvid::test
