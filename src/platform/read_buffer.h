// Memory that file reads are copied into.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quorvid::platform {

/// A buffer for FileReader's reads, kept for many files. Fresh memory is
/// costly on some virtual machines (a page fault each 4 KiB), so the buffer
/// is asked for in whole huge pages where the system allows it; its start is
/// page-aligned either way, which the system also copies into faster.
class ReadBuffer {
 public:
  /// At least `size` bytes. Throws std::bad_alloc when the system refuses.
  explicit ReadBuffer(size_t size);
  ~ReadBuffer();
  ReadBuffer(const ReadBuffer&) = delete;
  ReadBuffer& operator=(const ReadBuffer&) = delete;

  uint8_t* Data() const { return data_; }
  /// Bytes usable: at least those asked for.
  size_t Size() const { return mapped_; }

 private:
  uint8_t* data_ = nullptr;
  size_t mapped_ = 0;
};

/// Bytes of the buffer ThreadReadBuffer gives.
inline constexpr size_t kThreadReadBufferSize = 1 << 20;

/// The calling thread's own read buffer of kThreadReadBufferSize bytes, made
/// on first use and kept until the thread ends. Whatever a call puts there
/// is overwritten by the thread's next use, so it must not outlive the call.
uint8_t* ThreadReadBuffer();

/// Bytes of the buffer ThreadSmallReadBuffer gives.
inline constexpr size_t kThreadSmallReadBufferSize = 64 << 10;

/// The calling thread's own buffer for small files, of ordinary pages: the
/// big buffer's first touch fills a whole huge page with zeros, dear for a
/// run that hashes one small file. Same lifetime rules as ThreadReadBuffer.
uint8_t* ThreadSmallReadBuffer();

/// The calling thread's buffer of at least `bytes`, for the ring of pieces a
/// stream is read into; kept until the thread asks for more or ends, when
/// the old one goes first. Same lifetime rules as ThreadReadBuffer.
uint8_t* ThreadRingBuffer(size_t bytes);

}  // namespace quorvid::platform
