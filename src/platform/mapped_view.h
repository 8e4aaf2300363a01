// Read-only views of part of a regular file straight from the file cache, so
// large files are hashed without copying every byte into a buffer first.
//
// A page that cannot be read while it is viewed (the file was cut short by
// another process meanwhile, or the device failed) would normally kill the
// process with SIGBUS. Here it reads as zeros instead and the view records
// the fault, so the caller reports the file as unreadable and goes on with
// the next one. Faults outside any view keep their usual deadly effect.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quorvid::platform {

class MappedView {
 public:
  MappedView() = default;
  ~MappedView();
  MappedView(const MappedView&) = delete;
  MappedView& operator=(const MappedView&) = delete;

  /// Views `length` (> 0) bytes of the open file `fd` from `offset`, which
  /// must be a multiple of ViewAlignment(). Any earlier view is dropped first.
  /// Every page is set up at once, since the caller goes through them all.
  /// False when the system refuses, or when the views of the whole process
  /// would pass kLiveViewBudget bytes: the caller then reads the file
  /// instead, so memory stays bounded however many files are hashed at once.
  bool Map(int fd, uint64_t offset, size_t length);

  /// Bytes all live views of the process may span together.
  static constexpr size_t kLiveViewBudget = 16u << 20;

  /// Drops the view (harmless when there is none).
  void Unmap();

  const uint8_t* Data() const { return base_; }
  size_t Size() const { return length_; }

  /// True when a page of the current view could not be read since Map: the
  /// bytes seen are not the file's.
  bool Faulted() const;

  /// Offsets passed to Map must be multiples of this (the page size).
  static size_t ViewAlignment();

 private:
  const uint8_t* base_ = nullptr;
  size_t length_ = 0;
  int slot_ = -1;  // entry in the table of live views the fault handler reads
};

}  // namespace quorvid::platform
