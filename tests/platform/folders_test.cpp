#include "platform/folders.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <gtest/gtest.h>

#include "test_support.h"

namespace quorvid::platform {
namespace {

using test::TempDir;
using test::WriteFile;

std::vector<std::string> ReaddirNames(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return names;
  while (const dirent* item = ::readdir(dir))
    if (std::strcmp(item->d_name, ".") != 0 && std::strcmp(item->d_name, "..") != 0)
      names.push_back(item->d_name);
  ::closedir(dir);
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
  ASSERT_EQ(::mkdir((dir / "sub").c_str(), 0755), 0);
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0644), 0);
  ASSERT_EQ(::symlink("f1", (dir / "to_file").c_str()), 0);
  ASSERT_EQ(::symlink("sub", (dir / "to_sub").c_str()), 0);
  ASSERT_EQ(::symlink("nowhere", (dir / "dangling").c_str()), 0);

  std::vector<FolderEntry> entries;
  ASSERT_TRUE(ReadFolder(dir.path(), entries));
  std::vector<std::string> names;
  for (const auto& entry : entries) names.push_back(entry.name);
  EXPECT_EQ(names, ReaddirNames(dir.path()));
  EXPECT_EQ(names.size(), 46u);

  EXPECT_EQ(Find(entries, ".hidden")->kind, FileKind::Regular);
  EXPECT_EQ(Find(entries, "sub")->kind, FileKind::Directory);
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

  // Without file identities: the same kinds, and only plain files go
  // unlooked-at; folders and links keep the identity the loop guard needs.
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
  EXPECT_EQ(Find(quick, "to_file")->inode, Find(entries, "f1")->inode);
}

TEST(Folders, RelativeAndCurrentFolder) {
  TempDir dir;
  WriteFile(dir / "sub/one", "1");
  std::string saved = CurrentDirectory();
  ASSERT_TRUE(ChangeCurrentDirectory(dir.path()));
  std::vector<FolderEntry> here, sub;
  bool readHere = ReadFolder("", here);
  bool readSub = ReadFolder("sub/", sub);
  ChangeCurrentDirectory(saved);
  ASSERT_TRUE(readHere);
  ASSERT_EQ(here.size(), 1u);
  EXPECT_EQ(here[0].name, "sub");
  ASSERT_TRUE(readSub);
  ASSERT_EQ(sub.size(), 1u);
  EXPECT_EQ(sub[0].name, "one");
}

TEST(Folders, UnreadableFolderGivesFalse) {
  TempDir dir;
  WriteFile(dir / "file", "x");
  std::vector<FolderEntry> entries{FolderEntry{}};
  EXPECT_FALSE(ReadFolder(dir / "missing", entries));
  EXPECT_TRUE(entries.empty());
  EXPECT_FALSE(ReadFolder(dir / "file", entries));
}

TEST(Folders, ResolvePathFollowsLinks) {
  TempDir dir;
  WriteFile(dir / "real/file", "x");
  ASSERT_EQ(::symlink((dir / "real").c_str(), (dir / "link").c_str()), 0);
  std::string real = ResolvePath(dir / "real");
  ASSERT_FALSE(real.empty());
  EXPECT_EQ(real[0], '/');
  EXPECT_EQ(ResolvePath(dir / "link"), real);
  EXPECT_EQ(ResolvePath(dir / "link/../real/file"), real + "/file");
  EXPECT_EQ(ResolvePath(dir / "missing"), "");
}

}  // namespace
}  // namespace quorvid::platform
