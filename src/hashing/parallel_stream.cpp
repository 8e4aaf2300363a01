#include "hashing/parallel_stream.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

namespace quorvid {
namespace {

// The ring shared by the reader and the group workers. Buffer n of the
// stream lives in slot n % slots; a slot is refilled only after every group
// has finished with it.
struct Ring {
  Ring(size_t slots, size_t bufferSize, size_t groups)
      : storage(slots), lengths(slots, 0), pending(slots, 0), groupCount(groups) {
    for (auto& s : storage) s.reset(new uint8_t[bufferSize]);
  }

  std::vector<std::unique_ptr<uint8_t[]>> storage;
  std::vector<size_t> lengths;
  std::vector<size_t> pending;  // groups still to consume the slot's buffer
  size_t groupCount;
  uint64_t produced = 0;        // buffers published so far
  bool ended = false;           // no more buffers will come
  std::mutex mutex;
  std::condition_variable filled;
  std::condition_variable freed;
};

void ConsumeGroup(Ring& ring, const std::vector<IHash*>& mine) {
  const size_t slots = ring.storage.size();
  for (uint64_t n = 0;; ++n) {
    size_t slot = static_cast<size_t>(n % slots);
    size_t length;
    {
      std::unique_lock<std::mutex> lock(ring.mutex);
      ring.filled.wait(lock, [&] { return ring.produced > n || ring.ended; });
      if (ring.produced <= n) return;
      length = ring.lengths[slot];
    }
    for (IHash* h : mine) h->Update(ring.storage[slot].get(), length);
    {
      std::lock_guard<std::mutex> lock(ring.mutex);
      if (--ring.pending[slot] == 0) ring.freed.notify_one();
    }
  }
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

bool StreamToHashersInParallel(const std::vector<TWeightedHasher>& hashers, size_t groups,
                               const std::function<int64_t(uint8_t*, size_t)>& read,
                               const std::function<bool()>& abort, const uint8_t* firstBuffer,
                               size_t first, size_t bufferSize, size_t slots) {
  const auto split = BalanceGroups(hashers, groups);
  slots = std::max<size_t>(2, slots);
  Ring ring(slots, bufferSize, split.size());
  std::vector<std::thread> workers;
  for (const auto& indexes : split) {
    std::vector<IHash*> mine;
    for (size_t i : indexes) mine.push_back(hashers[i].hasher);
    workers.emplace_back([&ring, mine] { ConsumeGroup(ring, mine); });
  }

  bool ok = true;
  size_t pendingFirst = first;
  for (uint64_t n = 0;; ++n) {
    size_t slot = static_cast<size_t>(n % slots);
    {
      std::unique_lock<std::mutex> lock(ring.mutex);
      ring.freed.wait(lock, [&] { return ring.pending[slot] == 0; });
    }
    int64_t got;
    if (n == 0 && firstBuffer != nullptr) {
      std::memcpy(ring.storage[slot].get(), firstBuffer, pendingFirst);
      got = static_cast<int64_t>(pendingFirst);
    } else {
      if (abort && abort()) {
        ok = false;
        break;
      }
      got = read(ring.storage[slot].get(), bufferSize);
    }
    if (got < 0) ok = false;
    if (got <= 0) break;
    std::lock_guard<std::mutex> lock(ring.mutex);
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

}  // namespace quorvid
