#include "hashing/parallel_stream.h"

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "platform/read_buffer.h"

namespace quorvid {
namespace {

// The ring shared by the threads of one stream. Piece n lives in slot
// n % slots; a slot is read into again only after every hash object has
// consumed its piece. One thread reads at a time; any thread feeds any hash
// object its next piece, one thread at a time per object, so the work
// spreads evenly whatever each algorithm costs on this processor.
struct Ring {
  Ring(size_t slots, const std::vector<TWeightedHasher>& hashers)
      : lengths(slots, 0), pending(slots, 0), fed(hashers.size(), 0), busy(hashers.size(), false),
        order(hashers.size()) {
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
      return hashers[a].costPerByte > hashers[b].costPerByte;
    });
  }

  std::vector<size_t> lengths;
  std::vector<size_t> pending;  // hash objects still to consume the slot's piece
  std::vector<uint64_t> fed;    // pieces each hash object has consumed
  std::vector<bool> busy;       // a thread is feeding the object now
  std::vector<size_t> order;    // the hash objects, dearest first
  uint64_t produced = 0;        // pieces read so far
  uint64_t released = 0;        // pieces every object has consumed
  bool reading = false;         // a thread is reading the next piece
  bool ended = false;           // no more pieces will come
  bool failed = false;          // a read failed or the stream was abandoned
  std::mutex mutex;
  std::condition_variable changed;
};

// The hash object to feed next, or order.size() when none can be fed now:
// the dearest of those free and behind the pieces read.
size_t NextToFeed(const Ring& ring) {
  for (size_t h : ring.order)
    if (!ring.busy[h] && ring.fed[h] < ring.produced) return h;
  return ring.order.size();
}

// A thread waiting because the ring is full is woken once half of it is
// free, not for every slot: a wake-up per piece costs about what hashing a
// piece does for the fastest algorithms.
size_t RefillAt(size_t slots) { return std::max<size_t>(1, slots / 2); }

// The ring's buffers, kept by each thread that starts a stream for its next.
uint8_t* RingMemory(size_t bytes) { return platform::ThreadRingBuffer(bytes); }

// One thread's share of the stream. The ring is kept at least half full:
// below that a thread reads before it feeds; above it, it feeds first and
// reads only when nothing waits to be fed. A thread with nothing to do
// sleeps until there is.
void Share(Ring& ring, const std::vector<TWeightedHasher>& hashers, uint8_t* memory,
           size_t pieceSize, const std::function<int64_t(uint8_t*, size_t)>& read,
           const std::function<bool()>& abandon) {
  const size_t slots = ring.lengths.size();
  const size_t none = hashers.size();
  const auto readNext = [&](std::unique_lock<std::mutex>& lock) {
    ring.reading = true;
    const size_t slot = static_cast<size_t>(ring.produced % slots);
    lock.unlock();
    const bool stop = abandon && abandon();
    const int64_t got = stop ? -1 : read(memory + slot * pieceSize, pieceSize);
    lock.lock();
    ring.reading = false;
    if (got <= 0) {
      ring.ended = true;
      ring.failed = got < 0;
    } else {
      ring.lengths[slot] = static_cast<size_t>(got);
      ring.pending[slot] = hashers.size();
      ++ring.produced;
    }
    ring.changed.notify_all();
  };
  std::unique_lock<std::mutex> lock(ring.mutex);
  for (;;) {
    const uint64_t waiting = ring.produced - ring.released;
    const bool canRead = !ring.reading && !ring.ended && waiting < slots;
    if (canRead && waiting < RefillAt(slots)) {
      readNext(lock);
      continue;
    }
    const size_t h = NextToFeed(ring);
    if (h != none) {
      ring.busy[h] = true;
      const size_t slot = static_cast<size_t>(ring.fed[h] % slots);
      lock.unlock();
      hashers[h].hasher->Update(memory + slot * pieceSize, ring.lengths[slot]);
      lock.lock();
      ring.busy[h] = false;
      ++ring.fed[h];
      // Objects consume their pieces in order, so slots come free in order.
      const bool freed = --ring.pending[slot] == 0;
      if (freed) ++ring.released;
      if (NextToFeed(ring) != none ||
          (freed && ring.released + slots == ring.produced + RefillAt(slots)))
        ring.changed.notify_all();
      continue;
    }
    if (canRead) {
      readNext(lock);
      continue;
    }
    // At the end, what is left is in the hands of the threads feeding it.
    if (ring.ended) return;
    ring.changed.wait(lock);
  }
}

}  // namespace

bool StreamThroughRing(const std::vector<TWeightedHasher>& hashers, Executor* executor,
                       const std::function<int64_t(uint8_t*, size_t)>& read,
                       const std::function<bool()>& abandon, size_t pieceSize, size_t slots) {
  slots = std::max<size_t>(2, slots);
  uint8_t* memory = RingMemory(slots * pieceSize);
  Ring ring(slots, hashers);
  // One share per algorithm and one for the reading, as the threads allow.
  const size_t width = executor != nullptr ? executor->Width() : 1;
  const size_t shares = std::max<size_t>(1, std::min(width, hashers.size() + 1));
  const auto share = [&](size_t) { Share(ring, hashers, memory, pieceSize, read, abandon); };
  if (executor != nullptr)
    executor->Run(shares, share);
  else
    share(0);
  return !ring.failed;
}

}  // namespace quorvid
