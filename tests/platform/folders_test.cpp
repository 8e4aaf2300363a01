#include "platform/folders.h"

#include <filesystem>
#include <gtest/gtest.h>

#include "platform/path_rules.h"
#include "test_support.h"

namespace quorvid::platform {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::WriteFile;

fs::path PathOf(const std::string& utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

// The system's own enumeration through the standard library: readdir on
// POSIX, FindFirstFile on Windows.
std::vector<std::string> ListedNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& item : fs::directory_iterator(PathOf(folder))) {
    const std::u8string name = item.path().filename().u8string();
    names.emplace_back(name.begin(), name.end());
  }
  return names;
}

const FolderEntry* Find(const std::vector<FolderEntry>& entries, const std::string& name) {
  for (const auto& entry : entries)
    if (entry.name == name) return &entry;
  return nullptr;
}

TEST(Folders, EntriesComeInEnumerationOrderWithTheirKinds) {
  TempDir dir;
  for (int i = 0; i < 40; ++i) WriteFile(dir / ("f" + std::to_string(i)), "x");
  WriteFile(dir / ".hidden", "h");
  WriteFile(dir / "caf\xC3\xA9", "u");
  ASSERT_TRUE(fs::create_directory(PathOf(dir / "sub")));

  std::vector<FolderEntry> entries;
  ASSERT_TRUE(ReadFolder(dir.path(), entries));
  std::vector<std::string> names;
  for (const auto& entry : entries) names.push_back(entry.name);
  EXPECT_EQ(names, ListedNames(dir.path()));
  EXPECT_EQ(names.size(), 43u);

  ASSERT_NE(Find(entries, "caf\xC3\xA9"), nullptr);  // names come back as UTF-8
  EXPECT_EQ(Find(entries, ".hidden")->kind, FileKind::Regular);
  EXPECT_EQ(Find(entries, "sub")->kind, FileKind::Directory);
  EXPECT_FALSE(Find(entries, "sub")->isLink);
  // Each entry carries the identity the status of its name gives.
  for (const char* name : {"f1", "sub"}) {
    const FileStatus status = StatPath(dir / name);
    EXPECT_EQ(Find(entries, name)->inode, status.inode) << name;
    EXPECT_EQ(Find(entries, name)->device, status.device) << name;
  }
  EXPECT_NE(Find(entries, "f1")->inode, Find(entries, "f2")->inode);

  // Without file identities: the same kinds, and only plain files go
  // unlooked-at; folders keep the identity the loop guard needs.
  std::vector<FolderEntry> quick;
  ASSERT_TRUE(ReadFolder(dir.path(), quick, false));
  ASSERT_EQ(quick.size(), entries.size());
  for (size_t i = 0; i < quick.size(); ++i) {
    EXPECT_EQ(quick[i].name, entries[i].name);
    EXPECT_EQ(quick[i].kind, entries[i].kind) << quick[i].name;
    EXPECT_EQ(quick[i].isLink, entries[i].isLink) << quick[i].name;
  }
  EXPECT_EQ(Find(quick, "f1")->inode, 0u);
  EXPECT_EQ(Find(quick, "sub")->inode, Find(entries, "sub")->inode);
}

TEST(Folders, LinksAndFifosAreLookedAtNeverOpened) {
  if (test::OnWindows()) GTEST_SKIP() << "Wine's symbolic links are stubs and Windows has no FIFOs";
  TempDir dir;
  WriteFile(dir / "f1", "x");
  ASSERT_TRUE(fs::create_directory(dir / "sub"));
  ASSERT_TRUE(test::MakeFifo(dir / "pipe"));
  fs::create_symlink("f1", dir / "to_file");
  fs::create_directory_symlink("sub", dir / "to_sub");
  fs::create_symlink("nowhere", dir / "dangling");

  std::vector<FolderEntry> entries;
  ASSERT_TRUE(ReadFolder(dir.path(), entries));
  EXPECT_EQ(entries.size(), 6u);
  EXPECT_EQ(Find(entries, "pipe")->kind, FileKind::Other);  // looked at, never opened
  const FolderEntry* toFile = Find(entries, "to_file");
  EXPECT_EQ(toFile->kind, FileKind::Regular);
  EXPECT_TRUE(toFile->isLink);
  EXPECT_EQ(toFile->inode, Find(entries, "f1")->inode);
  EXPECT_FALSE(Find(entries, "f1")->isLink);
  const FolderEntry* toSub = Find(entries, "to_sub");
  EXPECT_EQ(toSub->kind, FileKind::Directory);
  EXPECT_TRUE(toSub->isLink);
  EXPECT_EQ(toSub->inode, Find(entries, "sub")->inode);
  EXPECT_EQ(Find(entries, "dangling")->kind, FileKind::Missing);
  EXPECT_TRUE(Find(entries, "dangling")->isLink);

  // Links keep their identity without file identities too.
  std::vector<FolderEntry> quick;
  ASSERT_TRUE(ReadFolder(dir.path(), quick, false));
  EXPECT_EQ(Find(quick, "to_file")->inode, Find(entries, "f1")->inode);
  EXPECT_EQ(Find(quick, "pipe")->kind, FileKind::Other);
}

TEST(Folders, RelativeAndCurrentFolder) {
  TempDir dir;
  WriteFile(dir / "sub/one", "1");
  std::string saved = CurrentDirectory();
  ASSERT_TRUE(ChangeCurrentDirectory(dir.path()));
  std::vector<FolderEntry> here, sub, native;
  bool readHere = ReadFolder("", here);
  bool readSub = ReadFolder("sub/", sub);
  bool readNative = ReadFolder(std::string("sub") + kPathSeparator, native);
  ChangeCurrentDirectory(saved);
  ASSERT_TRUE(readHere);
  ASSERT_EQ(here.size(), 1u);
  EXPECT_EQ(here[0].name, "sub");
  ASSERT_TRUE(readSub);
  ASSERT_EQ(sub.size(), 1u);
  EXPECT_EQ(sub[0].name, "one");
  ASSERT_TRUE(readNative);
  ASSERT_EQ(native.size(), 1u);
  EXPECT_EQ(native[0].name, "one");
}

TEST(Folders, UnreadableFolderGivesFalse) {
  TempDir dir;
  WriteFile(dir / "file", "x");
  std::vector<FolderEntry> entries{FolderEntry{}};
  EXPECT_FALSE(ReadFolder(dir / "missing", entries));
  EXPECT_TRUE(entries.empty());
  EXPECT_FALSE(ReadFolder(dir / "file", entries));
  // An empty folder is read, and gives nothing.
  ASSERT_TRUE(fs::create_directory(PathOf(dir / "empty")));
  entries.assign(1, FolderEntry{});
  EXPECT_TRUE(ReadFolder(dir / "empty", entries));
  EXPECT_TRUE(entries.empty());
}

TEST(Folders, ResolvePathGivesTheAbsoluteName) {
  TempDir dir;
  WriteFile(dir / "real/file", "x");
  std::string real = ResolvePath(dir / "real");
  ASSERT_FALSE(real.empty());
  EXPECT_GT(RootLength(real), 0u) << real;
  EXPECT_EQ(ResolvePath(dir / "real/../real/file"), real + kPathSeparator + "file");
  EXPECT_EQ(ResolvePath(dir / "missing"), "");
  // A relative name resolves against the current folder.
  std::string saved = CurrentDirectory();
  ASSERT_TRUE(ChangeCurrentDirectory(dir.path()));
  const std::string relative = ResolvePath("real/file");
  const std::string current = ResolvePath("");
  ChangeCurrentDirectory(saved);
  EXPECT_EQ(relative, real + kPathSeparator + "file");
  EXPECT_EQ(current + kPathSeparator + "real", real);
}

TEST(Folders, ResolvePathFollowsLinks) {
  if (test::OnWindows()) GTEST_SKIP() << "Wine's symbolic links are stubs";
  TempDir dir;
  WriteFile(dir / "real/file", "x");
  fs::create_directory_symlink(dir / "real", dir / "link");
  std::string real = ResolvePath(dir / "real");
  ASSERT_FALSE(real.empty());
  EXPECT_EQ(ResolvePath(dir / "link"), real);
  EXPECT_EQ(ResolvePath(dir / "link/../real/file"), real + "/file");
}

}  // namespace
}  // namespace quorvid::platform
