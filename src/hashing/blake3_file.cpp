#include "hashing/blake3_file.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <map>
#include <mutex>

#include "hashing/executor.h"
#include "hashing/read_road.h"
#include "platform/read_buffer.h"

namespace quorvid {

using Cv = std::array<uint8_t, blake3::kOutLen>;

// The subtree side of Blake3, which only the part road needs.
struct Blake3Subtrees {
  // Starts `hasher` over as the hasher of the part that begins at chunk
  // `chunkCounter`.
  static void ResetAt(Blake3& hasher, uint64_t chunkCounter) { hasher.ResetAt(chunkCounter); }
  static void Final(Blake3& hasher, Cv& cv) { hasher.FinalSubtree(cv.data()); }
  static void Push(Blake3& hasher, const Cv& cv, uint64_t chunks) {
    hasher.PushSubtree(cv.data(), chunks);
  }
};

namespace {

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

void Count(const THashContext& context, int64_t bytes) {
  if (context.bytesRead != nullptr && bytes > 0)
    context.bytesRead->fetch_add(static_cast<uint64_t>(bytes), std::memory_order_relaxed);
}

// The chaining value of the part at `offset`, read in pieces.
bool HashPart(const platform::FileReader& reader, uint64_t offset, size_t size,
              const THashContext& context, Cv& cv) {
  Blake3 part;
  Blake3Subtrees::ResetAt(part, offset / blake3::kChunkLen);
  static_assert(kReadPiece <= platform::kThreadReadBufferSize);
  uint8_t* buffer = platform::ThreadReadBuffer();
  for (size_t done = 0; done < size;) {
    if (context.abandon && context.abandon()) return false;
    const size_t want = std::min(kReadPiece, size - done);
    const int64_t n = reader.ReadAt(buffer, want, offset + done);
    if (n <= 0) return false;  // unreadable, or cut short
    part.Update(buffer, static_cast<size_t>(n));
    Count(context, n);
    done += static_cast<size_t>(n);
  }
  Blake3Subtrees::Final(part, cv);
  return true;
}

}  // namespace

size_t PartSizeFor(int64_t fileSize, size_t width) {
  constexpr size_t kMinPart = 256 << 10;
  const auto wanted = static_cast<int64_t>(16 * std::max<size_t>(1, width));
  size_t part = 4 << 20;
  while (part > kMinPart && fileSize / static_cast<int64_t>(part) < wanted) part /= 2;
  return part;
}

bool HashBlake3InParts(platform::FileReader& reader, size_t partSize, const THashContext& context,
                       uint8_t out[blake3::kOutLen]) {
  Blake3 file;
  const uint64_t parts = static_cast<uint64_t>(reader.RegularSize()) / partSize;
  const uint64_t chunksPerPart = partSize / blake3::kChunkLen;
  Shared s;
  const auto share = [&](size_t) {
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
      const bool ok = HashPart(reader, index * partSize, partSize, context, cv);
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
        Blake3Subtrees::Push(file, it->second, chunksPerPart);
        ++s.nextAdd;
      }
      s.moved.notify_all();
    }
  };
  if (context.executor != nullptr)
    context.executor->Run(context.executor->Width(), share);
  else
    share(0);
  // A failed part is never added, so the count tells failure too.
  if (s.nextAdd != parts || !reader.SeekTo(parts * partSize)) return false;

  // The rest of the file, after the last whole part, on this thread.
  uint8_t* buffer = platform::ThreadReadBuffer();
  for (;;) {
    if (context.abandon && context.abandon()) return false;
    const int64_t n = reader.Read(buffer, kReadPiece);
    if (n < 0) return false;
    if (n == 0) break;
    file.Update(buffer, static_cast<size_t>(n));
    Count(context, n);
  }
  file.Final(out);
  return true;
}

}  // namespace quorvid
