#include "platform/text_file.h"

#include <windows.h>

#include <algorithm>

#include "platform/windows_text.h"

namespace quorvid::platform {

namespace {

HANDLE Handle(intptr_t value) { return reinterpret_cast<HANDLE>(value); }

}  // namespace

TextFileInput::~TextFileInput() {
  if (handle_ != -1) ::CloseHandle(Handle(handle_));
}

bool TextFileInput::Open(const std::string& path, std::string& errorText) {
  if (handle_ != -1) ::CloseHandle(Handle(handle_));
  // A list that another program still writes can be read, as on POSIX.
  HANDLE file = ::CreateFileW(WidePath(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  handle_ = reinterpret_cast<intptr_t>(file);
  if (file == INVALID_HANDLE_VALUE) errorText = SystemErrorText(::GetLastError());
  return file != INVALID_HANDLE_VALUE;
}

int64_t TextFileInput::Read(char* buffer, size_t size, std::string& errorText) {
  DWORD n = 0;
  const DWORD want = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
  if (::ReadFile(Handle(handle_), buffer, want, &n, nullptr)) return n;
  const DWORD error = ::GetLastError();
  // The writing end of a pipe went away: that is the end of the text.
  if (error == ERROR_BROKEN_PIPE) return 0;
  errorText = SystemErrorText(error);
  return -1;
}

}  // namespace quorvid::platform
