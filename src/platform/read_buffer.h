// Memory that file reads are copied into.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quorvid::platform {

/// A buffer for FileReader's reads, kept for many files. Fresh memory is
/// costly on some virtual machines: a page fault took about 10 us there, so
/// first touching 1 MiB cost 2.5 ms. The buffer is therefore asked for in
/// whole huge pages where the system allows it (about 0.15 ms for 2 MiB);
/// its start is page-aligned either way, which the system also copies into
/// faster than memory that starts part way into a cache line.
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

/// Bytes to read at a time into a buffer that is hashed right after: small
/// enough to stay in the core's own cache between the copy and the hashing.
/// 128 KiB, 256 KiB and 1 MiB took 124, 117 and 128 ms for XXHash64 over a
/// cached 1 GiB file, where copying out of the file cache matters most.
inline constexpr size_t kCachedReadPiece = 256 << 10;

/// The calling thread's own read buffer of kThreadReadBufferSize bytes, made
/// on first use and kept until the thread ends. Whatever a call puts there
/// is overwritten by the thread's next use, so it must not outlive the call.
uint8_t* ThreadReadBuffer();

/// Bytes of the buffer ThreadSmallReadBuffer gives.
inline constexpr size_t kThreadSmallReadBufferSize = 64 << 10;

/// The calling thread's own buffer for small files, of ordinary pages: the
/// big buffer's first touch fills a whole huge page with zeros (about a
/// tenth of a run that hashes one small file). Same lifetime rules as
/// ThreadReadBuffer.
uint8_t* ThreadSmallReadBuffer();

}  // namespace quorvid::platform
