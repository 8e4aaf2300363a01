#include "platform/file_writer.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/windows_text.h"

namespace quorvid::platform {

namespace {

HANDLE Handle(intptr_t value) { return reinterpret_cast<HANDLE>(value); }

// ERROR_STOPPED_ON_SYMLINK, which not every SDK names.
constexpr DWORD kStoppedOnLink = 681;

// The text for a failed write through the C library: the system's error when
// the library kept it, else the library's own.
std::string LibraryErrorText() {
  if (_doserrno != 0) return SystemErrorText(static_cast<uint32_t>(_doserrno));
  return std::strerror(errno != 0 ? errno : EIO);
}

void ClearLibraryError() {
  errno = 0;
  _doserrno = 0;
}

}  // namespace

OutputTarget StandardOutputTarget() {
  // The program writes its own line ends; in text mode the C library would
  // put a CR before each LF a second time.
  static const bool binary = _setmode(_fileno(stdout), _O_BINARY) != -1;
  (void)binary;
  OutputTarget target;
  target.fd = reinterpret_cast<intptr_t>(::GetStdHandle(STD_OUTPUT_HANDLE));
  target.isStandardOutput = true;
  return target;
}

bool OpenOutputTarget(const std::string& path, WriteMode mode, OutputTarget& target,
                      std::string& errorText) {
  const bool append = mode == WriteMode::Append;
  const bool noLink = mode == WriteMode::CreateOrTruncateNoLink;
  // With append rights only, every write lands at the end of the file, as
  // with O_APPEND. A file to be emptied is opened as it is and truncated
  // once open: that keeps its attributes (a hidden file stays writable,
  // where CREATE_ALWAYS would refuse it), and a reparse point can be looked
  // at before anything in it is lost.
  const DWORD access =
      append ? FILE_APPEND_DATA | SYNCHRONIZE : GENERIC_WRITE | FILE_READ_ATTRIBUTES;
  const DWORD flags = FILE_ATTRIBUTE_NORMAL | (noLink ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
  HANDLE file = ::CreateFileW(WidePath(path).c_str(), access, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              flags, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    errorText = SystemErrorText(::GetLastError());
    return false;
  }
  if (noLink) {
    // Opened as itself, not followed: a link or junction planted at this
    // name is refused untouched rather than written through.
    BY_HANDLE_FILE_INFORMATION info{};
    DWORD error = ERROR_SUCCESS;
    if (!::GetFileInformationByHandle(file, &info))
      error = ::GetLastError();
    else if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
      error = kStoppedOnLink;
    if (error != ERROR_SUCCESS) {
      ::CloseHandle(file);
      errorText = SystemErrorText(error);
      return false;
    }
  }
  if (!append && !::SetEndOfFile(file)) {
    errorText = SystemErrorText(::GetLastError());
    ::CloseHandle(file);
    return false;
  }
  target.fd = reinterpret_cast<intptr_t>(file);
  target.isStandardOutput = false;
  return true;
}

bool WriteToTarget(const OutputTarget& target, std::string_view bytes, std::string& errorText) {
  if (target.isStandardOutput) {
    if (bytes.empty()) return true;
    ClearLibraryError();
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) {
      errorText = LibraryErrorText();
      return false;
    }
    return true;
  }
  if (target.fd == -1) {
    errorText = SystemErrorText(ERROR_INVALID_HANDLE);
    return false;
  }
  while (!bytes.empty()) {
    DWORD n = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
    if (!::WriteFile(Handle(target.fd), bytes.data(), want, &n, nullptr)) {
      errorText = SystemErrorText(::GetLastError());
      return false;
    }
    if (n == 0) {
      errorText = SystemErrorText(ERROR_WRITE_FAULT);
      return false;
    }
    bytes.remove_prefix(n);
  }
  return true;
}

bool FlushTarget(const OutputTarget& target, std::string& errorText) {
  if (!target.isStandardOutput) return true;
  ClearLibraryError();
  if (std::fflush(stdout) != 0) {
    errorText = LibraryErrorText();
    return false;
  }
  return true;
}

bool CloseTarget(OutputTarget& target, std::string& errorText) {
  if (target.isStandardOutput) return FlushTarget(target, errorText);
  if (target.fd == -1) return true;
  HANDLE file = Handle(target.fd);
  target.fd = -1;
  if (!::CloseHandle(file)) {
    errorText = SystemErrorText(::GetLastError());
    return false;
  }
  return true;
}

}  // namespace quorvid::platform
