#include "platform/text_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quorvid::platform {

TextFileInput::~TextFileInput() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

bool TextFileInput::Open(const std::string& path, std::string& errorText) {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
  } while (fd < 0 && errno == EINTR);
  handle_ = fd;
  if (fd < 0) errorText = std::strerror(errno);
  return fd >= 0;
}

int64_t TextFileInput::Read(char* buffer, size_t size, std::string& errorText) {
  for (;;) {
    ssize_t n = ::read(static_cast<int>(handle_), buffer, size);
    if (n >= 0) return static_cast<int64_t>(n);
    if (errno != EINTR) {
      errorText = std::strerror(errno);
      return -1;
    }
  }
}

}  // namespace quorvid::platform
