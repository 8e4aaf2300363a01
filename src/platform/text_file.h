// Reading a text file front to back in pieces (list files, exclusion lists).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quorvid::platform {

/// One file open for reading, with the system's text for every failure.
/// Closed on destruction.
class TextFileInput {
 public:
  TextFileInput() = default;
  ~TextFileInput();
  TextFileInput(const TextFileInput&) = delete;
  TextFileInput& operator=(const TextFileInput&) = delete;

  /// Opens `path` read-only. False, with `errorText` filled, when it cannot.
  bool Open(const std::string& path, std::string& errorText);

  /// Reads up to `size` bytes: the count read, 0 at the end, -1 with
  /// `errorText` filled on a read error. Interrupted reads are retried.
  int64_t Read(char* buffer, size_t size, std::string& errorText);

 private:
  intptr_t handle_ = -1;  // the system's descriptor or handle
};

}  // namespace quorvid::platform
