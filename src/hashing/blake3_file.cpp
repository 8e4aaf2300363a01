#include "hashing/blake3_file.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "hashing/parallel_pool.h"

namespace quorvid {
namespace {

using Cv = std::array<uint8_t, blake3::kOutLen>;

// Reads, for a part no view could be had for, go in pieces of this size.
constexpr size_t kReadPiece = 1 << 20;
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

// The chaining value of the part at `offset`: through a view of the file
// cache, or by reads when no view can be had.
bool HashPart(const platform::FileReader& reader, uint64_t offset, size_t size,
              std::unique_ptr<uint8_t[]>& buffer, Cv& cv) {
  Blake3 part;
  part.SetThreaded(false);  // the other threads are busy with parts of their own
  part.ResetAt(offset / blake3::kChunkLen);
  platform::MappedView view;
  if (reader.ViewAt(view, offset, size, /*populate=*/true)) {
    part.Update(view.Data(), view.Size());
    if (view.Faulted()) return false;
  } else {
    if (!buffer) buffer.reset(new uint8_t[kReadPiece]);
    for (size_t done = 0; done < size;) {
      const int64_t n = reader.ReadAt(buffer.get(), std::min(kReadPiece, size - done), offset + done);
      if (n <= 0) return false;  // unreadable, or cut short
      part.Update(buffer.get(), static_cast<size_t>(n));
      done += static_cast<size_t>(n);
    }
  }
  part.FinalSubtree(cv.data());
  return true;
}

}  // namespace

bool HashWholeViewsInParallel(platform::FileReader& reader, Blake3& hasher, size_t viewSize,
                              size_t threads, const std::function<bool()>& abandon) {
  const uint64_t parts = static_cast<uint64_t>(reader.RegularSize()) / viewSize;
  const uint64_t chunksPerPart = viewSize / blake3::kChunkLen;
  const std::thread::id caller = std::this_thread::get_id();
  Shared s;

  const auto work = [&](size_t) {
    std::unique_ptr<uint8_t[]> buffer;
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
      const bool ok = !abandoned && HashPart(reader, index * viewSize, viewSize, buffer, cv);
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
  return reader.SeekTo(parts * viewSize);
}

}  // namespace quorvid
