// Hostile inputs: list files with broken text, huge command lines and masks,
// and a file far larger than memory.
#include <gtest/gtest.h>
#include <xxhash.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "faults/fault_runner.h"
#include "test_support.h"

namespace quorvid::test {
namespace {

using Lines = std::vector<std::string>;

class HostileInput : public ::testing::Test {
 protected:
  FaultRun Run(const std::vector<std::string>& args) {
    FaultOptions options;
    options.workDir = dir_.path();
    return RunFault(args, options);
  }
  static size_t Count(const Lines& lines, const std::string& prefix) {
    return static_cast<size_t>(std::count_if(lines.begin(), lines.end(), [&](const std::string& l) {
      return l.rfind(prefix, 0) == 0;
    }));
  }
  TempDir dir_;
};

TEST_F(HostileInput, ListWithBrokenTextNulBytesAndHugeLinesIsCheckedLineByLine) {
  WriteFile(dir_ / "t/a.txt", "alpha\n");
  WriteFile(dir_ / "t/b.txt", "beta\n");
  FaultRun r = Run({"-g", "list.txt", "-d", "t"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  std::string list = ReadFile(dir_ / "list.txt");
  const std::string hash(64, 'f');
  list += "\xff\xfe\xc3( SHA256 *bad\xff name\n";          // invalid UTF-8
  list += std::string("abc\0def SHA256 *nul", 19) + std::string("\0name\r\n", 7);
  list += std::string(1 << 20, 'f') + " SHA256 *long.txt\n";  // 1 MiB hash word
  list += hash + " SHA256 *" + std::string(1 << 20, 'n') + "\n";  // 1 MiB name
  list += std::string(1 << 20, 'x') + "\r";                // 1 MiB line without an entry
  list += "\x80\x80\x80\n";
  WriteFile(dir_ / "list.txt", list);

  r = Run({"-x", "list.txt", "t"});
  // The two real files pass; the four made-up entries are missing files.
  EXPECT_EQ(r.exitCode, 1 | 4) << r.err;
  Lines lines = SplitLines(r.out);
  EXPECT_EQ(Count(lines, "OK           SHA256       "), 2u) << r.out.substr(0, 2000);
  EXPECT_EQ(Count(lines, "NOT FOUND    "), 4u) << r.out.substr(0, 2000);
  EXPECT_EQ(r.err, "");
}

TEST_F(HostileInput, EndlessListsEndWithAReadErrorNeverAnAbort) {
  // /dev/zero is one line without end: every kind of list refuses it once
  // the line passes its limit, within a small fraction of the memory a
  // reader that holds the whole list would need.
  WriteFile(dir_ / "t/a.txt", "alpha\n");
  const std::pair<std::vector<std::string>, int> runs[] = {
      {{"-x", "/dev/zero"}, 104},
      {{"--vm", "/dev/zero"}, 104},
      {{"-y", "t/a.txt", "/dev/zero"}, 104},
      {{"--hl", "/dev/zero", "-d", "t"}, 104},
      {{"-e", "/dev/zero", "-d", "t"}, 103}};
  for (const auto& [args, code] : runs) {
    FaultOptions options;
    options.workDir = dir_.path();
    // The sanitizer's runtime reserves more address space than any limit.
    if (!BuiltWithSanitizer()) options.addressSpaceMiB = 1024;
    FaultRun r = RunFault(args, options);
    EXPECT_EQ(r.exitCode, code) << args[0] << "\n" << r.err;
    EXPECT_NE(r.err.find("File handling error occurred with \"/dev/zero\" -- A line is longer than "
                         "16777216 bytes"),
              std::string::npos)
        << args[0] << "\n" << r.err;
    if (!BuiltWithSanitizer()) {
      EXPECT_LT(r.peakRssKiB, 96 * 1024) << args[0];
    }
  }
}

TEST_F(HostileInput, LongListsAreCheckedInFlatMemory) {
  // 400,000 entries (about 30 MB) of files that do not exist: -x, --vm and
  // -y read them line by line, so their memory does not grow with the list.
  std::string list;
  for (int i = 0; i < 400000; ++i) {
    char line[96];
    std::snprintf(line, sizeof line, "%064x ?SHA256*n%d.txt\n", i, i);
    list += line;
  }
  WriteFile(dir_ / "big.txt", list);
  // The child's peak counts this process's pages until it starts the program.
  std::string().swap(list);
  WriteFile(dir_ / "a.txt", "alpha\n");
  const std::pair<std::vector<std::string>, int> runs[] = {
      {{"-x", "big.txt"}, 1}, {{"--vm", "big.txt"}, 1}, {{"-y", "a.txt", "big.txt"}, 119}};
  for (const auto& [args, code] : runs) {
    // The results stay out of this process, whose pages the child's peak
    // counts until it starts the program.
    FaultOptions options;
    options.workDir = dir_.path();
    options.discardOutput = true;
    FaultRun r = RunFault(args, options);
    EXPECT_EQ(r.exitCode, code) << args[0] << "\n" << r.err;
    if (!BuiltWithSanitizer()) {
      EXPECT_LT(r.peakRssKiB, 24 * 1024) << args[0];
    }
  }
}

TEST_F(HostileInput, HundredThousandArguments) {
  std::vector<std::string> args = {"--xx64"};
  for (int i = 0; i < 100000; ++i) args.push_back("text" + std::to_string(i));
  FaultRun r = Run(args);
  EXPECT_EQ(r.exitCode, 0) << r.err.substr(0, 2000);
  Lines lines = SplitLines(r.out);
  EXPECT_EQ(lines.size(), 100000u);
  // The last text is hashed like the first: none is lost or merged.
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(lines.back().find("text99999"), std::string::npos) << lines.back();
}

TEST_F(HostileInput, MasksOfTenThousandCharacters) {
  const std::string hit = std::string(199, 'a') + "b";
  WriteFile(dir_ / "t/" + std::string(200, 'a'), "a");
  WriteFile(dir_ / "t/" + hit, "b");
  // A run of stars: a backtracking matcher would take exponential time on
  // the name that does not end in "b".
  const std::string stars = std::string(9999, '*') + "b";
  // A set of ten thousand characters.
  const std::string set = "[" + std::string(9995, 'z') + "a]*b";
  for (const std::string& mask : {stars, set}) {
    ASSERT_EQ(mask.size(), 10000u);
    FaultRun r = Run({"-d", "t", "-f", mask});
    EXPECT_EQ(r.exitCode, 0) << r.err.substr(0, 500);
    Lines lines = SplitLines(r.out);
    ASSERT_EQ(lines.size(), 1u) << r.out;
    EXPECT_NE(lines[0].find(hit), std::string::npos);
    r = Run({"-d", "t", "-f", mask + "?"});
    EXPECT_EQ(r.exitCode, 77) << r.err.substr(0, 500);  // nothing matches
  }
}

TEST_F(HostileInput, SparseFiveGibibyteFileHashesInBoundedMemory) {
  const uint64_t size = 5ull << 30;
  const std::string big = dir_ / "big.bin";
  WriteFile(big, "");
  std::filesystem::resize_file(big, size);  // sparse: no blocks written
  ASSERT_EQ(std::filesystem::file_size(big), size);

  XXH64_state_t* state = XXH64_createState();
  XXH64_reset(state, 0);
  std::string zeros(1 << 20, '\0');
  for (uint64_t done = 0; done < size; done += zeros.size()) XXH64_update(state, zeros.data(), zeros.size());
  char expected[17];
  std::snprintf(expected, sizeof expected, "%016llx",
                static_cast<unsigned long long>(XXH64_digest(state)));
  XXH64_freeState(state);

  FaultRun r = Run({"--xx64", "big.bin"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find(expected), std::string::npos) << r.out;
  // The sanitizer runtime's shadow memory counts towards its limit.
  long limitKiB = BuiltWithSanitizer() ? 256 * 1024 : 64 * 1024;
  EXPECT_LT(r.peakRssKiB, limitKiB);
}

// Large files hashed at once on every core, each with two algorithms: each
// is read through a few buffers of its own, so memory stays bounded however
// many run at once.
TEST_F(HostileInput, LargeFilesOnEveryCoreStayUnderThirtyTwoMebibytes) {
  for (int i = 0; i < 6; ++i) {
    const std::string name = dir_ / ("many/f" + std::to_string(i) + ".bin");
    WriteFile(name, "");
    std::filesystem::resize_file(name, 64u << 20);
  }
  FaultRun r = Run({"-r", "-d", "many", "--md5", "--xx64"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  size_t md5Lines = 0;  // the MD5 of 64 MiB of zeros, once per file
  for (const std::string& line : SplitLines(r.out))
    if (line.find("7f614da9329cd3aebf59b91aadc30bf0") != std::string::npos) ++md5Lines;
  EXPECT_EQ(md5Lines, 6u) << r.out;
  long limitKiB = BuiltWithSanitizer() ? 256 * 1024 : 32 * 1024;
  EXPECT_LT(r.peakRssKiB, limitKiB);
}

}  // namespace
}  // namespace quorvid::test
