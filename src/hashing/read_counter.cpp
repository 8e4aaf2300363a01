#include "hashing/read_counter.h"

namespace quorvid {

namespace {

std::atomic<std::atomic<uint64_t>*> g_counter{nullptr};

}  // namespace

void SetReadCounter(std::atomic<uint64_t>* counter) {
  g_counter.store(counter, std::memory_order_release);
}

void CountRead(int64_t bytes) {
  if (bytes <= 0) return;
  if (std::atomic<uint64_t>* counter = g_counter.load(std::memory_order_acquire))
    counter->fetch_add(static_cast<uint64_t>(bytes), std::memory_order_relaxed);
}

}  // namespace quorvid
