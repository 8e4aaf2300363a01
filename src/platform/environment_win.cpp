#include "platform/environment.h"

#include <windows.h>

#include "platform/windows_text.h"

namespace quorvid::platform {

std::optional<std::string> EnvironmentVariable(const std::string& name) {
  const std::wstring wideName = WideFromUtf8(name);
  std::wstring value(256, L'\0');
  for (;;) {
    ::SetLastError(ERROR_SUCCESS);
    const DWORD n =
        ::GetEnvironmentVariableW(wideName.c_str(), value.data(), static_cast<DWORD>(value.size()));
    if (n == 0) {
      // A variable set to "" also gives 0, without an error.
      if (::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
      return std::string();
    }
    if (n < value.size()) {
      value.resize(n);
      return Utf8FromWide(value);
    }
    value.resize(n);  // n counts the terminating null when the value did not fit
  }
}

std::string ExecutablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return "";
    if (n < path.size()) {
      path.resize(n);
      // A long name comes back with the "\\?\" prefix, which no reader wants.
      if (path.starts_with(L"\\\\?\\UNC\\"))
        path = L"\\\\" + path.substr(8);
      else if (path.starts_with(L"\\\\?\\"))
        path.erase(0, 4);
      return Utf8FromWide(path);
    }
    path.resize(path.size() * 2);
  }
}

std::string TemporaryFolder() {
  const std::optional<std::string> temp = EnvironmentVariable("TEMP");
  if (temp && !temp->empty()) return *temp;
  wchar_t buffer[MAX_PATH + 2];
  const DWORD n = ::GetTempPathW(MAX_PATH + 2, buffer);
  std::string folder = n > 0 && n <= MAX_PATH + 1 ? Utf8FromWide(std::wstring(buffer, n)) : "C:\\";
  // The system's answer ends in a separator; a root keeps its own.
  if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  return folder;
}

}  // namespace quorvid::platform
