// Directory mode through the real binary: walk order, filters, names,
// counts and the messages of a run that finds nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <filesystem>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

#include "list_expected_digests.h"
#include "platform/file_info.h"
#include "platform/folders.h"
#include "platform/path_rules.h"
#include "test_support.h"

namespace quorvid::test {
namespace {

using Lines = std::vector<std::string>;
namespace d = digest;

const std::string kContent = "Quorvid list test\n";  // its digests are in list_expected_digests.h
const std::string kListSha = d::kFileSha256 + " ?SHA256*";

void SetFileTime(const std::string& path, std::time_t when) {
  std::error_code error;
  std::filesystem::last_write_time(
      path, std::chrono::file_clock::from_sys(std::chrono::system_clock::from_time_t(when)), error);
  ASSERT_FALSE(error) << path << ": " << error.message();
}

// The message of a walk that finds nothing, with its line end.
std::string NothingFound(const std::string& folder, const std::string& mask,
                         const std::string& more = "") {
  return "No files found in \"" + NativePath(folder) + "\" matching \"" + mask + "\"" + more +
         LineEnd();
}

// The names after the list marker of -f lines.
Lines NamesAfterMarker(const Lines& lines) {
  Lines names;
  for (const std::string& line : lines) {
    size_t star = line.find('*');
    if (star != std::string::npos) names.push_back(line.substr(star + 1));
  }
  return names;
}

// Files first in the order the system enumerates them, then each subfolder
// depth first in the same order.
void ExpectedWalk(const std::string& root, const std::string& relative, bool recursive, Lines& out) {
  std::vector<platform::FolderEntry> entries;
  ASSERT_TRUE(platform::ReadFolder(root + "/" + relative, entries));
  for (const auto& e : entries)
    if (e.kind == platform::FileKind::Regular) out.push_back(relative + e.name);
  if (!recursive) return;
  for (const auto& e : entries)
    if (e.kind == platform::FileKind::Directory && !e.isLink)
      ExpectedWalk(root, relative + e.name + platform::kPathSeparator, true, out);
}

class DirectoryMode : public ::testing::Test {
 protected:
  RunResult Run(const std::vector<std::string>& args) {
    RunOptions options;
    options.workDir = dir_.path();
    return RunQuorvid(args, options);
  }
  Lines Out(const std::vector<std::string>& args, int expectedCode = 0) {
    RunResult r = Run(args);
    EXPECT_EQ(r.exitCode, expectedCode) << r.err;
    return OutputLines(r.out);
  }
  std::string Path(const std::string& relative) { return dir_ / relative; }
  TempDir dir_;
};

TEST_F(DirectoryMode, WalkOrderIsTheEnumerationOrderNeverSorted) {
  const char* names[] = {"zeta.txt", "Alpha.txt", "m 1.txt", "b.txt", "ü.txt", "0.txt", "Q.txt",
                         "k.txt",    "aa.txt",    "c.txt",   "y.txt", "e.txt", "n.txt", "j.txt"};
  for (const char* name : names) WriteFile(Path("t/" + std::string(name)), kContent);
  for (const char* sub : {"t/d2/", "t/d1/", "t/d1/e/", "t/x9/", "t/d1/a/"})
    for (const char* name : {"q.txt", "b.txt", "m.txt"}) WriteFile(Path(std::string(sub) + name), kContent);

  Lines expected;
  ExpectedWalk(Path("t"), "", true, expected);
  EXPECT_EQ(NamesAfterMarker(Out({"-d", "t", "-r", "-f"})), expected);
  Lines top;
  ExpectedWalk(Path("t"), "", false, top);
  EXPECT_EQ(NamesAfterMarker(Out({"-d", "t", "-f"})), top);

  // Without -f the full path as the walk builds it, with the default label.
  Lines plain = Out({"-d", "t"});
  ASSERT_EQ(plain.size(), top.size());
  EXPECT_EQ(plain[0], d::kFileSha256 + "  {File}  " + NativePath("t/") + top[0]);
}

TEST_F(DirectoryMode, StartFolderIsShownCleaned) {
  WriteFile(Path("D/sub/c.txt"), kContent);
  for (const char* folder : {"D//sub", "./D/sub", "D/./sub/", ".//D//sub//"})
    EXPECT_EQ(Out({"-s", "-d", folder}), (Lines{d::kFileSha256 + " " + NativePath("D/sub/c.txt")}))
        << folder;
}

TEST_F(DirectoryMode, RelativeNamesAndLayoutOptions) {
  WriteFile(Path("t/a.txt"), kContent);
  WriteFile(Path("t/t/t/x.txt"), kContent);  // repeats the folder's name
  EXPECT_EQ(Out({"-d", "t", "-r", "-f"}),
            (Lines{kListSha + "a.txt", kListSha + NativePath("t/t/x.txt")}));
  EXPECT_EQ(Out({"-d", "t", "-r", "-s"}),
            (Lines{d::kFileSha256 + " " + NativePath("t/a.txt"),
                   d::kFileSha256 + " " + NativePath("t/t/t/x.txt")}));
  EXPECT_EQ(Out({"-d", "t", "-r", "-i"}),
            (Lines{d::kFileSha256 + " a.txt", d::kFileSha256 + " x.txt"}));
  EXPECT_EQ(Out({"-d", "t", "-r", "-f", "-i"}),
            (Lines{d::kFileSha256 + " a.txt", d::kFileSha256 + " x.txt"}));
  // Two algorithms: prefixes, padding and the separator; -f drops the separator.
  EXPECT_EQ(Out({"--md5", "--sha1", "-d", "t"}),
            (Lines{" MD5: " + d::kFileMd5 + "          {File}  " + NativePath("t/a.txt"),
                   "SHA1: " + d::kFileSha1 + "  {File}  " + NativePath("t/a.txt"),
                   "---------------"}));
  EXPECT_EQ(Out({"--md5", "--sha1", "-d", "t", "-f"}),
            (Lines{d::kFileMd5 + "         *a.txt", d::kFileSha1 + " ?SHA1*a.txt"}));
  // The same folder written with extra separators is the same walk.
  EXPECT_EQ(Out({"-d", "t//", "-f"}), Out({"-d", "t", "-f"}));
}

TEST_F(DirectoryMode, MasksFromTheArgumentsAfterTheFolder) {
  for (const char* name : {"a.txt", "B.TXT", "c.txt.bak", "README", "data1.csv", "data10.csv"})
    WriteFile(Path("t/" + std::string(name)), kContent);
  auto names = [&](std::vector<std::string> masks) {
    std::vector<std::string> args = {"-d", "t", "-f"};
    args.insert(args.end(), masks.begin(), masks.end());
    Lines found = NamesAfterMarker(Out(args));
    std::sort(found.begin(), found.end());
    return found;
  };
  EXPECT_EQ(names({"*.txt"}), (Lines{"B.TXT", "a.txt"}));
  EXPECT_EQ(names({"*.txt", "data?.csv"}), (Lines{"B.TXT", "a.txt", "data1.csv"}));
  EXPECT_EQ(names({"*."}), (Lines{"README"}));
  // An option after the folder is taken as the option, not as a mask.
  EXPECT_EQ(names({"*.csv", "-c"}), (Lines{"data1.csv", "data10.csv"}));

  RunResult bad = Run({"-d", "t", "[a"});
  EXPECT_EQ(bad.exitCode, 65);
  EXPECT_EQ(bad.out, "");
  EXPECT_NE(bad.err.find("Missing closing character \"]\" in mask"), std::string::npos) << bad.err;
}

TEST_F(DirectoryMode, ExclusionsSizeLimitAndCounts) {
  WriteFile(Path("t/a.txt"), kContent);
  WriteFile(Path("t/Catalog.txt"), kContent);
  WriteFile(Path("t/Temp/b.txt"), kContent);
  WriteFile(Path("t/k1000.bin"), std::string(1000, 'x'));
  WriteFile(Path("t/k1001.bin"), std::string(1001, 'x'));
  // Exclusions are matched against the names as the walk writes them.
  WriteFile(Path("exc.txt"), NativePath("/TEMP/") + "\n\nlog\n");

  Lines excluded = Out({"-d", "t", "-r", "-f", "-e", "exc.txt", "-c", "*.txt"});
  EXPECT_EQ(excluded, (Lines{kListSha + "a.txt", "Success = 1   Unfiltered = 3   Error = 0"}));

  Lines limited = Out({"-d", "t", "-m", "1000", "-c", "*.bin"});
  ASSERT_EQ(limited.size(), 2u);
  EXPECT_NE(limited[0].find(NativePath("t/k1000.bin")), std::string::npos);
  EXPECT_EQ(limited[1], "Success = 1   Unfiltered = 2   Error = 0");

  // -z shows the size column; without -m its limit is 4294967295 bytes.
  Lines sized = Out({"-d", "t", "-z", "-s", "a.txt"});
  EXPECT_EQ(sized, (Lines{"{          18} " + d::kFileSha256 + " " + NativePath("t/a.txt")}));

  // Every file excluded: the unfiltered count still shows what the walk found.
  WriteFile(Path("all.txt"), NativePath("t/") + "\n");
  RunResult none = Run({"-d", "t", "-r", "-e", "all.txt", "-c"});
  EXPECT_EQ(none.exitCode, 77);
  EXPECT_EQ(OutputLines(none.out), Lines{"Success = 0   Unfiltered = 5   Error = 0"});
  EXPECT_EQ(none.err, NothingFound("t/", "*"));
}

TEST_F(DirectoryMode, DateFilterWindowsAndGaps) {
  // 2020-12-31 23:00 and 2021-01-01 10:00 UTC (the tests run with TZ=UTC).
  WriteFile(Path("t/old.txt"), kContent);
  WriteFile(Path("t/new.txt"), kContent);
  SetFileTime(Path("t/old.txt"), 1609455600);
  SetFileTime(Path("t/new.txt"), 1609495200);
  auto names = [&](std::vector<std::string> filter, int code = 0) {
    std::vector<std::string> args = {"-d", "t", "-f"};
    args.insert(args.begin(), filter.begin(), filter.end());
    Lines found = NamesAfterMarker(Out(args, code));
    std::sort(found.begin(), found.end());
    return found;
  };
  EXPECT_EQ(names({"--bd=01/01/2021"}), Lines{"old.txt"});
  EXPECT_EQ(names({"--ad=01/01/2021"}), Lines{"new.txt"});
  EXPECT_EQ(names({"--ad=01/01/2018", "--bd=01/01/2020"}, 77), Lines{});
  // A typed date is the start of that day for both bounds.
  EXPECT_EQ(names({"--ad=12/31/2020", "--bd=01/01/2021"}), Lines{"old.txt"});
  // Bounds the other way round select what lies outside the gap.
  EXPECT_EQ(names({"--bd=12/01/2020", "--ad=01/01/2021"}), Lines{"new.txt"});

  const std::time_t now = std::time(nullptr);
  const std::time_t day = 86400;
  WriteFile(Path("r/d5.txt"), kContent);
  WriteFile(Path("r/d150.txt"), kContent);
  WriteFile(Path("r/d300.txt"), kContent);
  SetFileTime(Path("r/d5.txt"), now - 5 * day);
  SetFileTime(Path("r/d150.txt"), now - 150 * day);
  SetFileTime(Path("r/d300.txt"), now - 300 * day);
  auto relative = [&](std::vector<std::string> filter) {
    std::vector<std::string> args = {"-d", "r", "-f"};
    args.insert(args.begin(), filter.begin(), filter.end());
    Lines found = NamesAfterMarker(Out(args));
    std::sort(found.begin(), found.end());
    return found;
  };
  EXPECT_EQ(relative({"--older=100", "--newer=200"}), Lines{"d150.txt"});
  EXPECT_EQ(relative({"--older=200", "--newer=100"}), (Lines{"d300.txt", "d5.txt"}));
  EXPECT_EQ(relative({"--newer=10"}), Lines{"d5.txt"});

  RunResult nothing = Run({"--bd=01/01/2000", "-d", "t"});
  EXPECT_EQ(nothing.exitCode, 77);
  EXPECT_EQ(nothing.err, NothingFound("t/", "*", " in selected date range"));
}

TEST_F(DirectoryMode, NothingFoundMessagesAndSummaryFile) {
  WriteFile(Path("t/a.txt"), kContent);
  RunResult r = Run({"-d", "t", "-c", "*.none"});
  EXPECT_EQ(r.exitCode, 77);
  EXPECT_EQ(OutputLines(r.out), Lines{"Success = 0   Unfiltered = 0   Error = 0"});
  EXPECT_EQ(r.err, NothingFound("t/", "*.none"));

  // -w sends the message with the results, into the output file with -o.
  r = Run({"-d", "t", "-w", "*.none"});
  EXPECT_EQ(r.exitCode, 77);
  EXPECT_EQ(r.out, NothingFound("t/", "*.none"));
  EXPECT_EQ(r.err, "");
  r = Run({"-d", "t", "-w", "-o", "out.txt", "*.none"});
  EXPECT_EQ(r.exitCode, 77);
  EXPECT_EQ(ReadFile(Path("out.txt")), NothingFound("t/", "*.none"));

  r = Run({"-d", "t", "-u", "sum.txt"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(ReadFile(Path("sum.txt")), "1,1,0,FALSE" + LineEnd());
}

TEST_F(DirectoryMode, JustHash) {
  WriteFile(Path("t/a.txt"), kContent);
  EXPECT_EQ(Out({"-d", "t", "-j"}), Lines{d::kFileSha256});
  EXPECT_EQ(Out({"--md5", "--sha1", "-d", "t", "-j"}), (Lines{d::kFileMd5, d::kFileSha1}));
  RunResult r = Run({"-d", "t", "-j", "-o", "out.txt"});
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "Writing \"out.txt\" ... Done" + LineEnd());
  EXPECT_EQ(ReadFile(Path("out.txt")), d::kFileSha256 + LineEnd());
}

TEST_F(DirectoryMode, FilesThatCannotBeRead) {
  if (OnWindows()) GTEST_SKIP() << "no /proc on Windows";
  // /proc/self/mem is a regular file whose first read fails: -j writes
  // nothing for it but counts it as an error with exit bit 1.
  RunResult r = Run({"-d", "/proc/self", "-j", "-c", "mem"});
  EXPECT_EQ(r.exitCode, 1) << r.err;
  EXPECT_EQ(OutputLines(r.out), Lines{"Success = 0   Unfiltered = 1   Error = 1"});
  r = Run({"-d", "/proc/self", "-c", "mem"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(OutputLines(r.out),
            (Lines{":::DENIED:::" + std::string(52, ':') + "  {File}  /proc/self/mem",
                   "Success = 0   Unfiltered = 1   Error = 1"}));
}

TEST_F(DirectoryMode, FolderArguments) {
  WriteFile(Path("a.txt"), kContent);
  WriteFile(Path("sub/b.txt"), kContent);
  const std::string here = platform::ResolvePath(dir_.path());
  const std::string inHere = here + platform::kPathSeparator;

  // No folder: the current folder, made absolute.
  EXPECT_EQ(Out({"-d"}), Lines{d::kFileSha256 + "  {File}  " + inHere + "a.txt"});
  RunResult r = Run({"--nb", "-d"});
  EXPECT_EQ(r.exitCode, 100);
  EXPECT_NE(r.err.find("ERROR: No directory name provided!"), std::string::npos) << r.err;

  EXPECT_EQ(Out({"-d", "."}), Lines{d::kFileSha256 + "  {File}  " + inHere + "a.txt"});
  r = Run({"-d", "sub/..", "*.none"});
  EXPECT_EQ(r.err, NothingFound(inHere, "*.none"));
  r = Run({"-d", "sub/../sub", "*.none"});
  EXPECT_EQ(r.err, NothingFound(inHere + "sub/", "*.none"));

  r = Run({"-d", "missing"});
  EXPECT_EQ(r.exitCode, 100);
  EXPECT_NE(r.err.find("ERROR: Could not access the directory: \"" + NativePath("missing/") + "\""),
            std::string::npos)
      << r.err;
  EXPECT_EQ(r.out, "");
}

TEST_F(DirectoryMode, TheRunsOwnOutputFileIsNotListed) {
  WriteFile(Path("t/a.txt"), kContent);
  EXPECT_EQ(Out({"-d", "t", "-f", "-o", "t/out.txt"}), Lines{});
  EXPECT_EQ(NamesAfterMarker(OutputLines(ReadFile(Path("t/out.txt")))), Lines{"a.txt"});
  // Named in another letter case, it is the same file where names ignore case.
  if (platform::kNamesIgnoreCase) {
    EXPECT_EQ(Out({"-d", "t", "-f", "-o", "T/OUT.TXT"}), Lines{});
    EXPECT_EQ(NamesAfterMarker(OutputLines(ReadFile(Path("t/out.txt")))), Lines{"a.txt"});
  }
}

TEST_F(DirectoryMode, LinksAreFollowedOnceAndFifosSkipped) {
  if (OnWindows()) GTEST_SKIP() << "Wine's symbolic links are stubs and Windows has no FIFOs";
  WriteFile(Path("t/a.txt"), kContent);
  WriteFile(Path("t/sub/b.txt"), kContent);
  std::filesystem::create_directory_symlink(platform::ResolvePath(Path("t")), Path("t/sub/loop"));
  ASSERT_TRUE(MakeFifo(Path("t/pipe")));
  Lines names = NamesAfterMarker(Out({"-d", "t", "-r", "-f"}));
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (Lines{"a.txt", "sub/b.txt"}));
}

// A signal to a child started by fork, and runs held to one processor
// through a POSIX shell and taskset.
#ifndef _WIN32

// Reads the child's standard output until `minBytes` arrived or it ends.
std::string ReadAtLeast(int fd, size_t minBytes) {
  std::string text;
  char buffer[4096];
  while (text.size() < minBytes) {
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0) break;
    text.append(buffer, static_cast<size_t>(n));
  }
  return text;
}

TEST_F(DirectoryMode, InterruptEndsTheWalkAndKeepsEveryWrittenLine) {
  constexpr int kFiles = 20000;
  for (int i = 0; i < kFiles; ++i) WriteFile(Path("t/f" + std::to_string(i) + ".txt"), kContent);

  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    dup2(pipeFds[1], 1);
    close(pipeFds[0]);
    close(pipeFds[1]);
    if (chdir(dir_.path().c_str()) != 0) _exit(99);
    execl(QuorvidBinary().c_str(), "quorvid", "-d", "t", "-f", "-t", "-o", "out.txt", nullptr);
    _exit(98);
  }
  close(pipeFds[1]);
  // The tee copy on standard output shows the walk has begun hashing, so the
  // interrupt handler is in place.
  std::string seen = ReadAtLeast(pipeFds[0], 1);
  ASSERT_FALSE(seen.empty());
  kill(child, SIGINT);
  seen += ReadAtLeast(pipeFds[0], SIZE_MAX);
  close(pipeFds[0]);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 252);

  Lines file = SplitLines(ReadFile(Path("out.txt")));
  ASSERT_GE(file.size(), 3u);
  EXPECT_LT(file.size(), static_cast<size_t>(kFiles));
  EXPECT_EQ(file.back(), "Processing Aborted...  ");
  EXPECT_EQ(file[file.size() - 2], "");
  for (size_t i = 0; i + 2 < file.size(); ++i)
    ASSERT_EQ(file[i].rfind(kListSha + "f", 0), 0u) << file[i];
  // Everything that reached the console also reached the file, in order.
  EXPECT_EQ(SplitLines(seen), file);
}

// Files hashed ahead on the other threads change nothing a run writes.
// A -g list's header names the second it was made: the two runs may fall on
// either side of a second.
std::string WithoutGenerationTime(const std::string& list) {
  std::string out;
  for (const std::string& line : SplitLines(list))
    if (line.rfind("; Generated on ", 0) != 0) out += line + "\n";
  return out;
}

// Runs the binary through the shell, optionally held to one processor.
RunResult RunShell(const std::vector<std::string>& args, bool oneProcessor,
                         const std::string& workDir) {
  std::string command = "cd '" + workDir + "' && TZ=UTC LC_ALL=C ";
  if (oneProcessor) command += "taskset -c 0 ";
  command += std::string("'") + QuorvidBinary() + "'";
  for (const std::string& a : args) command += " '" + a + "'";
  command += " > out.txt 2> err.txt";
  int status = std::system(command.c_str());
  RunResult r;
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.out = ReadFile(workDir + "/out.txt");
  r.err = ReadFile(workDir + "/err.txt");
  return r;
}

TEST(DirectoryModeOnAllCores, WritesWhatAOneProcessorRunWrites) {
  if (std::system("taskset -c 0 true > /dev/null 2>&1") != 0) GTEST_SKIP() << "no taskset";
  TempDir tree;
  TempDir work;
  const std::string root = tree / "data";
  for (int i = 0; i < 300; ++i) {
    std::string sub = root + "/d" + std::to_string(i % 7) + "/e" + std::to_string(i % 3);
    size_t size = (i * 131) % 5000;
    if (i % 50 == 0) size = 3 * 1024 * 1024 + static_cast<size_t>(i);  // large files too
    WriteFile(sub + "/f" + std::to_string(i) + (i % 4 == 0 ? ".log" : ".txt"),
                    PseudoRandomBytes(size, static_cast<uint32_t>(i)));
  }
  std::filesystem::create_directories(root + "/bad");
  // Entries that list as files but cannot be read, and a dangling link.
  std::filesystem::create_symlink("/proc/self/mem", root + "/bad/mem.txt");
  std::filesystem::create_symlink("/proc/self/mem", root + "/d3/e1/zz.txt");
  std::filesystem::create_symlink(root + "/gone", root + "/bad/dangling.txt");
  WriteFile(work / "exclude.txt", "d5/e2\n");

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
    RunResult one = RunShell(args, true, work.path());
    const std::string oneList = WithoutGenerationTime(ReadFile(work / "list.txt"));
    RunResult all = RunShell(args, false, work.path());
    EXPECT_EQ(all.exitCode, one.exitCode) << label;
    EXPECT_EQ(all.out, one.out) << label;
    EXPECT_EQ(all.err, one.err) << label;
    EXPECT_EQ(WithoutGenerationTime(ReadFile(work / "list.txt")), oneList) << label;
    EXPECT_GT(SplitLines(one.out + oneList).size(), 20u) << label;
  }
}

#endif  // _WIN32

}  // namespace
}  // namespace quorvid::test
