// How a file is read for the algorithms that hash it: chosen from what is
// known when it is opened, before a byte is read. bench/README.md has the
// measurements behind the thresholds.
#pragma once

#include <cstddef>
#include <cstdint>

#include "hashing/hash_choices.h"

namespace quorvid {

enum class TReadRoad {
  /// Read whole into a small buffer and hashed on the reading thread: a
  /// small file costs one read (the first touch of a large buffer would cost
  /// more than its hashing).
  SmallFile,
  /// Read and hashed in pieces on the reading thread.
  OneThread,
  /// Read once into a ring of buffers while the algorithms hash the pieces
  /// side by side on the run's threads.
  Ring,
  /// A lone algorithm that can split a file (BLAKE3) hashes whole parts of
  /// it on every thread, each thread reading its own parts.
  Parts,
};

/// Files below this size take the small buffer.
inline constexpr size_t kSmallFileSize = 64 << 10;
/// The pieces a thread reads and hashes at a time: small enough to stay in
/// the core's own cache between the copy and the hashing.
inline constexpr size_t kReadPiece = 256 << 10;
/// The ring's pieces, and the size below which a file is read on one thread.
inline constexpr size_t kRingPiece = 1 << 20;

/// The road for a file of `size` bytes (-1 when unknown: a pipe or a
/// device) hashed under the real members of `set` with `width` threads,
/// from what the catalogue says of them. Pure: it asks nothing of the
/// system.
TReadRoad ChooseReadRoad(int64_t size, THashSet set, size_t width);

}  // namespace quorvid
