// What the program asks the file system about a name (links followed).
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace quorvid::platform {

enum class FileKind { Missing, Regular, Directory, Other };

struct FileStatus {
  FileKind kind = FileKind::Missing;
  int64_t size = 0;
  std::time_t modified = 0;  // last-write time, whole seconds
  uint64_t device = 0;  // with inode, what the name stands for: device and inode
  uint64_t inode = 0;   // number on POSIX, volume serial and file index on Windows
};

/// The name that stands for standard input where the program reads a file
/// named on the command line: "-". Standard input can be read once a run.
inline constexpr std::string_view kStandardInputName = "-";

/// Status of `path` with links followed; kind Missing when it cannot be read.
/// "-" gives the status of standard input (Missing when it is closed).
FileStatus StatPath(const std::string& path);

/// Names an existing file: exists and is not a folder (devices and FIFOs count).
bool FileExists(const std::string& path);

/// Names an existing folder.
bool DirectoryExists(const std::string& path);

/// The current folder, without a trailing separator (except for a root such
/// as "/" or "C:\").
std::string CurrentDirectory();

/// Changes the current folder; false when it cannot.
bool ChangeCurrentDirectory(const std::string& path);

/// Absolute form of `path` (relative to the current folder), without
/// resolving links; "." and ".." components are resolved textually. On
/// Windows "/" becomes "\", and drive-relative and UNC names are understood.
std::string ExpandFileName(const std::string& path);

/// The system's text for the last failed call on this thread (errno on
/// POSIX, GetLastError on Windows).
std::string LastErrorText();

}  // namespace quorvid::platform
