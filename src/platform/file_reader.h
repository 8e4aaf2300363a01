// Sequential read-only access to one file, for the hash engine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quorvid::platform {

/// One open file, read from offset 0 to its end. Closed on destruction.
class FileReader {
 public:
  FileReader() = default;
  ~FileReader();
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;

  /// Opens `path` read-only for one front-to-back pass. Returns false when the
  /// name is missing, denotes a folder, or cannot be opened.
  bool Open(const std::string& path);

  /// Reads up to `size` bytes into `buffer`. Returns the count read, 0 at the
  /// end of the file, -1 on a read error. Interrupted reads are retried.
  int64_t Read(uint8_t* buffer, size_t size);

  /// Closes the file (harmless when none is open).
  void Close();

  bool IsOpen() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace quorvid::platform
