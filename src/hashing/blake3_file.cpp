#include "hashing/blake3_file.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "hashing/parallel_pool.h"
#include "hashing/read_counter.h"
#include "platform/read_buffer.h"

namespace quorvid {
namespace {

using Cv = std::array<uint8_t, blake3::kOutLen>;

// How far claims may run ahead of the first part not yet added: bounds the
// chaining values kept waiting should one thread stall.
constexpr uint64_t kClaimWindow = 64;

struct Shared {
  std::mutex mutex;
  std::condition_variable moved;  // a value was added, or the run stopped
  uint64_t nextClaim = 0;
  uint64_t nextAdd = 0;
  std::map<uint64_t, Cv> waiting;  // finished parts ahead of nextAdd
  bool stop = false;               // a part failed or the caller said stop
};

// How parts are got for the rest of the run: Measure until the run has
// timed both ways.
std::atomic<PartAccess> g_access{PartAccess::Measure};

// Feeds the part at `offset` to `part`, read in pieces.
bool ReadPart(const platform::FileReader& reader, uint64_t offset, size_t size, Blake3& part) {
  static_assert(platform::kCachedReadPiece <= platform::kThreadReadBufferSize);
  uint8_t* buffer = platform::ThreadReadBuffer();
  for (size_t done = 0; done < size;) {
    const size_t want = std::min(platform::kCachedReadPiece, size - done);
    const int64_t n = reader.ReadAt(buffer, want, offset + done);
    if (n <= 0) return false;  // unreadable, or cut short
    part.Update(buffer, static_cast<size_t>(n));
    done += static_cast<size_t>(n);
  }
  return true;
}

// The chaining value of the part at `offset`, got as `access` says; a view
// refused (the budget is spent) is read instead, and `access` tells so.
bool HashPart(const platform::FileReader& reader, uint64_t offset, size_t size,
              PartAccess& access, Cv& cv) {
  Blake3 part;
  part.SetThreaded(false);  // the other threads are busy with parts of their own
  part.ResetAt(offset / blake3::kChunkLen);
  platform::MappedView view;
  if (access == PartAccess::View && reader.ViewAt(view, offset, size)) {
    part.Update(view.Data(), size);
    if (view.Faulted()) return false;  // cut short under the view
  } else {
    access = PartAccess::Read;
    if (!ReadPart(reader, offset, size, part)) return false;
  }
  part.FinalSubtree(cv.data());
  return true;
}

// What the run has timed of both ways, in nanoseconds per byte: the quickest
// part of each, and how many parts were timed. Kept for the whole run, so
// files too small to decide alone add up to a verdict.
struct Timings {
  std::mutex mutex;
  double viewed = 0, read = 0;
  int viewedParts = 0, readParts = 0;
};

Timings& RunTimings() {
  static Timings timings;
  return timings;
}

// Parts of each way timed before the verdict: the quickest counts, so one
// slow part (a first view, a moment of another program's) does not decide.
constexpr int kTimedParts = 3;

// Views are kept unless clearly dearer. The parts timed lie at the front of
// the file, which, read from disk, sits in the cache in small pieces: there
// the two ways cost about the same and either wins by a tenth from one run
// to the next, while further on views are a fifth cheaper. Where views are
// dear at all, they cost several times the copy.
constexpr double kViewMargin = 1.25;

// How one thread gets its parts during one call while the run is measuring:
// its first part is read untimed (it warms the buffer and the caches), then
// parts are viewed and read in turn and timed, until the run decides.
struct Trial {
  int partsDone = 0;

  static bool Measuring() {
    return g_access.load(std::memory_order_relaxed) == PartAccess::Measure;
  }

  PartAccess Next() const {
    if (!Measuring()) return g_access.load(std::memory_order_relaxed);
    return partsDone % 2 == 1 ? PartAccess::View : PartAccess::Read;
  }

  void Record(PartAccess access, std::chrono::steady_clock::duration took, size_t size) {
    if (partsDone++ == 0 || !Measuring()) return;
    const double perByte = std::chrono::duration<double, std::nano>(took).count() / size;
    Timings& t = RunTimings();
    std::lock_guard<std::mutex> lock(t.mutex);
    double& best = access == PartAccess::View ? t.viewed : t.read;
    int& count = access == PartAccess::View ? t.viewedParts : t.readParts;
    best = count == 0 ? perByte : std::min(best, perByte);
    ++count;
    if (t.viewedParts < kTimedParts || t.readParts < kTimedParts) return;
    PartAccess expected = PartAccess::Measure;
    g_access.compare_exchange_strong(
        expected, t.viewed <= kViewMargin * t.read ? PartAccess::View : PartAccess::Read);
  }
};

}  // namespace

void SetPartAccess(PartAccess access) {
  Timings& t = RunTimings();
  std::lock_guard<std::mutex> lock(t.mutex);
  t.viewedParts = t.readParts = 0;
  g_access.store(access);
}

PartAccess CurrentPartAccess() { return g_access.load(); }

bool HashWholePartsInParallel(platform::FileReader& reader, Blake3& hasher, size_t partSize,
                              size_t threads, const std::function<bool()>& abandon) {
  const uint64_t parts = static_cast<uint64_t>(reader.RegularSize()) / partSize;
  const uint64_t chunksPerPart = partSize / blake3::kChunkLen;
  const std::thread::id caller = std::this_thread::get_id();
  Shared s;

  const auto work = [&](size_t) {
    Trial trial;
    for (;;) {
      uint64_t index;
      {
        std::unique_lock<std::mutex> lock(s.mutex);
        s.moved.wait(lock, [&] {
          return s.stop || s.nextClaim >= parts || s.nextClaim < s.nextAdd + kClaimWindow;
        });
        if (s.stop || s.nextClaim >= parts) return;
        index = s.nextClaim++;
      }
      Cv cv;
      const bool abandoned = std::this_thread::get_id() == caller && abandon && abandon();
      PartAccess access = trial.Next();
      const auto start = std::chrono::steady_clock::now();
      const bool ok = !abandoned && HashPart(reader, index * partSize, partSize, access, cv);
      if (ok) CountRead(static_cast<int64_t>(partSize));
      if (ok) trial.Record(access, std::chrono::steady_clock::now() - start, partSize);
      std::lock_guard<std::mutex> lock(s.mutex);
      if (!ok) {
        s.stop = true;
        s.moved.notify_all();
        return;
      }
      s.waiting.emplace(index, cv);
      // Whoever finishes the next part in order adds every value ready.
      for (auto it = s.waiting.begin(); it != s.waiting.end() && it->first == s.nextAdd;
           it = s.waiting.erase(it)) {
        hasher.PushSubtree(it->second.data(), chunksPerPart);
        ++s.nextAdd;
      }
      s.moved.notify_all();
    }
  };
  ParallelFor(std::max<size_t>(1, threads), work);
  // A failed part is never added, so the count tells failure too.
  if (s.nextAdd != parts) return false;
  return reader.SeekTo(parts * partSize);
}

}  // namespace quorvid
