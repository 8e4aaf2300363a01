#include "platform/file_info.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace quorvid::platform {

FileStatus StatPath(const std::string& path) {
  FileStatus status;
  struct stat st {};
  if (path == kStandardInputName) {
    if (::fstat(STDIN_FILENO, &st) != 0) return status;
  } else if (path.empty() || ::stat(path.c_str(), &st) != 0) {
    return status;
  }
  if (S_ISREG(st.st_mode))
    status.kind = FileKind::Regular;
  else if (S_ISDIR(st.st_mode))
    status.kind = FileKind::Directory;
  else
    status.kind = FileKind::Other;
  status.size = static_cast<int64_t>(st.st_size);
  status.modified = st.st_mtime;
  status.device = static_cast<uint64_t>(st.st_dev);
  status.inode = static_cast<uint64_t>(st.st_ino);
  return status;
}

std::string CurrentDirectory() {
  std::vector<char> buf(4096);
  while (::getcwd(buf.data(), buf.size()) == nullptr) {
    if (errno != ERANGE) return ".";
    buf.resize(buf.size() * 2);
  }
  return buf.data();
}

bool ChangeCurrentDirectory(const std::string& path) { return ::chdir(path.c_str()) == 0; }

std::string ExpandFileName(const std::string& path) {
  std::string full = (!path.empty() && path[0] == '/') ? path : CurrentDirectory() + "/" + path;
  std::vector<std::string> parts;
  size_t pos = 0;
  while (pos <= full.size()) {
    size_t next = full.find('/', pos);
    if (next == std::string::npos) next = full.size();
    std::string part = full.substr(pos, next - pos);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    pos = next + 1;
  }
  std::string result;
  for (const auto& p : parts) result += "/" + p;
  if (result.empty()) result = "/";
  // Keep a trailing separator the caller wrote: it marks a folder.
  if (full.size() > 1 && full.back() == '/' && result != "/") result += "/";
  return result;
}

std::string LastErrorText() { return std::strerror(errno); }

}  // namespace quorvid::platform
