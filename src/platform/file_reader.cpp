#include "platform/file_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
  // Only a hint: pipes and devices refuse it, which does not matter.
  if (S_ISREG(st.st_mode)) ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  fd_ = fd;
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

void FileReader::Close() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

}  // namespace quorvid::platform
