#include "platform/folders.h"

#include <windows.h>

#include "platform/windows_text.h"

namespace quorvid::platform {

namespace {

// Opens `path` (links followed) only to read what it names: a handle with
// no right to read the content, which no share mode of another program
// stands in the way of. False when it cannot be opened (a dangling link).
bool LookAt(const std::wstring& path, FolderEntry& entry) {
  HANDLE handle = ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  bool known = true;
  BY_HANDLE_FILE_INFORMATION info{};
  const DWORD type = ::GetFileType(handle);
  if (type == FILE_TYPE_DISK && ::GetFileInformationByHandle(handle, &info)) {
    entry.kind = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileKind::Directory
                                                                         : FileKind::Regular;
    entry.device = info.dwVolumeSerialNumber;
    entry.inode = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  } else if (type == FILE_TYPE_CHAR || type == FILE_TYPE_PIPE) {
    entry.kind = FileKind::Other;
  } else {
    known = false;
  }
  ::CloseHandle(handle);
  return known;
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.empty() ? L"." : path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::wstring WithoutLongPrefix(std::wstring path) {
  if (path.starts_with(L"\\\\?\\UNC\\")) return L"\\\\" + path.substr(8);
  if (path.starts_with(L"\\\\?\\")) return path.substr(4);
  return path;
}

}  // namespace

bool ReadFolder(const std::string& folder, std::vector<FolderEntry>& entries, bool identifyFiles) {
  entries.clear();
  const std::wstring base = folder.empty() ? std::wstring() : WidePath(folder);
  // The entries' names are the folder's with the entry's added; "C:" alone
  // is the current folder of drive C, so it takes no separator.
  std::wstring prefix = base;
  if (!prefix.empty() && prefix.back() != L'\\' && prefix.back() != L'/' &&
      !(prefix.size() == 2 && prefix[1] == L':'))
    prefix += L'\\';
  WIN32_FIND_DATAW data{};
  HANDLE find = ::FindFirstFileExW((prefix + L"*").c_str(), FindExInfoBasic, &data,
                                   FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) {
    // A drive's root has no "." entry, so an empty one matches nothing.
    return ::GetLastError() == ERROR_FILE_NOT_FOUND && IsFolder(base);
  }
  // A read error part-way keeps what was read: the folder contributes what it can.
  do {
    const std::wstring_view name = data.cFileName;
    if (name.empty() || name == L"." || name == L"..") continue;
    FolderEntry entry;
    entry.name = Utf8FromWide(name);
    const bool reparse = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    const bool directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    // Symbolic links and junctions stand for another name; other reparse
    // points (deduplicated or cloud files) are the files themselves.
    entry.isLink = reparse && IsReparseTagNameSurrogate(data.dwReserved0);
    if (!reparse && !directory && !identifyFiles) {
      entry.kind = FileKind::Regular;
      entries.push_back(std::move(entry));
      continue;
    }
    if (!LookAt(prefix + std::wstring(name), entry) && !entry.isLink && !directory) {
      // A plain file that cannot be opened to be looked at is still listed,
      // as it would be without asking for identities. A folder that cannot
      // be identified stays Missing: the walk could not tell it from others.
      entry.kind = FileKind::Regular;
    }
    entries.push_back(std::move(entry));
  } while (::FindNextFileW(find, &data));
  ::FindClose(find);
  return true;
}

std::string ResolvePath(const std::string& path) {
  HANDLE handle = ::CreateFileW(WidePath(path.empty() ? "." : path).c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return "";
  std::wstring resolved(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n =
        ::GetFinalPathNameByHandleW(handle, resolved.data(), static_cast<DWORD>(resolved.size()),
                                    FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0) {
      // A volume without a drive letter has no name of the usual form.
      ::CloseHandle(handle);
      return "";
    }
    if (n < resolved.size()) {
      resolved.resize(n);
      break;
    }
    resolved.resize(n);
  }
  ::CloseHandle(handle);
  return Utf8FromWide(WithoutLongPrefix(std::move(resolved)));
}

}  // namespace quorvid::platform
