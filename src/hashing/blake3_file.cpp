#include "hashing/blake3_file.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "hashing/parallel_pool.h"
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
  bool stop = false;  // a part failed or the caller said stop
};

// The chaining value of the part at `offset`.
bool HashPart(const platform::FileReader& reader, uint64_t offset, size_t size, Cv& cv) {
  Blake3 part;
  part.SetThreaded(false);  // the other threads are busy with parts of their own
  part.ResetAt(offset / blake3::kChunkLen);
  static_assert(platform::kCachedReadPiece <= platform::kThreadReadBufferSize);
  uint8_t* buffer = platform::ThreadReadBuffer();
  for (size_t done = 0; done < size;) {
    const size_t want = std::min(platform::kCachedReadPiece, size - done);
    const int64_t n = reader.ReadAt(buffer, want, offset + done);
    if (n <= 0) return false;  // unreadable, or cut short
    part.Update(buffer, static_cast<size_t>(n));
    done += static_cast<size_t>(n);
  }
  part.FinalSubtree(cv.data());
  return true;
}

}  // namespace

bool HashWholePartsInParallel(platform::FileReader& reader, Blake3& hasher, size_t partSize,
                              size_t threads, const std::function<bool()>& abandon) {
  const uint64_t parts = static_cast<uint64_t>(reader.RegularSize()) / partSize;
  const uint64_t chunksPerPart = partSize / blake3::kChunkLen;
  const std::thread::id caller = std::this_thread::get_id();
  Shared s;

  const auto work = [&](size_t) {
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
      const bool ok = !abandoned && HashPart(reader, index * partSize, partSize, cv);
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
