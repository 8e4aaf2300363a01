// Folder names from the command line, the folder a list is checked from,
// and the names a list gives.
#include "modes/folder_check.h"

#include <gtest/gtest.h>

#include "output/run_stop.h"
#include "platform/file_info.h"
#include "test_support.h"

namespace quorvid {
namespace {

// Keeps the test process's current folder as it was.
class CurrentFolderGuard {
 public:
  CurrentFolderGuard() : saved_(platform::CurrentDirectory()) {}
  ~CurrentFolderGuard() { platform::ChangeCurrentDirectory(saved_); }

 private:
  std::string saved_;
};

TEST(NormalizeDirName, TrailingCleanUp) {
  // Written with "/" here; the system's own separator comes back.
  using test::NativePath;
  EXPECT_EQ(NormalizeDirName(""), "");
  EXPECT_EQ(NormalizeDirName("/"), NativePath("/"));
  EXPECT_EQ(NormalizeDirName("//"), NativePath("/"));
  EXPECT_EQ(NormalizeDirName("/*"), NativePath("/"));
  // Two separators begin a network name on Windows.
  if (!test::OnWindows()) {
    EXPECT_EQ(NormalizeDirName("///"), NativePath("/"));
  }
  EXPECT_EQ(NormalizeDirName("/data"), NativePath("/data/"));
  EXPECT_EQ(NormalizeDirName("/data//"), NativePath("/data/"));
  EXPECT_EQ(NormalizeDirName("/data/*"), NativePath("/data/"));
  EXPECT_EQ(NormalizeDirName("/data/./"), NativePath("/data/"));
  EXPECT_EQ(NormalizeDirName("sub"), NativePath("sub/"));
  EXPECT_EQ(NormalizeDirName("*"), "");
  // Dots and spaces that end a name belong to it on POSIX; Windows drops them.
  const std::string kept = test::OnWindows() ? "/data/" : "/data./";
  EXPECT_EQ(NormalizeDirName("/data."), NativePath(kept));
  EXPECT_EQ(NormalizeDirName("/data "), NativePath(test::OnWindows() ? "/data/" : "/data /"));
}

TEST(NormalizeDirName, DotsBecomeAbsolute) {
  CurrentFolderGuard guard;
  test::TempDir dir;
  test::WriteFile(dir / "a/b/x", "");
  const std::string base = platform::ExpandFileName(dir.path());
  ASSERT_TRUE(platform::ChangeCurrentDirectory(base + "/a/b"));
  const std::string here = platform::CurrentDirectory();
  const auto folder = [](const std::string& name) { return test::NativePath(name + "/"); };
  EXPECT_EQ(NormalizeDirName("."), folder(here));
  EXPECT_EQ(NormalizeDirName("./"), folder(here));
  // ".." and "/.." change the current folder, which stays changed.
  EXPECT_EQ(NormalizeDirName(".."), folder(platform::ExpandFileName(here + "/..")));
  EXPECT_EQ(platform::CurrentDirectory(), platform::ExpandFileName(here + "/.."));
  EXPECT_EQ(NormalizeDirName(base + "/a/b/.."), folder(platform::CurrentDirectory()));
  EXPECT_EQ(NormalizeDirName("b/.."), folder(platform::CurrentDirectory()));
  // A name that cannot be entered is left as it is; Windows resolves ".."
  // before it looks, so there the name is entered.
  EXPECT_EQ(NormalizeDirName("missing/.."),
            test::OnWindows() ? folder(platform::CurrentDirectory()) : "missing/../");
}

TEST(CleanFolderEnd, BothSystems) {
  using platform::kPosixRules;
  using platform::kWindowsRules;
  EXPECT_EQ(CleanFolderEnd("/data/./*", kPosixRules), "/data/");
  EXPECT_EQ(CleanFolderEnd("/data. ", kPosixRules), "/data. /");
  EXPECT_EQ(CleanFolderEnd("/*", kPosixRules), "/");
  EXPECT_EQ(CleanFolderEnd("C:\\Data\\.\\", kWindowsRules), "C:\\Data\\");
  // Windows drops the dots and spaces that end a name.
  EXPECT_EQ(CleanFolderEnd("C:\\Data. .", kWindowsRules), "C:\\Data\\");
  EXPECT_EQ(CleanFolderEnd("C:\\*", kWindowsRules), "C:\\");
  EXPECT_EQ(CleanFolderEnd("C:", kWindowsRules), "C:\\");
  EXPECT_EQ(CleanFolderEnd("\\\\server\\share\\", kWindowsRules), "\\\\server\\share\\");
  EXPECT_EQ(CleanFolderEnd("sub\\", kWindowsRules), "sub\\");
  EXPECT_EQ(CleanFolderEnd("..", kWindowsRules), "");
  EXPECT_EQ(CleanFolderEnd("", kWindowsRules), "");
}

TEST(CurrentFolderScope, EntersAndAlwaysComesBack) {
  CurrentFolderGuard guard;
  test::TempDir dir;
  const std::string before = platform::CurrentDirectory();
  {
    CurrentFolderScope scope(dir.path());
    EXPECT_EQ(platform::CurrentDirectory(), platform::ExpandFileName(dir.path()));
  }
  EXPECT_EQ(platform::CurrentDirectory(), before);
  // A stop inside the scope still brings the folder back.
  try {
    CurrentFolderScope scope(dir.path());
    StopRun(2);
  } catch (const TRunStop&) {
  }
  EXPECT_EQ(platform::CurrentDirectory(), before);
  // "" leaves the folder alone; a folder that cannot be entered stops the run.
  { CurrentFolderScope scope(""); }
  EXPECT_EQ(platform::CurrentDirectory(), before);
  try {
    CurrentFolderScope scope(dir / "missing");
    ADD_FAILURE() << "no stop";
  } catch (const TRunStop& stop) {
    EXPECT_EQ(stop.exitCode, 100);
    EXPECT_EQ(stop.message, "ERROR: Could not access the directory: \"" + (dir / "missing") + "\"");
  }
  EXPECT_EQ(platform::CurrentDirectory(), before);
}

TEST(CheckDirectory, BlankNamesAndMissingFolders) {
  CurrentFolderGuard guard;
  RunSettings settings;
  settings.ExitCode = 7;
  std::string blank;
  CheckDirectory(settings, blank, 100, true);
  EXPECT_EQ(blank, NormalizeDirName(platform::CurrentDirectory()));
  EXPECT_EQ(settings.ExitCode, 0);
  const auto stopOf = [&](std::string name, bool allowBlank) {
    try {
      CheckDirectory(settings, name, 100, allowBlank);
    } catch (const TRunStop& stop) {
      EXPECT_EQ(stop.exitCode, 100);
      return stop.message;
    }
    return std::string("no stop");
  };
  EXPECT_EQ(stopOf("", false), "ERROR: No directory name provided!");
  EXPECT_EQ(stopOf("/no/such/folder/", true),
            "ERROR: Could not access the directory: \"/no/such/folder/\"");
}

}  // namespace
}  // namespace quorvid
