// Feeds one read of a stream to several hash objects at once: the stream is
// read once into a small ring of buffers while the run's threads feed the
// pieces to the objects, any thread to any object but each object its
// pieces in order, so the algorithms run side by side. Every object sees
// exactly the bytes, in the order, a sequential loop would feed it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "hashing/executor.h"
#include "hashing/hasher.h"

namespace quorvid {

/// One hash object and its estimated cost per byte (any unit; the dearest
/// objects are fed first among equals, since they set the pace).
struct TWeightedHasher {
  IHash* hasher;
  double costPerByte;
};

/// Reads with `read(buffer, capacity)` (the count, 0 at the end, -1 on an
/// error) to the end, in pieces of `pieceSize` bytes into `slots` buffers,
/// and feeds every piece to every hasher, on the calling thread and the
/// executor's (any of them reads the next piece while a buffer is free, and
/// feeds what is waiting otherwise). `abandon` (may be empty) is asked
/// before each read. Returns false on a read error or an abandon; the
/// hashers then hold partial state. Works on the calling thread alone when
/// `executor` is null or busy.
bool StreamThroughRing(const std::vector<TWeightedHasher>& hashers, Executor* executor,
                       const std::function<int64_t(uint8_t*, size_t)>& read,
                       const std::function<bool()>& abandon, size_t pieceSize, size_t slots = 4);

}  // namespace quorvid
