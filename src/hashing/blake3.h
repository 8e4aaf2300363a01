// BLAKE3 in plain hash mode (no key, no derivation context), 32-byte output.
#pragma once

#include <array>

#include "hashing/blake3_impl.h"
#include "hashing/hasher.h"

namespace quorvid {

/// Streaming BLAKE3 on the calling thread. Whole subtrees of the input are
/// compressed through the dispatched "hash many" entry, so wider variants
/// speed up large updates. Hashing a file on several threads is the part
/// road's business (blake3_file.h), which builds on the subtree steps below.
class Blake3 final : public IHash {
 public:
  Blake3() { Reset(); }
  void Reset() override;
  void Update(const uint8_t* data, size_t size) override;
  void Final(uint8_t* out) override;
  size_t DigestSize() const override { return blake3::kOutLen; }

  /// The chunk in progress: its chaining value, counter and buffered block.
  struct ChunkState {
    uint32_t cv[8];
    uint64_t chunkCounter;
    uint8_t buf[blake3::kBlockLen];
    uint8_t bufLen;
    uint8_t blocksCompressed;
    uint8_t flags;
  };

 private:
  friend struct Blake3Subtrees;

  // --- The subtree steps: hashing one large input on several threads, each
  // thread hashing whole subtrees with its own positioned hasher, whose
  // chaining values are added in order to the hasher of the whole input.

  // Starts over as the hasher of a part of a longer input that begins at
  // chunk `chunkCounter` (its byte offset / 1024), for FinalSubtree.
  void ResetAt(uint64_t chunkCounter);
  // The chaining value of what was fed since ResetAt, which must be a whole
  // subtree of the longer input: a power-of-two number of chunks starting at
  // a multiple of that number. Ends this hasher's use until a reset.
  void FinalSubtree(uint8_t cv[blake3::kOutLen]);
  // Adds the chaining value of the whole subtree of `chunks` chunks that
  // follows what was fed so far. What was fed must end on a multiple of
  // `chunks` chunks, and more input (or another subtree) must follow: a
  // pushed subtree can never be the root.
  void PushSubtree(const uint8_t cv[blake3::kOutLen], uint64_t chunks);

  void MergeCvStack(uint64_t totalChunks);
  void PushCv(const uint8_t cv[blake3::kOutLen], uint64_t chunkCounter);
  // Final's tree walk: the root bytes, or for FinalSubtree the chaining value.
  void Finish(bool root, uint8_t* out);

  uint32_t key_[8];
  ChunkState chunk_;
  uint64_t startChunk_ = 0;  // where ResetAt placed this hasher
  uint8_t cvStackLen_ = 0;
  // Room for kMaxDepth levels plus the one lazily merged extra entry.
  uint8_t cvStack_[(blake3::kMaxDepth + 1) * blake3::kOutLen];
};

}  // namespace quorvid
