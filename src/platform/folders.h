// Reading folders for the directory walk: the entries of one folder, in the
// order the system enumerates them, with what each entry names.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_info.h"

namespace quorvid::platform {

/// One entry of a folder.
struct FolderEntry {
  std::string name;                   // bare name, never "." or ".."
  FileKind kind = FileKind::Missing;  // links followed; Missing for a dangling link
  bool isLink = false;                // the entry itself is a symbolic link (or junction)
  uint64_t device = 0;                // identity of what the entry names (links followed)
  uint64_t inode = 0;
};

/// Fills `entries` with the entries of `folder` ("" = the current folder) in
/// the system's enumeration order, without "." and "..". Only the folder is
/// opened for reading, and it is closed before returning; the entries are
/// only looked at (stat on POSIX; on Windows a handle that reads nothing),
/// so FIFOs and devices are never opened for reading. With `identifyFiles` false,
/// plain files the folder listing already names as such are not looked at:
/// their kind is known and their device and inode stay 0, which saves a call
/// per file on large trees. A plain file whose identity cannot be read is
/// listed all the same, with device and inode 0. Returns false (and leaves `entries` empty) when
/// the folder cannot be enumerated.
bool ReadFolder(const std::string& folder, std::vector<FolderEntry>& entries,
                bool identifyFiles = true);

/// Absolute form of `path` with every link resolved; "" when it cannot be
/// resolved (missing, no access, link loop).
std::string ResolvePath(const std::string& path);

}  // namespace quorvid::platform
