// Feeds one stream of reads to several hash objects at once: the caller's
// thread reads into a small ring of buffers while worker threads feed the
// pieces to the objects, any thread to any object but each object its pieces
// in order, so the file is read once and the algorithms run side by side.
// Every object sees exactly the bytes, in the order, a sequential loop would
// feed it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "hashing/hasher.h"

namespace quorvid {

/// One hash object and its estimated cost per byte (any unit; the dearest
/// objects are fed first among equals).
struct TWeightedHasher {
  IHash* hasher;
  double costPerByte;
};

/// Supplies a stream piece by piece: next(slot, data) makes the next piece
/// available for ring slot `slot` (nobody uses that slot's earlier piece any
/// more), points `data` at it and returns its length: 0 at the end, -1 on an
/// error.
using TPieceSource = std::function<int64_t(size_t slot, const uint8_t*& data)>;

/// Feeds every piece of `next`, in order, to every hasher using `threads`
/// worker threads (at least 1) while the calling thread fetches the next
/// pieces into up to `slots` ring slots. `abort` (may be empty) is asked
/// before each piece; true stops the stream. Returns false on a piece error
/// or an abort; the hashers then hold partial state.
bool StreamPiecesInParallel(const std::vector<TWeightedHasher>& hashers, size_t threads,
                            const TPieceSource& next, const std::function<bool()>& abort,
                            size_t slots = 4);

/// Reads with `read(buffer, capacity)` (count, 0 at the end, -1 on error)
/// until the end, starting with `first` bytes already in `firstBuffer`, and
/// feeds every byte to every hasher using `threads` worker threads (at
/// least 1). `abort` (may be empty) is asked before each read; true stops the
/// stream. Returns false on a read error or an abort; the hashers then hold
/// partial state. Memory: `slots` buffers of `bufferSize` bytes, kept by the
/// calling thread for its next call.
bool StreamToHashersInParallel(const std::vector<TWeightedHasher>& hashers, size_t threads,
                               const std::function<int64_t(uint8_t*, size_t)>& read,
                               const std::function<bool()>& abort, const uint8_t* firstBuffer,
                               size_t first, size_t bufferSize, size_t slots = 4);

/// Relative cycles per byte of `choice` on a current x86-64 processor: an
/// estimate, for choosing roads and the order objects are fed in.
double EstimatedCostPerByte(THashChoices choice);

}  // namespace quorvid
