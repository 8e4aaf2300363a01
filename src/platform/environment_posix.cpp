#include "platform/environment.h"

#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace quorvid::platform {

std::optional<std::string> EnvironmentVariable(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  if (!value) return std::nullopt;
  return std::string(value);
}

std::string ExecutablePath() {
  std::vector<char> buf(4096);
  for (;;) {
    ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) return "";
    if (static_cast<size_t>(n) < buf.size()) return std::string(buf.data(), static_cast<size_t>(n));
    buf.resize(buf.size() * 2);
  }
}

std::string TemporaryFolder() {
  // An empty variable names no folder, so it counts as unset.
  for (const char* name : {"TEMP", "TMPDIR"}) {
    const std::optional<std::string> value = EnvironmentVariable(name);
    if (value && !value->empty()) return *value;
  }
  return "/tmp";
}

}  // namespace quorvid::platform
