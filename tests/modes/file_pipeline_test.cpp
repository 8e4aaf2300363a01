// Files hashed ahead by worker threads: the digests handed to the loop equal
// one-file-at-a-time hashing, skipped and unknown files fall back to the
// loop, and a directory run on all cores writes exactly what a run held to
// one processor writes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "hashing/algorithm_table.h"
#include "modes/file_pipeline.h"
#include "test_support.h"

namespace quorvid {
namespace {

std::string Bytes(size_t size, uint32_t seed) {
  std::string data(size, '\0');
  for (char& c : data) {
    seed = seed * 1103515245u + 12345u;
    c = static_cast<char>(seed >> 24);
  }
  return data;
}

TEST(FilePipeline, HandsOutTheDigestsOfOneFileAtATimeHashing) {
  test::TempDir dir;
  std::vector<std::string> files;
  for (int i = 0; i < 40; ++i) {
    files.push_back(dir / ("f" + std::to_string(i)));
    test::WriteFile(files.back(), Bytes(static_cast<size_t>(i) * 997, static_cast<uint32_t>(i)));
  }
  files.push_back(dir / "missing");
  files.push_back(dir.path());  // a folder cannot be read
  THashChoicesArray table;
  BuildAlgorithmTable(table);
  CreateHashers(table);
  const THashSet set = HashBit(THashChoices::MD5) | HashBit(THashChoices::SHA2_256) |
                       HashBit(THashChoices::Blake3);
  // The loop hashes files no worker took yet instead of waiting: with one
  // worker and a narrow window it does much of the work itself.
  for (auto [workers, window] : {std::pair<size_t, size_t>{2, 1}, {2, 3}, {2, 64}, {1, 1},
                                 {1, 8}, {1, 256}}) {
    // Every fifth file is left to the loop, as a filter would.
    FilePipeline ahead(set, files, [&](const std::string& p) { return p.back() != '5'; }, workers,
                       window);
    ASSERT_TRUE(ahead.Active());
    for (size_t i = 0; i < files.size(); ++i) {
      if (i % 7 == 3) continue;  // the loop skips some files as well
      TGeneratedHashes want, got;
      bool wantOk = HashFileManyUntil(table, set, files[i], want, {});
      bool failed = false;
      bool known = ahead.Lookup(files[i], set, got, failed);
      EXPECT_EQ(known, files[i].back() != '5') << files[i];
      if (!known) continue;
      EXPECT_EQ(!failed, wantOk) << files[i];
      for (int m = 1; m < kHashChoiceCount; ++m) {
        if (InSet(set, ChoiceAt(m))) {
          EXPECT_EQ(got[m], want[m]) << files[i] << " " << m;
        }
      }
      // The same file again, for a second algorithm's line.
      TGeneratedHashes again;
      EXPECT_TRUE(ahead.Lookup(files[i], HashBit(THashChoices::SHA2_256), again, failed));
      EXPECT_EQ(again[static_cast<int>(THashChoices::SHA2_256)],
                want[static_cast<int>(THashChoices::SHA2_256)]);
    }
    TGeneratedHashes unused;
    bool failed = false;
    EXPECT_FALSE(ahead.Lookup(dir / "not-in-the-walk", set, unused, failed));
    EXPECT_FALSE(ahead.Lookup(files[0], HashBit(THashChoices::SHA1), unused, failed))
        << "an algorithm the workers did not compute";
  }
}

TEST(FilePipeline, StartsNothingWithoutAlgorithmsOrFiles) {
  std::vector<std::string> none;
  FilePipeline empty(HashBit(THashChoices::MD5), none, [](const std::string&) { return true; }, 2);
  EXPECT_FALSE(empty.Active());
  std::vector<std::string> one = {"/nonexistent"};
  FilePipeline dateOnly(HashBit(THashChoices::None), one, [](const std::string&) { return true; }, 2);
  EXPECT_FALSE(dateOnly.Active());
}

// A -g list's header names the second it was made: the two runs may fall on
// either side of a second.
std::string WithoutGenerationTime(const std::string& list) {
  std::string out;
  for (const std::string& line : test::SplitLines(list))
    if (line.rfind("; Generated on ", 0) != 0) out += line + "\n";
  return out;
}

// Runs the binary through the shell, optionally held to one processor.
test::RunResult RunShell(const std::vector<std::string>& args, bool oneProcessor,
                         const std::string& workDir) {
  std::string command = "cd '" + workDir + "' && TZ=UTC LC_ALL=C ";
  if (oneProcessor) command += "taskset -c 0 ";
  command += std::string("'") + test::QuorvidBinary() + "'";
  for (const std::string& a : args) command += " '" + a + "'";
  command += " > out.txt 2> err.txt";
  int status = std::system(command.c_str());
  test::RunResult r;
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.out = test::ReadFile(workDir + "/out.txt");
  r.err = test::ReadFile(workDir + "/err.txt");
  return r;
}

TEST(FilePipeline, DirectoryRunOnAllCoresWritesWhatAOneProcessorRunWrites) {
  if (std::system("taskset -c 0 true > /dev/null 2>&1") != 0) GTEST_SKIP() << "no taskset";
  test::TempDir tree;
  test::TempDir work;
  const std::string root = tree / "data";
  for (int i = 0; i < 300; ++i) {
    std::string sub = root + "/d" + std::to_string(i % 7) + "/e" + std::to_string(i % 3);
    size_t size = (i * 131) % 5000;
    if (i % 50 == 0) size = 3 * 1024 * 1024 + static_cast<size_t>(i);  // large files too
    test::WriteFile(sub + "/f" + std::to_string(i) + (i % 4 == 0 ? ".log" : ".txt"),
                    Bytes(size, static_cast<uint32_t>(i)));
  }
  std::filesystem::create_directories(root + "/bad");
  // Entries that list as files but cannot be read, and a dangling link.
  std::filesystem::create_symlink("/proc/self/mem", root + "/bad/mem.txt");
  std::filesystem::create_symlink("/proc/self/mem", root + "/d3/e1/zz.txt");
  std::filesystem::create_symlink(root + "/gone", root + "/bad/dangling.txt");
  test::WriteFile(work / "exclude.txt", "d5/e2\n");

  const std::vector<std::vector<std::string>> runs = {
      {"-d", root, "-r", "-c"},
      {"-d", root, "-r", "--md5", "--sha3_512", "--blake3", "-c", "*.txt"},
      {"-d", root, "-r", "--all", "-f", "-c"},
      {"-d", root, "-r", "-j", "--sha1", "-c", "-m", "4000"},
      {"-d", root, "-r", "-g", work / "list.txt", "--sha256"},
      {"-d", root, "-r", "--xx64", "--sha3", "-e", work / "exclude.txt", "-z", "-c"},
      {"-d", root, "-r", "--hl", "0123456789abcdef0123456789abcdef", "--md5", "-c"},
  };
  for (const auto& args : runs) {
    std::string label;
    for (const auto& a : args) label += a + " ";
    test::RunResult one = RunShell(args, true, work.path());
    const std::string oneList = WithoutGenerationTime(test::ReadFile(work / "list.txt"));
    test::RunResult all = RunShell(args, false, work.path());
    EXPECT_EQ(all.exitCode, one.exitCode) << label;
    EXPECT_EQ(all.out, one.out) << label;
    EXPECT_EQ(all.err, one.err) << label;
    EXPECT_EQ(WithoutGenerationTime(test::ReadFile(work / "list.txt")), oneList) << label;
    EXPECT_GT(test::SplitLines(one.out + oneList).size(), 20u) << label;
  }
}

}  // namespace
}  // namespace quorvid
