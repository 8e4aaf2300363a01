#include "platform/file_info.h"

namespace quorvid::platform {

bool FileExists(const std::string& path) {
  FileKind kind = StatPath(path).kind;
  return kind == FileKind::Regular || kind == FileKind::Other;
}

bool DirectoryExists(const std::string& path) {
  return StatPath(path).kind == FileKind::Directory;
}

}  // namespace quorvid::platform
