#include "platform/file_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace quorvid::platform {

FileReader::~FileReader() { Close(); }

bool FileReader::Open(const std::string& path) {
  Close();
  if (path.empty()) return false;
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return false;
  // A folder opens read-only on POSIX but is not a file to hash.
  struct stat st {};
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return false;
  }
  // Only a hint, and only worth its call when the file spans many reads.
  if (S_ISREG(st.st_mode) && st.st_size > (1 << 20)) ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  fd_ = fd;
  regularSize_ = S_ISREG(st.st_mode) ? static_cast<int64_t>(st.st_size) : -1;
  viewed_ = 0;
  return true;
}

int64_t FileReader::Read(uint8_t* buffer, size_t size) {
  if (fd_ < 0) return -1;
  for (;;) {
    ssize_t n = ::read(fd_, buffer, size);
    if (n >= 0) return static_cast<int64_t>(n);
    if (errno != EINTR) return -1;
  }
}

int64_t FileReader::ReadAt(uint8_t* buffer, size_t size, uint64_t offset) const {
  if (fd_ < 0) return -1;
  for (;;) {
    ssize_t n = ::pread(fd_, buffer, size, static_cast<off_t>(offset));
    if (n >= 0) return static_cast<int64_t>(n);
    if (errno != EINTR) return -1;
  }
}

bool FileReader::ViewAt(MappedView& view, uint64_t offset, size_t length, bool populate) const {
  view.Unmap();
  if (fd_ < 0 || regularSize_ < 0 || length == 0) return false;
  if (offset > static_cast<uint64_t>(regularSize_) ||
      length > static_cast<uint64_t>(regularSize_) - offset)
    return false;
  return view.Map(fd_, offset, length, populate);
}

bool FileReader::SeekTo(uint64_t offset) {
  if (fd_ < 0) return false;
  if (::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) >= 0) return true;
  Close();
  return false;
}

bool FileReader::ViewNext(MappedView& view, size_t length, bool populate) {
  view.Unmap();
  if (fd_ < 0 || regularSize_ < 0) return false;
  const auto size = static_cast<uint64_t>(regularSize_);
  if (viewed_ < size && length > 0) {
    const size_t take = static_cast<size_t>(std::min<uint64_t>(length, size - viewed_));
    if (ViewAt(view, viewed_, take, populate)) {
      viewed_ += take;
      return true;
    }
  }
  // Reads take over from here; should the file position not move, a later
  // Read fails rather than hash the front of the file twice.
  if (viewed_ > 0) SeekTo(viewed_);
  return false;
}

void FileReader::Close() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
    regularSize_ = -1;
  }
}

}  // namespace quorvid::platform
