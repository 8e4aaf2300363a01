// Folder names, masks from the command line, exclusions and relative names.
#include <gtest/gtest.h>

#include "modes/directory_mode.h"
#include "platform/file_info.h"
#include "support/wildcard_mask.h"
#include "test_support.h"

namespace quorvid {
namespace {

// Keeps the test process's current folder as it was.
class CurrentFolderGuard {
 public:
  CurrentFolderGuard() : saved_(platform::CurrentDirectory()) {}
  ~CurrentFolderGuard() { platform::SetCurrentDirectory(saved_); }

 private:
  std::string saved_;
};

TEST(NormalizeDirName, TrailingCleanUp) {
  EXPECT_EQ(NormalizeDirName(""), "");
  EXPECT_EQ(NormalizeDirName("/"), "/");
  EXPECT_EQ(NormalizeDirName("//"), "/");
  EXPECT_EQ(NormalizeDirName("/*"), "/");
  EXPECT_EQ(NormalizeDirName("///"), "/");
  EXPECT_EQ(NormalizeDirName("/data"), "/data/");
  EXPECT_EQ(NormalizeDirName("/data//"), "/data/");
  EXPECT_EQ(NormalizeDirName("/data/*"), "/data/");
  EXPECT_EQ(NormalizeDirName("/data/./"), "/data/");
  EXPECT_EQ(NormalizeDirName("sub"), "sub/");
  // Dots and spaces that end a name belong to it.
  EXPECT_EQ(NormalizeDirName("/data."), "/data./");
  EXPECT_EQ(NormalizeDirName("/data "), "/data /");
  EXPECT_EQ(NormalizeDirName("*"), "");
}

TEST(NormalizeDirName, DotsBecomeAbsolute) {
  CurrentFolderGuard guard;
  test::TempDir dir;
  test::WriteFile(dir / "a/b/x", "");
  const std::string base = platform::ExpandFileName(dir.path());
  ASSERT_TRUE(platform::SetCurrentDirectory(base + "/a/b"));
  const std::string here = platform::CurrentDirectory();
  EXPECT_EQ(NormalizeDirName("."), here + "/");
  EXPECT_EQ(NormalizeDirName("./"), here + "/");
  // ".." and "/.." change the current folder, which stays changed.
  EXPECT_EQ(NormalizeDirName(".."), platform::ExpandFileName(here + "/..") + "/");
  EXPECT_EQ(platform::CurrentDirectory(), platform::ExpandFileName(here + "/.."));
  EXPECT_EQ(NormalizeDirName(base + "/a/b/.."), platform::CurrentDirectory() + "/");
  EXPECT_EQ(NormalizeDirName("b/.."), platform::CurrentDirectory() + "/");
  // A name that cannot be entered is left as it is.
  EXPECT_EQ(NormalizeDirName("missing/.."), "missing/../");
}

TEST(MaskText, FromOutsideList) {
  EXPECT_EQ(MaskTextFromOutsideList(""), "*");
  EXPECT_EQ(MaskTextFromOutsideList("*.EXE *.DLL "), "*.EXE;*.DLL");
  EXPECT_EQ(MaskTextFromOutsideList("\"my file*.txt\" a?.c "), "my file*.txt;a?.c");
  EXPECT_EQ(MaskTextFromOutsideList("\"a;b\" "), "a;b");
  EXPECT_EQ(MaskTextFromOutsideList("   "), "*");
}

TEST(Exclusions, CaseInsensitiveSubstringOfTheFullPath) {
  std::vector<std::string> list = {LowerCaseUtf8("/TEMP/"), "", LowerCaseUtf8("LOG")};
  EXPECT_TRUE(IsExcludedPath("/data/Temp/a.txt", list));
  EXPECT_TRUE(IsExcludedPath("/data/Catalog.txt", list));
  EXPECT_FALSE(IsExcludedPath("/data/temporary/a.txt", list));
  // An empty line never matches.
  EXPECT_FALSE(IsExcludedPath("/data/a.txt", {""}));
  EXPECT_FALSE(IsExcludedPath("/data/a.txt", {}));
  EXPECT_TRUE(IsExcludedPath("/data/ÄRGER/a.txt", {LowerCaseUtf8("Ärger")}));
}

TEST(RelativeDisplayName, FolderRemovedOnceAsLeadingPrefix) {
  EXPECT_EQ(RelativeDisplayName("/data/sub/a.txt", "/data/"), "sub/a.txt");
  EXPECT_EQ(RelativeDisplayName("/data/data/data/a.txt", "/data/"), "data/data/a.txt");
  EXPECT_EQ(RelativeDisplayName("/DATA/x.txt", "/data/"), "x.txt");
  EXPECT_EQ(RelativeDisplayName("/other/data/a.txt", "/data/"), "/other/data/a.txt");
  EXPECT_EQ(RelativeDisplayName("t/t/x.txt", "t/"), "t/x.txt");
}

}  // namespace
}  // namespace quorvid
