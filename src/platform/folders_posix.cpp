#include "platform/folders.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <cstring>

namespace quorvid::platform {
namespace {

FileKind KindOf(mode_t mode) {
  if (S_ISREG(mode)) return FileKind::Regular;
  if (S_ISDIR(mode)) return FileKind::Directory;
  return FileKind::Other;
}

}  // namespace

bool ReadFolder(const std::string& folder, std::vector<FolderEntry>& entries, bool identifyFiles) {
  entries.clear();
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return false;
  const int dirFd = ::dirfd(dir);
  // A read error part-way keeps what was read: the folder contributes what it can.
  while (const dirent* item = ::readdir(dir)) {
    const char* name = item->d_name;
    if (name[0] == '\0' || std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
    FolderEntry entry;
    entry.name = name;
    if (item->d_type == DT_REG && !identifyFiles) {
      entry.kind = FileKind::Regular;
      entries.push_back(std::move(entry));
      continue;
    }
    struct stat st {};
    if (item->d_type == DT_LNK) {
      entry.isLink = true;
    } else if (item->d_type == DT_UNKNOWN) {
      entry.isLink = ::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode);
    }
    if (::fstatat(dirFd, name, &st, 0) == 0) {
      entry.kind = KindOf(st.st_mode);
      entry.device = static_cast<uint64_t>(st.st_dev);
      entry.inode = static_cast<uint64_t>(st.st_ino);
    } else if (item->d_type == DT_REG) {
      // A folder that can be read but not searched: the listing still names
      // a plain file, as it would without asking for identities.
      entry.kind = FileKind::Regular;
    }
    entries.push_back(std::move(entry));
  }
  ::closedir(dir);
  return true;
}

std::string ResolvePath(const std::string& path) {
  char* resolved = ::realpath(path.empty() ? "." : path.c_str(), nullptr);
  if (resolved == nullptr) return "";
  std::string result = resolved;
  std::free(resolved);
  return result;
}

}  // namespace quorvid::platform
