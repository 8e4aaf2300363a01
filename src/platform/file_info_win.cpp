#include "platform/file_info.h"

#include <windows.h>

#include "platform/windows_text.h"

namespace quorvid::platform {

namespace {

std::time_t TimeFromFileTime(const FILETIME& time) {
  // FILETIME counts 100 ns steps from 1601; whole seconds are rounded down,
  // dates before 1970 included.
  constexpr int64_t kUnixEpoch = 116444736000000000;
  constexpr int64_t kPerSecond = 10000000;
  const int64_t ticks = static_cast<int64_t>((static_cast<uint64_t>(time.dwHighDateTime) << 32) |
                                             time.dwLowDateTime) -
                        kUnixEpoch;
  int64_t seconds = ticks / kPerSecond;
  if (ticks % kPerSecond < 0) --seconds;
  return static_cast<std::time_t>(seconds);
}

FileStatus StatusOfHandle(HANDLE handle) {
  FileStatus status;
  const DWORD type = ::GetFileType(handle);
  BY_HANDLE_FILE_INFORMATION info{};
  if (type == FILE_TYPE_DISK && ::GetFileInformationByHandle(handle, &info)) {
    status.kind = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileKind::Directory
                                                                          : FileKind::Regular;
    status.size =
        static_cast<int64_t>((static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    status.modified = TimeFromFileTime(info.ftLastWriteTime);
    status.device = info.dwVolumeSerialNumber;
    status.inode = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  } else if (type == FILE_TYPE_CHAR || type == FILE_TYPE_PIPE) {
    status.kind = FileKind::Other;
  }
  return status;
}

// What the attributes alone say, for a file that cannot be opened even to
// read its attributes (in use by the system, or denied): no identity.
FileStatus StatusOfAttributes(const std::wstring& path) {
  FileStatus status;
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return status;
  // A link that cannot be opened cannot be followed either.
  if ((data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return status;
  status.kind = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileKind::Directory
                                                                        : FileKind::Regular;
  status.size =
      static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
  status.modified = TimeFromFileTime(data.ftLastWriteTime);
  return status;
}

}  // namespace

FileStatus StatPath(const std::string& path) {
  if (path == kStandardInputName) {
    HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    if (input == nullptr || input == INVALID_HANDLE_VALUE) return FileStatus{};
    return StatusOfHandle(input);
  }
  if (path.empty()) return FileStatus{};
  const std::wstring wide = WidePath(path);
  // Opened only to read attributes: links are followed, folders open too
  // (backup semantics), and no share mode of another program is in the way.
  HANDLE handle = ::CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION)
      return StatusOfAttributes(wide);
    return FileStatus{};
  }
  const FileStatus status = StatusOfHandle(handle);
  ::CloseHandle(handle);
  return status;
}

std::string CurrentDirectory() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (n == 0) return ".";
    if (n < buffer.size()) {
      buffer.resize(n);
      return Utf8FromWide(buffer);
    }
    buffer.resize(n);  // the size needed, terminating null included
  }
}

bool ChangeCurrentDirectory(const std::string& path) {
  return ::SetCurrentDirectoryW(WideFromUtf8(path).c_str()) != 0;
}

std::string ExpandFileName(const std::string& path) {
  if (path.empty()) {
    std::string current = CurrentDirectory();
    if (current.back() != '\\') current += '\\';
    return current;
  }
  const std::wstring wide = WideFromUtf8(path);
  std::wstring full(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n =
        ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n == 0) return path;
    if (n < full.size()) {
      full.resize(n);
      return Utf8FromWide(full);
    }
    full.resize(n);
  }
}

std::string LastErrorText() { return SystemErrorText(::GetLastError()); }

}  // namespace quorvid::platform
