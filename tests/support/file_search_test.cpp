#include "support/file_search.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <gtest/gtest.h>

#include "platform/file_info.h"
#include "platform/folders.h"
#include "platform/path_rules.h"
#include "test_support.h"

namespace quorvid {
namespace {

namespace fs = std::filesystem;
using test::NativePath;
using test::TempDir;
using test::WriteFile;
using Paths = std::vector<std::string>;

constexpr char kSeparator = platform::kPathSeparator;

void MakeDir(const std::string& path) { ASSERT_TRUE(fs::create_directory(path)) << path; }
void Link(const std::string& target, const std::string& path) {
  std::error_code error;
  fs::create_symlink(target, path, error);
  ASSERT_FALSE(error) << path << ": " << error.message();
}

// Every name the walk reports, written as the system writes names.
Paths Native(Paths paths) {
  for (auto& p : paths) p = NativePath(p);
  return paths;
}

// The order the walk must produce, derived from the system's own enumeration:
// a folder's files first, then each subfolder in turn, depth first.
void ExpectedWalk(const std::string& folder, bool recurse, Paths& out) {
  std::vector<platform::FolderEntry> entries;
  platform::ReadFolder(folder, entries);
  for (const auto& e : entries)
    if (e.kind == platform::FileKind::Regular) out.push_back(folder + e.name);
  if (!recurse) return;
  for (const auto& e : entries)
    if (e.kind == platform::FileKind::Directory) ExpectedWalk(folder + e.name + kSeparator, true, out);
}

// A tree wide enough that the enumeration order differs from creation order.
void BuildTree(const TempDir& dir) {
  for (int i = 0; i < 12; ++i) WriteFile(dir / ("top" + std::to_string(i) + ".txt"), "t");
  WriteFile(dir / ".hidden.txt", "h");
  for (int s = 0; s < 5; ++s) {
    std::string sub = "sub" + std::to_string(s);
    for (int i = 0; i < 6; ++i) WriteFile(dir / (sub + "/f" + std::to_string(i) + ".dat"), "d");
    for (int n = 0; n < 3; ++n)
      WriteFile(dir / (sub + "/inner" + std::to_string(n) + "/leaf.txt"), "l");
  }
  WriteFile(dir / ".git/objects/pack.idx", "p");
  WriteFile(dir / "empty.d/.keep", "");
}

TEST(FileSearch, WalkFollowsEnumerationOrderDepthFirst) {
  TempDir dir;
  BuildTree(dir);
  const std::string start = NativePath(dir.path() + "/");

  Paths expected;
  ExpectedWalk(start, true, expected);
  TMatchingFiles found = ListMatchingFiles(dir.path(), "", true);
  ASSERT_TRUE(found.maskValid);
  EXPECT_EQ(found.files, expected);
  EXPECT_EQ(found.files.size(), 12u + 1 + 5 * (6 + 3) + 1 + 1);

  // The start folder's own files all come before anything from a subfolder.
  auto firstNested = std::find_if(found.files.begin(), found.files.end(), [&](const auto& p) {
    return p.find(kSeparator, start.size()) != std::string::npos;
  });
  EXPECT_EQ(firstNested - found.files.begin(), 13);
  // Hidden files and the contents of hidden folders take part.
  EXPECT_NE(std::find(found.files.begin(), found.files.end(), start + ".hidden.txt"),
            found.files.end());
  const std::string packed = start + NativePath(".git/objects/pack.idx");
  EXPECT_NE(std::find(found.files.begin(), found.files.end(), packed), found.files.end());

  Paths flat;
  ExpectedWalk(start, false, flat);
  EXPECT_EQ(ListMatchingFiles(dir.path(), "", false).files, flat);
}

TEST(FileSearch, MasksSelectFilesNeverFolders) {
  TempDir dir;
  BuildTree(dir);
  WriteFile(dir / "look.txt/inside.bin", "folder named like a match");
  const std::string start = NativePath(dir.path() + "/");

  Paths expected;
  ExpectedWalk(start, true, expected);
  std::erase_if(expected, [](const std::string& p) {
    return !(p.ends_with(".txt") || p.ends_with(".TXT"));
  });
  TMatchingFiles found = ListMatchingFiles(dir.path(), "*.TXT", true);
  EXPECT_EQ(found.files, expected);
  EXPECT_EQ(found.files.size(), 12u + 1 + 15);

  // Several masks: a file is listed once, in walk order, whichever mask takes it.
  Paths both;
  ExpectedWalk(start, true, both);
  std::erase_if(both, [](const std::string& p) {
    const size_t name = p.rfind(kSeparator) + 1;
    return p.compare(name, 4, "top1") != 0 && p.compare(name, 3, "f1.") != 0;
  });
  EXPECT_EQ(ListMatchingFiles(dir.path(), "top1*;f1.*;top1?.txt", true).files, both);
}

TEST(FileSearch, LinksAreFollowedButNeverBackIntoTheWalk) {
  if (test::OnWindows()) GTEST_SKIP() << "Wine's symbolic links are stubs";
  TempDir dir, outside;
  WriteFile(dir / "a.txt", "a");
  WriteFile(dir / "sub/b.txt", "b");
  WriteFile(outside / "o.txt", "o");
  WriteFile(dir / "real.txt", "r");
  Link(dir.path(), dir / "sub/back");          // to the start folder
  Link(dir / "sub", dir / "alias");            // to a folder inside the tree
  Link(outside.path(), dir / "sub/ext");       // elsewhere: entered
  Link(dir.path(), outside / "loop");          // and from there back again
  Link(dir / "real.txt", dir / "file_link.txt");  // a linked file is listed
  Link(dir / "gone", dir / "dangling.txt");

  TMatchingFiles found = ListMatchingFiles(dir.path(), "*", true);
  Paths sorted = found.files;
  std::sort(sorted.begin(), sorted.end());
  const std::string s = dir.path() + "/";
  EXPECT_EQ(sorted, (Paths{s + "a.txt", s + "file_link.txt", s + "real.txt", s + "sub/b.txt",
                           s + "sub/ext/o.txt"}));

  // Without following links only the real folders are walked.
  TFileSearcher searcher;
  searcher.followLinks = false;
  Paths noLinks;
  searcher.Search(dir.path(), "*", true, [&](const std::string& p) {
    noLinks.push_back(p);
    return true;
  });
  EXPECT_EQ(std::count(noLinks.begin(), noLinks.end(), s + "sub/ext/o.txt"), 0);
  EXPECT_EQ(noLinks.size(), 4u);

  // A link to a start folder, itself a start folder, names the same folder.
  EXPECT_EQ(ListMatchingFiles(s + "sub;" + s + "alias", "*", false).files, (Paths{s + "sub/b.txt"}));
}

TEST(FileSearch, SpecialFilesAreSkippedWithoutBeingOpened) {
  if (test::OnWindows()) GTEST_SKIP() << "no FIFOs or devices in a folder on Windows";
  TempDir dir;
  WriteFile(dir / "plain.txt", "p");
  ASSERT_TRUE(test::MakeFifo(dir / "pipe.txt"));
  Link(dir / "pipe.txt", dir / "pipe_link.txt");
  Link("/dev/null", dir / "null.txt");
  MakeDir(dir / "deep");
  ASSERT_TRUE(test::MakeFifo(dir / "deep/fifo"));

  // Opening a FIFO with no writer would block this test for ever.
  TMatchingFiles found = ListMatchingFiles(dir.path(), "", true);
  EXPECT_EQ(found.files, (Paths{dir / "plain.txt"}));
}

TEST(FileSearch, StartFoldersAreWalkedOnce) {
  TempDir dir;
  WriteFile(dir / "a.txt", "a");
  WriteFile(dir / "sub/b.txt", "b");
  const std::string d = dir.path();
  const Paths both = Native({d + "/a.txt", d + "/sub/b.txt"});

  EXPECT_EQ(ListMatchingFiles(d + ";" + d + "//;" + d + "/sub/..", "", true).files, both);
  // With subfolders a folder inside another start folder is dropped, whichever comes first.
  EXPECT_EQ(ListMatchingFiles(d + "/sub;" + d, "", true).files, both);
  EXPECT_EQ(ListMatchingFiles(d + ";" + d + "/sub", "", true).files, both);
  // Without subfolders both are searched, in the order given.
  EXPECT_EQ(ListMatchingFiles(d + "/sub;" + d, "", false).files,
            Native({d + "/sub/b.txt", d + "/a.txt"}));
  // Another letter case names the same folder where names ignore case, and
  // no folder at all where they do not: either way a.txt comes once.
  std::string shouted = d;
  for (size_t i = platform::LastNameStart(d); i < shouted.size(); ++i)
    shouted[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(shouted[i])));
  EXPECT_EQ(ListMatchingFiles(d + ";" + shouted, "", false).files, Native({d + "/a.txt"}));
  // A folder name holding the path separator is whole when splitting is off.
  WriteFile(dir / "x;y/c.txt", "c");
  EXPECT_EQ(ListMatchingFiles(d + "/x;y", "", false, {}, ';', '\0').files,
            Native({d + "/x;y/c.txt"}));
  EXPECT_EQ(StartFolders(";;", ';', true), (Paths{""}));
  EXPECT_EQ(StartFolders("/", ';', false), (Paths{NativePath("/")}));
}

TEST(FileSearch, StartFolderTextIsCleaned) {
  TempDir dir;
  WriteFile(dir / "sub/a.txt", "a");
  WriteFile(dir / "top.txt", "t");
  std::string saved = platform::CurrentDirectory();
  ASSERT_TRUE(platform::ChangeCurrentDirectory(dir.path()));
  Paths relative = ListMatchingFiles("sub//", "", true).files;
  Paths dotted = ListMatchingFiles("./sub", "", true).files;
  Paths doubled = ListMatchingFiles(".//sub/./", "", true).files;
  Paths back = ListMatchingFiles("sub/../sub", "", true).files;
  Paths current = ListMatchingFiles("", "*.txt", false).files;
  Paths dot = ListMatchingFiles(".", "*.txt", false).files;
  platform::ChangeCurrentDirectory(saved);
  const Paths inSub = Native({"sub/a.txt"});
  EXPECT_EQ(relative, inSub);
  EXPECT_EQ(dotted, inSub);
  EXPECT_EQ(doubled, inSub);
  EXPECT_EQ(back, inSub);
  EXPECT_EQ(current, (Paths{"top.txt"}));
  EXPECT_EQ(dot, (Paths{"top.txt"}));
  EXPECT_EQ(StartFolders(dir.path() + "//sub/../x//", ';', false),
            Native({dir.path() + "/x/"}));
  EXPECT_EQ(StartFolders("/..//tmp", ';', false), Native({"/tmp/"}));
  EXPECT_EQ(StartFolders("../up", ';', false), Native({"../up/"}));
}

TEST(FileSearch, ExcludedFilesAreNeverListed) {
  TempDir dir;
  WriteFile(dir / "data.txt", "d");
  WriteFile(dir / "out.txt", "o");
  fs::create_hard_link(dir / "out.txt", dir / "out_again.txt");
  std::optional<TFileIdentity> out = FileIdentityOf(dir / "out.txt");
  ASSERT_TRUE(out.has_value());
  EXPECT_FALSE(FileIdentityOf(dir / "missing").has_value());
  EXPECT_EQ(ListMatchingFiles(dir.path(), "*.txt", false, {*out}).files,
            Native({dir / "data.txt"}));
}

TEST(FileSearch, InvalidMaskWalksNothing) {
  TempDir dir;
  WriteFile(dir / "a.txt", "a");
  TMatchingFiles found = ListMatchingFiles(dir.path(), "*.txt;[abc", true);
  EXPECT_FALSE(found.maskValid);
  EXPECT_TRUE(found.files.empty());
  EXPECT_EQ(found.errorText, "Missing closing character \"]\" in mask (offset 4).");
  EXPECT_EQ(found.errorOffset, 4);

  TFileSearcher searcher;
  int calls = 0;
  TSearchResult result = searcher.Search(dir.path(), "a[]", false, [&](const std::string&) {
    ++calls;
    return true;
  });
  EXPECT_EQ(result.status, TSearchStatus::InvalidMask);
  EXPECT_EQ(result.errorText, "Invalid character \"]\" in mask (offset 3).");
  EXPECT_EQ(calls, 0);
  EXPECT_FALSE(searcher.Searching());
}

TEST(FileSearch, StreamingWalkCanStopAndRefusesToNest) {
  TempDir dir;
  BuildTree(dir);
  Paths all = ListMatchingFiles(dir.path(), "", true).files;

  TFileSearcher searcher;
  Paths seen;
  std::vector<int32_t> levels;
  TSearchResult nested;
  TSearchResult result = searcher.Search(dir.path(), "", true, [&](const std::string& path) {
    seen.push_back(path);
    levels.push_back(searcher.Level());
    EXPECT_TRUE(path.starts_with(searcher.CurrentFolder()));
    if (seen.size() == 1)
      nested = searcher.Search(dir.path(), "", true, [](const std::string&) { return true; });
    return seen.size() < 20;
  });
  EXPECT_EQ(result.status, TSearchStatus::Stopped);
  EXPECT_EQ(nested.status, TSearchStatus::AlreadySearching);
  EXPECT_EQ(nested.errorText, "The file searcher is already searching!");
  EXPECT_EQ(seen, Paths(all.begin(), all.begin() + 20));
  EXPECT_EQ(levels.front(), 0);
  EXPECT_GT(*std::max_element(levels.begin(), levels.end()), 0);
  EXPECT_FALSE(searcher.Searching());

  // The same searcher runs again once the first walk is over.
  Paths again;
  result = searcher.Search(dir.path(), "", true, [&](const std::string& p) {
    again.push_back(p);
    return true;
  });
  EXPECT_EQ(result.status, TSearchStatus::Completed);
  EXPECT_EQ(again, all);
}

TEST(FileSearch, MissingStartFolderContributesNothing) {
  TempDir dir;
  WriteFile(dir / "a.txt", "a");
  EXPECT_EQ(ListMatchingFiles(dir / "missing;" + dir.path(), "", true).files,
            Native({dir / "a.txt"}));
}

}  // namespace
}  // namespace quorvid
