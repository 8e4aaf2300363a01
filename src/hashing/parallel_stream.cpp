#include "hashing/parallel_stream.h"

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/read_buffer.h"
#include "platform/signals.h"

namespace quorvid {
namespace {

// The ring shared by the fetching thread and the hashing threads. Piece n of
// the stream lives in slot n % slots; a slot is refilled only after every
// hash object has consumed it. Any hashing thread feeds any hash object its
// next piece, one thread at a time per object, so the work spreads evenly
// over the threads whatever each algorithm costs on this processor.
struct Ring {
  Ring(size_t slots, const std::vector<TWeightedHasher>& hashers)
      : pieces(slots, nullptr), lengths(slots, 0), pending(slots, 0), fed(hashers.size(), 0),
        busy(hashers.size(), false), order(hashers.size()) {
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
      return hashers[a].costPerByte > hashers[b].costPerByte;
    });
  }

  std::vector<const uint8_t*> pieces;
  std::vector<size_t> lengths;
  std::vector<size_t> pending;  // hash objects still to consume the slot's piece
  std::vector<uint64_t> fed;    // pieces each hash object has consumed
  std::vector<bool> busy;       // a thread is feeding the object now
  std::vector<size_t> order;    // the hash objects, dearest first
  uint64_t produced = 0;        // pieces published so far
  uint64_t released = 0;        // pieces every object has consumed, in order
  bool ended = false;           // no more pieces will come
  std::mutex mutex;
  std::condition_variable filled;  // a piece came, an object came free, or the end
  std::condition_variable freed;
};

// The hash object to feed next, or order.size() when none can be fed now:
// the dearest of those free and behind the pieces published. The dearest
// objects set the pace, so they are never left waiting for a thread; the
// cheaper ones fill the gaps, and the ring holds them back no more than a
// few pieces.
size_t NextToFeed(const Ring& ring) {
  for (size_t h : ring.order)
    if (!ring.busy[h] && ring.fed[h] < ring.produced) return h;
  return ring.order.size();
}

// Free slots that wake a fetching thread waiting on a full ring. Waking it
// for every slot cost the hashing thread a wake-up call per piece; letting
// half the ring drain first halves them, and the pieces still waiting keep
// the hashing busy meanwhile. SHA2_256 over 1 GiB in a test program: 655 ms
// waking per piece, 642 ms waking per two, 634 ms for the bare loop.
size_t RefillAt(size_t slots) { return std::max<size_t>(1, slots / 2); }

void Consume(Ring& ring, const std::vector<TWeightedHasher>& hashers) {
  const size_t slots = ring.pieces.size();
  const size_t none = hashers.size();
  std::unique_lock<std::mutex> lock(ring.mutex);
  for (;;) {
    size_t h = none;
    ring.filled.wait(lock, [&] {
      h = NextToFeed(ring);
      return h != none || ring.ended;
    });
    // At the end, whatever is left is in the hands of the threads feeding it.
    if (h == none) return;
    ring.busy[h] = true;
    const size_t slot = static_cast<size_t>(ring.fed[h] % slots);
    const uint8_t* piece = ring.pieces[slot];
    const size_t length = ring.lengths[slot];
    lock.unlock();
    hashers[h].hasher->Update(piece, length);
    lock.lock();
    ring.busy[h] = false;
    ++ring.fed[h];
    // Objects consume their pieces in order, so slots come free in order.
    if (--ring.pending[slot] == 0 && ++ring.released + slots == ring.produced + RefillAt(slots))
      ring.freed.notify_one();
    ring.filled.notify_all();  // another thread may feed `h` its next piece
  }
}

// The ring's buffers, kept by each reading thread for its next file.
uint8_t* RingMemory(size_t bytes) {
  thread_local std::unique_ptr<platform::ReadBuffer> memory;
  if (!memory || memory->Size() < bytes) {
    memory.reset();  // the old mapping goes before the new one is made
    memory = std::make_unique<platform::ReadBuffer>(bytes);
  }
  return memory->Data();
}

}  // namespace

double EstimatedCostPerByte(THashChoices choice) {
  switch (choice) {
    case THashChoices::MD5: return 5.0;
    case THashChoices::SHA1: return 1.6;
    case THashChoices::SHA2_256: return 2.0;
    case THashChoices::SHA2_384:
    case THashChoices::SHA2_512: return 5.0;
    case THashChoices::SHA3_256: return 7.5;
    case THashChoices::SHA3_384: return 9.5;
    case THashChoices::SHA3_512: return 13.5;
    case THashChoices::Blake2S: return 5.0;
    case THashChoices::Blake2B: return 3.3;
    case THashChoices::Blake3: return 0.7;
    case THashChoices::XXHash64: return 0.15;
    case THashChoices::MurmurHash3_x86: return 1.0;
    case THashChoices::MurmurHash3_x64: return 0.5;
    case THashChoices::None: break;
  }
  return 1.0;
}

bool StreamPiecesInParallel(const std::vector<TWeightedHasher>& hashers, size_t threads,
                            const TPieceSource& next, const std::function<bool()>& abort,
                            size_t slots) {
  slots = std::max<size_t>(2, slots);
  Ring ring(slots, hashers);
  std::vector<std::thread> workers;
  threads = std::max<size_t>(1, std::min(threads, hashers.size()));
  {
    // Signals stay with the thread that runs the program.
    const platform::ScopedSignalsBlocked quiet;
    for (size_t i = 0; i < threads; ++i) workers.emplace_back([&] { Consume(ring, hashers); });
  }

  bool ok = true;
  for (uint64_t n = 0;; ++n) {
    size_t slot = static_cast<size_t>(n % slots);
    {
      std::unique_lock<std::mutex> lock(ring.mutex);
      // A full ring is waited on until enough of it has drained.
      if (ring.produced == ring.released + slots)
        ring.freed.wait(lock, [&] {
          return ring.released + slots >= ring.produced + RefillAt(slots);
        });
    }
    if (abort && abort()) {
      ok = false;
      break;
    }
    const uint8_t* piece = nullptr;
    int64_t got = next(slot, piece);
    if (got < 0) ok = false;
    if (got <= 0) break;
    std::lock_guard<std::mutex> lock(ring.mutex);
    ring.pieces[slot] = piece;
    ring.lengths[slot] = static_cast<size_t>(got);
    ring.pending[slot] = hashers.size();
    ++ring.produced;
    ring.filled.notify_all();
  }
  {
    std::lock_guard<std::mutex> lock(ring.mutex);
    ring.ended = true;
    ring.filled.notify_all();
  }
  for (std::thread& t : workers) t.join();
  return ok;
}

bool StreamToHashersInParallel(const std::vector<TWeightedHasher>& hashers, size_t threads,
                               const std::function<int64_t(uint8_t*, size_t)>& read,
                               const std::function<bool()>& abort, const uint8_t* firstBuffer,
                               size_t first, size_t bufferSize, size_t slots) {
  slots = std::max<size_t>(2, slots);
  uint8_t* memory = RingMemory(slots * bufferSize);
  bool firstPending = firstBuffer != nullptr;
  const TPieceSource next = [&](size_t slot, const uint8_t*& data) -> int64_t {
    if (firstPending) {
      // The piece the caller read already is handed on as it is.
      firstPending = false;
      data = firstBuffer;
      return static_cast<int64_t>(first);
    }
    uint8_t* buffer = memory + slot * bufferSize;
    data = buffer;
    return read(buffer, bufferSize);
  };
  // The first piece is already there: asking `abort` before it would drop it.
  const std::function<bool()> check = [&] { return !firstPending && abort && abort(); };
  return StreamPiecesInParallel(hashers, threads, next, check, slots);
}

}  // namespace quorvid
