// The thread pool and multi-threaded BLAKE3: every index runs once, busy and
// nested calls fall back to the caller, workers are held apart from the
// caller while they work for it, threaded digests equal the
// single-threaded ones on sizes around subtree boundaries, and so do
// digests put together from subtrees hashed apart.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "hashing/blake3.h"
#include "hashing/hasher.h"
#include "hashing/parallel_pool.h"
#include "test_support.h"

namespace quorvid {
namespace {

TEST(ParallelPool, RunsEveryIndexExactlyOnceEvenWhenNestedOrConcurrent) {
  EXPECT_GE(ParallelWidth(), 1u);
  std::vector<std::atomic<int>> hits(1000);
  ParallelFor(hits.size(), [&](size_t i) { hits[i].fetch_add(1); });
  for (auto& h : hits) EXPECT_EQ(h.load(), 1);

  // A job started from inside a job, and jobs from several threads at once.
  std::atomic<int> inner{0};
  ParallelFor(8, [&](size_t) { ParallelFor(5, [&](size_t) { inner.fetch_add(1); }); });
  EXPECT_EQ(inner.load(), 40);
  std::atomic<int> total{0};
  std::vector<std::thread> callers;
  for (int t = 0; t < 4; ++t)
    callers.emplace_back([&] {
      for (int r = 0; r < 50; ++r) ParallelFor(7, [&](size_t) { total.fetch_add(1); });
    });
  for (auto& t : callers) t.join();
  EXPECT_EQ(total.load(), 4 * 50 * 7);
  ParallelFor(0, [&](size_t) { ADD_FAILURE() << "no index for an empty job"; });
}

// The pool's workers are held apart from the caller while they work on its
// job, unless other threads hash too; the caller itself is never held.
TEST(ParallelPool, WorkersRunApartFromTheCallerUnlessCoresAreShared) {
  if (ParallelWidth() < 2) GTEST_SKIP() << "needs two processors";
  const int usable = test::ThreadAllowedProcessors();
  const std::thread::id caller = std::this_thread::get_id();
  std::atomic<int> byWorkers{0}, workersHeld{0};
  for (int round = 0; round < 3; ++round)
    ParallelFor(8, [&](size_t) {
      if (std::this_thread::get_id() != caller) {
        ++byWorkers;
        if (test::ThreadAllowedProcessors() == 1) ++workersHeld;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    });
  EXPECT_GT(byWorkers.load(), 0);
  EXPECT_EQ(workersHeld.load(), byWorkers.load());
  EXPECT_EQ(test::ThreadAllowedProcessors(), usable);

  // While other threads hash too, workers are left free, also one that was
  // held for an earlier job.
  std::atomic<int> workersFree{0};
  byWorkers = 0;
  {
    const CoresShared shared;
    for (int round = 0; round < 3; ++round)
      ParallelFor(8, [&](size_t) {
        if (std::this_thread::get_id() != caller) {
          ++byWorkers;
          if (test::ThreadAllowedProcessors() == usable) ++workersFree;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
      });
  }
  EXPECT_GT(byWorkers.load(), 0);
  EXPECT_EQ(workersFree.load(), byWorkers.load());
}

std::vector<uint8_t> Pattern(size_t size) {
  std::vector<uint8_t> data(size);
  uint64_t x = 0x9E3779B97F4A7C15ull;
  for (auto& b : data) {
    x = x * 6364136223846793005ull + 1442695040888963407ull;
    b = static_cast<uint8_t>(x >> 56);
  }
  return data;
}

std::string Blake3Text(const std::vector<uint8_t>& data, size_t size, size_t piece, bool threaded) {
  Blake3 h;
  h.SetThreaded(threaded);
  for (size_t pos = 0; pos < size; pos += piece) h.Update(data.data() + pos, std::min(piece, size - pos));
  uint8_t out[32];
  h.Final(out);
  return HexText({out, 32});
}

TEST(ParallelBlake3, ThreadedDigestEqualsSingleThreadedAroundSubtreeBoundaries) {
  const size_t kKiB = 1024, kMiB = 1024 * kKiB;
  const std::vector<size_t> sizes = {512 * kKiB - 1, 512 * kKiB,     512 * kKiB + 1,
                                     kMiB - 1,       kMiB,           kMiB + 1,
                                     kMiB + kKiB,    2 * kMiB + 1,   4 * kMiB - 1,
                                     4 * kMiB,       4 * kMiB + 1,   9 * kMiB + 517};
  const auto data = Pattern(sizes.back());
  for (size_t size : sizes) {
    const std::string single = Blake3Text(data, size, size, false);
    // One update, the engine's read size, and pieces that never line up.
    EXPECT_EQ(Blake3Text(data, size, size, true), single) << size;
    EXPECT_EQ(Blake3Text(data, size, 4 * kMiB, true), single) << size << " in 4 MiB reads";
    EXPECT_EQ(Blake3Text(data, size, 3 * kMiB + 7, true), single) << size << " in odd pieces";
  }
}

TEST(ParallelBlake3, SeveralHashersOnSeveralThreadsAgree) {
  const auto data = Pattern(6 * 1024 * 1024 + 3);
  const std::string expected = Blake3Text(data, data.size(), data.size(), false);
  std::vector<std::string> results(3);
  std::vector<std::thread> threads;
  for (size_t t = 0; t < results.size(); ++t)
    threads.emplace_back([&, t] { results[t] = Blake3Text(data, data.size(), 1 << 20, true); });
  for (auto& t : threads) t.join();
  for (const auto& r : results) EXPECT_EQ(r, expected);
}

// Whole subtrees hashed by hashers of their own (each fed in uneven pieces),
// their chaining values pushed in order, then whatever follows: the digest
// of the whole input, whatever the number of subtrees and the tail.
TEST(ParallelBlake3, SubtreesHashedApartGiveTheWholeDigest) {
  const size_t kPart = 4 * 1024;  // four chunks
  const auto data = Pattern(9 * kPart + 5000);
  for (size_t parts : {2, 3, 5, 8}) {
    for (size_t tail : {0, 1, 1023, 1024, 1025, 4095, 4096, 5000}) {
      const size_t size = parts * kPart + tail;
      Blake3 whole;
      for (size_t i = 0; i < parts; ++i) {
        Blake3 part;
        part.SetThreaded(false);
        part.ResetAt(i * kPart / 1024);
        const uint8_t* p = data.data() + i * kPart;
        part.Update(p, 1000);
        part.Update(p + 1000, 24);
        part.Update(p + 1024, kPart - 1024);
        uint8_t cv[32];
        part.FinalSubtree(cv);
        whole.PushSubtree(cv, kPart / 1024);
      }
      whole.Update(data.data() + parts * kPart, tail);
      uint8_t out[32];
      whole.Final(out);
      EXPECT_EQ(HexText({out, 32}), Blake3Text(data, size, size, false))
          << parts << " parts, tail " << tail;
    }
  }
}

}  // namespace
}  // namespace quorvid
