#include "support/file_search.h"

#include <algorithm>
#include <set>
#include <utility>

#include "platform/file_info.h"
#include "platform/folders.h"
#include "platform/path_rules.h"
#include "support/wildcard_mask.h"

namespace quorvid {
namespace {

constexpr const char* kAlreadySearching = "The file searcher is already searching!";
constexpr char kSeparator = platform::kPathSeparator;

// True when `inner` names a folder strictly below `outer` (both absolute
// keys: a root, or a name without a trailing separator).
bool LiesInside(const std::string& inner, const std::string& outer) {
  const bool root = platform::RootLength(outer) == outer.size();
  const size_t prefix = outer.size();
  return inner.size() > prefix + (root ? 0 : 1) &&
         platform::SameNameText(std::string_view(inner).substr(0, prefix), outer) &&
         (root || inner[prefix] == kSeparator);
}

// The absolute, link-free name used to compare start folders; a folder that
// cannot be resolved is compared by its absolute text. Names that differ in
// letter case only are the same folder where the system says so.
std::string FolderKey(const std::string& folder) {
  std::string key = platform::ResolvePath(folder);
  if (key.empty()) key = platform::ExpandFileName(folder);
  key = platform::NativeSeparators(std::move(key));
  while (key.size() > platform::RootLength(key) && key.back() == kSeparator) key.pop_back();
  return key;
}

// A start folder as the walk names it: repeated separators collapse into
// one, "." components go and ".." components take the one before them with
// them; a ".." that has nothing before it stays in a relative name and goes
// at the root. "" when nothing is left of a relative name but ".".
std::string CleanFolderText(const std::string& text) {
  const size_t rootLength = platform::RootLength(text);
  const bool absolute = rootLength > 0;
  std::vector<std::string> parts;
  size_t pos = rootLength;
  while (pos <= text.size()) {
    size_t end = pos;
    while (end < text.size() && !platform::IsPathSeparator(text[end])) ++end;
    std::string part = text.substr(pos, end - pos);
    pos = end + 1;
    if (part.empty() || part == ".") continue;
    if (part == ".." && !parts.empty() && parts.back() != "..") {
      parts.pop_back();
    } else if (part != ".." || !absolute) {
      parts.push_back(std::move(part));
    }
  }
  std::string clean = platform::NativeSeparators(text.substr(0, rootLength));
  for (const std::string& part : parts) {
    if (!clean.empty() && clean.back() != kSeparator && clean.back() != ':') clean += kSeparator;
    clean += part;
  }
  return clean;
}

}  // namespace

std::optional<TFileIdentity> FileIdentityOf(const std::string& path) {
  platform::FileStatus status = platform::StatPath(path);
  if (status.kind == platform::FileKind::Missing) return std::nullopt;
  return TFileIdentity{status.device, status.inode};
}

std::vector<std::string> StartFolders(const std::string& searchPath, char pathSeparator,
                                      bool searchSubDirs) {
  struct Start {
    std::string text;
    std::string key;
  };
  std::vector<Start> collected;
  size_t pos = 0;
  while (pos <= searchPath.size()) {
    size_t end = pathSeparator == '\0' ? std::string::npos : searchPath.find(pathSeparator, pos);
    if (end == std::string::npos) end = searchPath.size();
    std::string text = CleanFolderText(searchPath.substr(pos, end - pos));
    pos = end + 1;
    if (text.empty()) continue;

    std::string key = FolderKey(text);
    bool duplicate = false;
    for (auto it = collected.rbegin(); it != collected.rend() && !duplicate; ++it)
      duplicate = key == it->key || (searchSubDirs && LiesInside(key, it->key));
    if (duplicate) continue;
    if (searchSubDirs)
      std::erase_if(collected, [&](const Start& s) { return LiesInside(s.key, key); });
    collected.push_back({text, key});
  }

  std::vector<std::string> folders;
  for (auto& start : collected) {
    const bool endsInSeparator = !start.text.empty() && start.text.back() == kSeparator;
    folders.push_back(endsInSeparator ? start.text : start.text + kSeparator);
  }
  if (folders.empty()) folders.emplace_back();
  return folders;
}

struct TFileSearcher::Walk {
  const TWindowsMaskList& masks;
  const FileMatched& onFile;
  const std::vector<TFileIdentity>& excluded;
  bool subDirs;
  bool followLinks;
  std::set<std::pair<uint64_t, uint64_t>> walked;  // every real folder entered so far
};

TSearchResult TFileSearcher::Search(const std::string& searchPath, const std::string& searchMask,
                                    bool searchSubDirs, const FileMatched& onFile) {
  TSearchResult result;
  if (searching_) {
    result.status = TSearchStatus::AlreadySearching;
    result.errorText = kAlreadySearching;
    return result;
  }
  TWindowsMaskList masks(searchMask, maskSeparator);
  if (!masks.Valid()) {
    result.status = TSearchStatus::InvalidMask;
    result.errorText = masks.Error()->message;
    result.errorOffset = masks.Error()->offset;
    return result;
  }

  searching_ = true;
  stopped_ = false;
  Walk walk{masks, onFile, excluded, searchSubDirs, followLinks, {}};
  for (const std::string& folder : StartFolders(searchPath, pathSeparator, searchSubDirs)) {
    if (!searching_) break;
    std::optional<TFileIdentity> self = FileIdentityOf(folder.empty() ? "." : folder);
    if (!self) continue;
    if (!walk.walked.insert({self->device, self->inode}).second) continue;
    SearchFolder(walk, folder, 0);
  }
  if (!searching_) stopped_ = true;
  searching_ = false;
  currentFolder_.clear();
  level_ = 0;
  result.status = stopped_ ? TSearchStatus::Stopped : TSearchStatus::Completed;
  return result;
}

void TFileSearcher::SearchFolder(Walk& walk, const std::string& folder, int32_t level) {
  // The whole folder is read and closed before anything is reported, so at
  // most one folder handle is open however deep the tree.
  std::vector<platform::FolderEntry> entries;
  // Files need their identity only to be told apart from the excluded ones.
  if (!platform::ReadFolder(folder, entries, !walk.excluded.empty())) return;
  currentFolder_ = folder;
  level_ = level;

  std::vector<platform::FolderEntry> subfolders;
  for (auto& entry : entries) {
    if (!searching_) return;
    if (entry.kind == platform::FileKind::Regular) {
      TFileIdentity id{entry.device, entry.inode};
      if (std::find(walk.excluded.begin(), walk.excluded.end(), id) != walk.excluded.end())
        continue;
      if (!walk.masks.Matches(entry.name)) continue;
      if (!walk.onFile(folder + entry.name)) searching_ = false;
    } else if (entry.kind == platform::FileKind::Directory && walk.subDirs) {
      subfolders.push_back(std::move(entry));
    }
  }
  entries = {};
  if (!walk.subDirs) return;

  std::string realFolder;  // resolved only when a linked subfolder needs it
  for (const auto& sub : subfolders) {
    if (!searching_) return;
    if (walk.walked.count({sub.device, sub.inode}) != 0) continue;
    std::string path = folder + sub.name;
    if (sub.isLink) {
      if (!walk.followLinks) continue;
      std::string target = platform::ResolvePath(path);
      if (target.empty()) continue;
      if (realFolder.empty()) realFolder = FolderKey(folder);
      if (target == realFolder || LiesInside(target, realFolder) || LiesInside(realFolder, target))
        continue;
    }
    walk.walked.insert({sub.device, sub.inode});
    SearchFolder(walk, path + kSeparator, level + 1);
  }
}

TMatchingFiles ListMatchingFiles(const std::string& searchPath, const std::string& searchMask,
                                 bool searchSubDirs, const std::vector<TFileIdentity>& excluded,
                                 char maskSeparator, char pathSeparator) {
  TMatchingFiles list;
  TFileSearcher searcher;
  searcher.maskSeparator = maskSeparator;
  searcher.pathSeparator = pathSeparator;
  searcher.excluded = excluded;
  TSearchResult result = searcher.Search(searchPath, searchMask, searchSubDirs,
                                         [&](const std::string& path) {
                                           list.files.push_back(path);
                                           return true;
                                         });
  if (result.status == TSearchStatus::InvalidMask) {
    list.maskValid = false;
    list.errorText = result.errorText;
    list.errorOffset = result.errorOffset;
  }
  return list;
}

}  // namespace quorvid
