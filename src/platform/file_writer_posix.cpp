#include "platform/file_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace quorvid::platform {

namespace {

std::string ErrnoText(int error) { return std::strerror(error); }

}  // namespace

OutputTarget StandardOutputTarget() {
  OutputTarget target;
  target.fd = STDOUT_FILENO;
  target.isStandardOutput = true;
  return target;
}

bool OpenOutputTarget(const std::string& path, WriteMode mode, OutputTarget& target,
                      std::string& errorText) {
  int flags = O_WRONLY | O_CREAT | O_CLOEXEC;
  flags |= (mode == WriteMode::Append) ? O_APPEND : O_TRUNC;
  if (mode == WriteMode::CreateOrTruncateNoLink) flags |= O_NOFOLLOW;
  int fd;
  do {
    fd = ::open(path.c_str(), flags, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    errorText = ErrnoText(errno);
    return false;
  }
  target.fd = fd;
  target.isStandardOutput = false;
  return true;
}

bool WriteToTarget(const OutputTarget& target, std::string_view bytes, std::string& errorText) {
  if (target.fd < 0) {
    errorText = ErrnoText(EBADF);
    return false;
  }
  if (target.isStandardOutput) {
    if (bytes.empty()) return true;
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) {
      errorText = ErrnoText(errno != 0 ? errno : EIO);
      return false;
    }
    return true;
  }
  while (!bytes.empty()) {
    ssize_t n = ::write(static_cast<int>(target.fd), bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      errorText = ErrnoText(errno);
      return false;
    }
    if (n == 0) {
      errorText = ErrnoText(EIO);
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

bool FlushTarget(const OutputTarget& target, std::string& errorText) {
  if (!target.isStandardOutput) return true;
  errno = 0;
  if (std::fflush(stdout) != 0) {
    errorText = ErrnoText(errno != 0 ? errno : EIO);
    return false;
  }
  return true;
}

bool CloseTarget(OutputTarget& target, std::string& errorText) {
  if (target.isStandardOutput) return FlushTarget(target, errorText);
  if (target.fd < 0) return true;
  const int fd = static_cast<int>(target.fd);
  target.fd = -1;
  // A failed close can report a write the kernel could not complete (NFS, quotas).
  if (::close(fd) != 0 && errno != EINTR) {
    errorText = ErrnoText(errno);
    return false;
  }
  return true;
}

}  // namespace quorvid::platform
