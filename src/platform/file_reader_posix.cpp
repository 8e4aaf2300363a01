#include "platform/file_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>

#include "platform/file_info.h"

namespace quorvid::platform {

namespace {

// Standard input is read by whoever opens "-" first; its bytes are gone after.
std::atomic<bool> g_standardInputTaken{false};

}  // namespace

FileReader::~FileReader() { Close(); }

bool FileReader::Open(const std::string& path, bool regularOnly) {
  Close();
  if (path.empty()) return false;
  int fd;
  if (path == kStandardInputName) {
    if (g_standardInputTaken.exchange(true)) return false;
    fd = ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0);
  } else {
    do {
      fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | (regularOnly ? O_NONBLOCK : 0));
    } while (fd < 0 && errno == EINTR);
  }
  if (fd < 0) return false;
  // A folder opens read-only on POSIX but is not a file to hash.
  struct stat st {};
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode) || (regularOnly && !S_ISREG(st.st_mode))) {
    ::close(fd);
    return false;
  }
  if (regularOnly) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  // Only a hint, and only worth its call when the file spans many reads.
  if (S_ISREG(st.st_mode) && st.st_size > (1 << 20)) ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  handle_ = fd;
  regularSize_ = S_ISREG(st.st_mode) ? static_cast<int64_t>(st.st_size) : -1;
  position_ = 0;
  return true;
}

int64_t FileReader::Read(uint8_t* buffer, size_t size) {
  if (handle_ < 0) return -1;
  if (size == 0) return 0;
  for (;;) {
    ssize_t n = ::read(static_cast<int>(handle_), buffer, size);
    if (n > 0) {
      position_ += static_cast<uint64_t>(n);
      return static_cast<int64_t>(n);
    }
    if (n == 0) return CutShort() ? -1 : 0;
    if (errno != EINTR) return -1;
  }
}

bool FileReader::CutShort() const {
  if (regularSize_ < 0 || position_ >= static_cast<uint64_t>(regularSize_)) return false;
  // Some files (those of /sys) claim a size they never hold: only a file
  // that is now shorter than at open was cut short.
  struct stat st {};
  return ::fstat(static_cast<int>(handle_), &st) == 0 && st.st_size < regularSize_;
}

int64_t FileReader::ReadAt(uint8_t* buffer, size_t size, uint64_t offset) const {
  if (handle_ < 0) return -1;
  for (;;) {
    ssize_t n = ::pread(static_cast<int>(handle_), buffer, size, static_cast<off_t>(offset));
    if (n >= 0) return static_cast<int64_t>(n);
    if (errno != EINTR) return -1;
  }
}

bool FileReader::SeekTo(uint64_t offset) {
  if (handle_ < 0) return false;
  if (::lseek(static_cast<int>(handle_), static_cast<off_t>(offset), SEEK_SET) >= 0) {
    position_ = offset;
    return true;
  }
  Close();
  return false;
}

void FileReader::Close() {
  if (handle_ >= 0) {
    ::close(static_cast<int>(handle_));
    handle_ = -1;
    regularSize_ = -1;
  }
}

}  // namespace quorvid::platform
