#include "platform/file_reader.h"

#include <windows.h>

#include <algorithm>
#include <atomic>

#include "platform/file_info.h"
#include "platform/windows_text.h"

namespace quorvid::platform {

namespace {

// Standard input is read by whoever opens "-" first; its bytes are gone after.
std::atomic<bool> g_standardInputTaken{false};

HANDLE Handle(intptr_t value) { return reinterpret_cast<HANDLE>(value); }

void WINAPI CloseThreadEvent(void* event) {
  if (event != nullptr) ::CloseHandle(event);
}

// The event this thread waits on for its reads: each thread has its own, so
// threads reading parts of one file never wait for each other's reads. Kept
// in fiber-local storage, whose callback closes it when the thread ends:
// thread_local destructors crash at thread exit in this C runtime (see
// read_buffer_win.cpp).
HANDLE ThreadReadEvent() {
  static const DWORD slot = ::FlsAlloc(CloseThreadEvent);
  if (slot == FLS_OUT_OF_INDEXES) return nullptr;
  HANDLE event = ::FlsGetValue(slot);
  if (event == nullptr) {
    event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (event != nullptr && !::FlsSetValue(slot, event)) {
      ::CloseHandle(event);
      return nullptr;
    }
  }
  return event;
}

// Every read names its offset, so a file's handle has no read position to
// share between threads. Files the reader opens are opened for overlapped
// reads, which run side by side; on other handles (standard input) the call
// just waits. Pipes and devices ignore the offset. Returns the count read,
// 0 at the end, -1 on an error (GetLastError tells which).
int64_t ReadAtOffset(HANDLE file, uint8_t* buffer, size_t size, uint64_t offset) {
  OVERLAPPED request{};
  request.Offset = static_cast<DWORD>(offset);
  request.OffsetHigh = static_cast<DWORD>(offset >> 32);
  request.hEvent = ThreadReadEvent();
  if (request.hEvent == nullptr) return -1;
  const DWORD want = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
  DWORD n = 0;
  if (::ReadFile(file, buffer, want, &n, &request)) return n;
  DWORD error = ::GetLastError();
  if (error == ERROR_IO_PENDING) {
    if (::GetOverlappedResult(file, &request, &n, TRUE)) return n;
    error = ::GetLastError();
  }
  // The end of a file, and a pipe whose writer has closed it.
  if (error == ERROR_HANDLE_EOF || error == ERROR_BROKEN_PIPE) return 0;
  ::SetLastError(error);
  return -1;
}

void CloseKeepingError(HANDLE handle) {
  const DWORD error = ::GetLastError();
  ::CloseHandle(handle);
  ::SetLastError(error);
}

}  // namespace

FileReader::~FileReader() { Close(); }

bool FileReader::Open(const std::string& path, bool regularOnly) {
  Close();
  if (path.empty()) return false;
  HANDLE file = INVALID_HANDLE_VALUE;
  const bool standardInput = path == kStandardInputName;
  if (standardInput) {
    if (g_standardInputTaken.exchange(true)) return false;
    HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    if (input == nullptr || input == INVALID_HANDLE_VALUE) return false;
    if (!::DuplicateHandle(::GetCurrentProcess(), input, ::GetCurrentProcess(), &file, 0, FALSE,
                           DUPLICATE_SAME_ACCESS))
      return false;
  } else {
    // Other readers are welcome; a writer is not, since bytes changing under
    // the hash would give a digest of no version of the file. A folder does
    // not open this way (no backup semantics). The read-ahead hint costs
    // nothing at open, and only files that span many reads notice it.
    file = ::CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED | FILE_FLAG_SEQUENTIAL_SCAN,
                         nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  const bool known =
      ::GetFileType(file) == FILE_TYPE_DISK && ::GetFileInformationByHandle(file, &info);
  const bool folder = known && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const bool regular = known && !folder;
  if (folder || (regularOnly && !regular)) {
    ::CloseHandle(file);
    ::SetLastError(ERROR_ACCESS_DENIED);  // what the system answers for a folder
    return false;
  }
  handle_ = reinterpret_cast<intptr_t>(file);
  regularSize_ = -1;
  position_ = 0;
  if (regular) {
    regularSize_ =
        static_cast<int64_t>((static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    // Standard input may be a file a caller has already read part of: the
    // reads go on from where it stands, as they would on POSIX.
    LARGE_INTEGER at{};
    if (standardInput && ::SetFilePointerEx(file, LARGE_INTEGER{}, &at, FILE_CURRENT))
      position_ = static_cast<uint64_t>(at.QuadPart);
  }
  return true;
}

int64_t FileReader::Read(uint8_t* buffer, size_t size) {
  if (handle_ == -1) return -1;
  if (size == 0) return 0;
  const int64_t n = ReadAtOffset(Handle(handle_), buffer, size, position_);
  if (n > 0) {
    position_ += static_cast<uint64_t>(n);
    return n;
  }
  if (n < 0) return -1;
  if (CutShort()) {
    ::SetLastError(ERROR_HANDLE_EOF);
    return -1;
  }
  return 0;
}

bool FileReader::CutShort() const {
  if (regularSize_ < 0 || position_ >= static_cast<uint64_t>(regularSize_)) return false;
  LARGE_INTEGER size{};
  return ::GetFileSizeEx(Handle(handle_), &size) && size.QuadPart < regularSize_;
}

int64_t FileReader::ReadAt(uint8_t* buffer, size_t size, uint64_t offset) const {
  // A pipe or device has no offsets: reading one "at" an offset would take
  // bytes from the stream.
  if (handle_ == -1 || regularSize_ < 0) return -1;
  if (size == 0) return 0;
  return ReadAtOffset(Handle(handle_), buffer, size, offset);
}

bool FileReader::SeekTo(uint64_t offset) {
  if (handle_ == -1) return false;
  if (regularSize_ >= 0) {
    position_ = offset;
    return true;
  }
  Close();
  ::SetLastError(ERROR_SEEK_ON_DEVICE);
  return false;
}

void FileReader::Close() {
  if (handle_ != -1) {
    CloseKeepingError(Handle(handle_));
    handle_ = -1;
    regularSize_ = -1;
  }
}

}  // namespace quorvid::platform
