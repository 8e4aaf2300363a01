// Read-only access to one file, for the hash engine: front to back, or in
// parts at given offsets from several threads.
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
  /// name is missing, denotes a folder, or cannot be opened; with
  /// `regularOnly`, also when it is not a regular file once open. Such an
  /// open never waits: a FIFO put in a file's place is refused, not waited on.
  /// Other readers may open the file meanwhile; on Windows writers may not
  /// (the open fails while one has it, and none can open it after).
  /// "-" opens standard input, once a run: a second open of it fails.
  bool Open(const std::string& path, bool regularOnly = false);

  /// Reads up to `size` bytes into `buffer`. Returns the count read, 0 at the
  /// end of the file, -1 on a read error. Interrupted reads are retried. A
  /// regular file that ends before its size at open and is now shorter was
  /// cut short by another program while read: that is an error too, since
  /// its bytes so far are neither the old content nor the new.
  int64_t Read(uint8_t* buffer, size_t size);

  /// The size at open when the file is a regular one, else -1 (pipes,
  /// devices).
  int64_t RegularSize() const { return regularSize_; }

  /// Reads up to `size` bytes at `offset`: the count read, 0 past the end,
  /// -1 on a read error. Leaves the read position alone, and several threads
  /// may call it at once.
  int64_t ReadAt(uint8_t* buffer, size_t size, uint64_t offset) const;

  /// Moves the read position to `offset`, so Read goes on from there. False
  /// when the system refuses; the file is then closed, so later reads fail
  /// rather than hash the wrong bytes.
  bool SeekTo(uint64_t offset);

  /// Closes the file (harmless when none is open).
  void Close();

  bool IsOpen() const { return handle_ != -1; }

 private:
  bool CutShort() const;  // at an end before the size at open

  intptr_t handle_ = -1;  // the system's descriptor or handle
  int64_t regularSize_ = -1;
  uint64_t position_ = 0;  // bytes read, or the offset sought to
};

}  // namespace quorvid::platform
