#include "hashing/parallel_stream.h"

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/read_buffer.h"

namespace quorvid {
namespace {

// The ring shared by the fetching thread and the group workers. Piece n of
// the stream lives in slot n % slots; a slot is refilled only after every
// group has finished with it.
struct Ring {
  Ring(size_t slots, size_t groups) : pieces(slots, nullptr), lengths(slots, 0), pending(slots, 0), groupCount(groups) {}

  std::vector<const uint8_t*> pieces;
  std::vector<size_t> lengths;
  std::vector<size_t> pending;  // groups still to consume the slot's piece
  size_t groupCount;
  uint64_t produced = 0;        // pieces published so far
  bool ended = false;           // no more pieces will come
  std::mutex mutex;
  std::condition_variable filled;
  std::condition_variable freed;
};

void ConsumeGroup(Ring& ring, const std::vector<IHash*>& mine) {
  const size_t slots = ring.pieces.size();
  for (uint64_t n = 0;; ++n) {
    size_t slot = static_cast<size_t>(n % slots);
    const uint8_t* piece;
    size_t length;
    {
      std::unique_lock<std::mutex> lock(ring.mutex);
      ring.filled.wait(lock, [&] { return ring.produced > n || ring.ended; });
      if (ring.produced <= n) return;
      piece = ring.pieces[slot];
      length = ring.lengths[slot];
    }
    for (IHash* h : mine) h->Update(piece, length);
    {
      std::lock_guard<std::mutex> lock(ring.mutex);
      if (--ring.pending[slot] == 0) ring.freed.notify_one();
    }
  }
}

// The ring's buffers, kept by each reading thread for its next file.
uint8_t* RingMemory(size_t bytes) {
  thread_local std::unique_ptr<platform::ReadBuffer> memory;
  thread_local size_t held = 0;
  if (held < bytes) {
    memory.reset();
    memory = std::make_unique<platform::ReadBuffer>(bytes);
    held = bytes;
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

std::vector<std::vector<size_t>> BalanceGroups(const std::vector<TWeightedHasher>& hashers,
                                               size_t groups) {
  groups = std::max<size_t>(1, std::min(groups, hashers.size()));
  std::vector<size_t> order(hashers.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return hashers[a].costPerByte > hashers[b].costPerByte;
  });
  std::vector<std::vector<size_t>> out(groups);
  std::vector<double> load(groups, 0.0);
  for (size_t i : order) {
    size_t lightest = static_cast<size_t>(std::min_element(load.begin(), load.end()) - load.begin());
    out[lightest].push_back(i);
    load[lightest] += hashers[i].costPerByte;
  }
  return out;
}

bool StreamPiecesInParallel(const std::vector<TWeightedHasher>& hashers, size_t groups,
                            const TPieceSource& next, const std::function<bool()>& abort,
                            size_t slots) {
  const auto split = BalanceGroups(hashers, groups);
  slots = std::max<size_t>(2, slots);
  Ring ring(slots, split.size());
  std::vector<std::thread> workers;
  for (const auto& indexes : split) {
    std::vector<IHash*> mine;
    for (size_t i : indexes) mine.push_back(hashers[i].hasher);
    workers.emplace_back([&ring, mine] { ConsumeGroup(ring, mine); });
  }

  bool ok = true;
  for (uint64_t n = 0;; ++n) {
    size_t slot = static_cast<size_t>(n % slots);
    {
      std::unique_lock<std::mutex> lock(ring.mutex);
      ring.freed.wait(lock, [&] { return ring.pending[slot] == 0; });
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
    ring.pending[slot] = ring.groupCount;
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

bool StreamToHashersInParallel(const std::vector<TWeightedHasher>& hashers, size_t groups,
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
  return StreamPiecesInParallel(hashers, groups, next, check, slots);
}

}  // namespace quorvid
