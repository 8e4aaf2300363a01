// Sequential read-only access to one file, for the hash engine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/mapped_view.h"

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

  /// The size at open when the file is a regular one, else -1 (pipes,
  /// devices).
  int64_t RegularSize() const { return regularSize_; }

  /// Views the next at most `length` bytes (a multiple of
  /// MappedView::ViewAlignment()) of a regular file, up to its size at open,
  /// instead of reading them. False past that size or when the system
  /// refuses; Read then goes on right after the last byte viewed, so a file
  /// that grew meanwhile is still read to its end.
  /// `populate` is passed on to MappedView::Map.
  bool ViewNext(MappedView& view, size_t length, bool populate = false);

  /// Views `length` bytes at `offset` (a multiple of
  /// MappedView::ViewAlignment()), which must lie within the size at open.
  /// Leaves the read position alone, and several threads may call it at once
  /// (each with its own view). False when the system refuses. `populate` is
  /// passed on to MappedView::Map.
  bool ViewAt(MappedView& view, uint64_t offset, size_t length, bool populate = false) const;

  /// Reads up to `size` bytes at `offset`, as Read does, but leaves the read
  /// position alone; several threads may call it at once.
  int64_t ReadAt(uint8_t* buffer, size_t size, uint64_t offset) const;

  /// Moves the read position to `offset`, so Read goes on from there. False
  /// when the system refuses; the file is then closed, so later reads fail
  /// rather than hash the wrong bytes.
  bool SeekTo(uint64_t offset);

  /// Closes the file (harmless when none is open).
  void Close();

  bool IsOpen() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
  int64_t regularSize_ = -1;
  uint64_t viewed_ = 0;  // bytes handed out as views so far
};

}  // namespace quorvid::platform
