// The directory walk: every regular file below one or more start folders
// whose name matches a mask list. A folder's matching files come first, in
// the order the system enumerates them, then its subfolders, each walked
// depth first in enumeration order. Nothing is sorted.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quorvid {

/// Device and inode: what makes a file the same file under any name.
struct TFileIdentity {
  uint64_t device = 0;
  uint64_t inode = 0;
  bool operator==(const TFileIdentity&) const = default;
};

/// Identity of the file `path` names (links followed); nullopt when missing.
std::optional<TFileIdentity> FileIdentityOf(const std::string& path);

/// How a walk ended.
enum class TSearchStatus {
  Completed,         // every start folder was walked
  Stopped,           // the callback or Stop() ended it early
  InvalidMask,       // a mask did not compile; nothing was walked
  AlreadySearching,  // Search was called from inside a running search
};

struct TSearchResult {
  TSearchStatus status = TSearchStatus::Completed;
  std::string errorText;  // the message for InvalidMask and AlreadySearching
  int32_t errorOffset = 0;  // InvalidMask: the offset the message shows
};

/// A walker. Regular files only (links followed): FIFOs, sockets and devices
/// are never opened or reported. Hidden files and folders take part like any
/// other. A folder that cannot be read contributes nothing.
class TFileSearcher {
 public:
  /// Called once per matching file with its full path: the start folder as
  /// given (one "/" appended) followed by the path below it. Returning false
  /// ends the walk.
  using FileMatched = std::function<bool(const std::string& path)>;

  char maskSeparator = ';';
  /// Separates several start folders in one search path; '\0' makes the
  /// search path a single folder (a POSIX folder name may contain ";").
  char pathSeparator = ';';
  /// Folders that are symbolic links are entered, unless the link leads to
  /// the folder holding it, to one of its subfolders or to one of its
  /// ancestors. Each real folder is entered once in a search: a link to a
  /// folder already walked is passed over, so no arrangement of links can
  /// make the walk loop or list a folder twice.
  bool followLinks = true;
  /// Files never reported, whatever their name (such as the run's own output).
  std::vector<TFileIdentity> excluded;

  /// Walks every start folder of `searchPath` ("" = the current folder, whose
  /// files are then reported by bare name) and calls `onFile` for each
  /// regular file whose name matches `searchMask` (empty: every file).
  /// Start folders that name the same folder, or with `searchSubDirs` lie
  /// inside another start folder, are walked once. The mask string is
  /// compiled before anything is walked, so an invalid mask reports
  /// InvalidMask without a single call of `onFile`.
  TSearchResult Search(const std::string& searchPath, const std::string& searchMask,
                       bool searchSubDirs, const FileMatched& onFile);

  /// Ends a running walk after the current file.
  void Stop() { searching_ = false; }
  /// True while a walk runs.
  bool Searching() const { return searching_; }
  /// Inside `onFile`: the folder being read, with its trailing "/" ("" for
  /// the current folder), and its depth (0 = a start folder).
  const std::string& CurrentFolder() const { return currentFolder_; }
  int32_t Level() const { return level_; }

 private:
  struct Walk;
  void SearchFolder(Walk& walk, const std::string& folder, int32_t level);

  bool searching_ = false;
  bool stopped_ = false;
  std::string currentFolder_;
  int32_t level_ = 0;
};

/// The start folders of `searchPath` after de-duplication, each with one
/// trailing "/" ("" when none is left: the current folder). Each is cleaned
/// as written: repeated "/" collapse, "." components go and ".." components
/// are resolved in the text, so "D//sub" and "./D/sub" both give "D/sub/".
std::vector<std::string> StartFolders(const std::string& searchPath, char pathSeparator,
                                      bool searchSubDirs);

/// The result of ListMatchingFiles: the full paths in walk order, or the
/// mask error.
struct TMatchingFiles {
  std::vector<std::string> files;
  bool maskValid = true;
  std::string errorText;    // the mask error's message when !maskValid
  int32_t errorOffset = 0;
};

/// Every regular file below `searchPath` (with `searchSubDirs`, the whole
/// tree) whose name matches `searchMask`, as full paths in walk order; files
/// whose identity is in `excluded` are left out. An invalid mask gives
/// maskValid = false and no files.
TMatchingFiles ListMatchingFiles(const std::string& searchPath, const std::string& searchMask,
                                 bool searchSubDirs,
                                 const std::vector<TFileIdentity>& excluded = {},
                                 char maskSeparator = ';', char pathSeparator = ';');

}  // namespace quorvid
