#include "hashing/blake3.h"

#include <algorithm>
#include <bit>
#include <cstring>


namespace quorvid {
namespace {

using namespace blake3;
using ChunkState = Blake3::ChunkState;

// What a node needs to produce either its chaining value or the root output.
struct Output {
  uint32_t inputCv[8];
  uint64_t counter;
  uint8_t block[kBlockLen];
  uint8_t blockLen;
  uint8_t flags;
};

void StoreCv(uint8_t out[kOutLen], const uint32_t cv[8]) {
  for (size_t i = 0; i < 8; ++i)
    for (size_t b = 0; b < 4; ++b) out[4 * i + b] = static_cast<uint8_t>(cv[i] >> (8 * b));
}

Output MakeOutput(const uint32_t cv[8], const uint8_t block[kBlockLen], uint8_t blockLen,
                  uint64_t counter, uint8_t flags) {
  Output o;
  std::memcpy(o.inputCv, cv, sizeof o.inputCv);
  std::memcpy(o.block, block, kBlockLen);
  o.blockLen = blockLen;
  o.counter = counter;
  o.flags = flags;
  return o;
}

void OutputChainingValue(const Output& o, uint8_t cv[kOutLen]) {
  uint32_t words[8];
  std::memcpy(words, o.inputCv, sizeof words);
  CompressInPlace(words, o.block, o.blockLen, o.counter, o.flags);
  StoreCv(cv, words);
}

void OutputRootBytes(const Output& o, uint8_t out[kOutLen]) {
  uint8_t wide[64];
  CompressXof(o.inputCv, o.block, o.blockLen, 0, o.flags | kRoot, wide);
  std::memcpy(out, wide, kOutLen);
}

void ChunkInit(ChunkState& c, const uint32_t key[8], uint8_t flags, uint64_t counter) {
  std::memcpy(c.cv, key, sizeof c.cv);
  c.chunkCounter = counter;
  std::memset(c.buf, 0, sizeof c.buf);
  c.bufLen = 0;
  c.blocksCompressed = 0;
  c.flags = flags;
}

size_t ChunkLen(const ChunkState& c) { return kBlockLen * c.blocksCompressed + c.bufLen; }

uint8_t ChunkStartFlag(const ChunkState& c) { return c.blocksCompressed == 0 ? kChunkStart : 0; }

size_t ChunkFillBuf(ChunkState& c, const uint8_t* input, size_t size) {
  size_t take = std::min(kBlockLen - c.bufLen, size);
  std::memcpy(c.buf + c.bufLen, input, take);
  c.bufLen = static_cast<uint8_t>(c.bufLen + take);
  return take;
}

// Feeds at most the rest of one chunk. The last block always stays buffered,
// since only the output step knows whether it ends the chunk.
void ChunkUpdate(ChunkState& c, const uint8_t* input, size_t size) {
  if (c.bufLen > 0) {
    size_t take = ChunkFillBuf(c, input, size);
    input += take;
    size -= take;
    if (size > 0) {
      CompressInPlace(c.cv, c.buf, kBlockLen, c.chunkCounter, c.flags | ChunkStartFlag(c));
      ++c.blocksCompressed;
      c.bufLen = 0;
      std::memset(c.buf, 0, sizeof c.buf);
    }
  }
  while (size > kBlockLen) {
    CompressInPlace(c.cv, input, kBlockLen, c.chunkCounter, c.flags | ChunkStartFlag(c));
    ++c.blocksCompressed;
    input += kBlockLen;
    size -= kBlockLen;
  }
  ChunkFillBuf(c, input, size);
}

Output ChunkOutput(const ChunkState& c) {
  return MakeOutput(c.cv, c.buf, c.bufLen, c.chunkCounter, c.flags | ChunkStartFlag(c) | kChunkEnd);
}

Output ParentOutput(const uint8_t block[kBlockLen], const uint32_t key[8], uint8_t flags) {
  return MakeOutput(key, block, kBlockLen, 0, flags | kParent);
}

uint64_t RoundDownToPowerOf2(uint64_t x) { return std::bit_floor(x); }

// Bytes in the left subtree of a tree over `contentLen` bytes (> one chunk):
// the largest power-of-two number of whole chunks that leaves something right.
size_t LeftLen(size_t contentLen) {
  size_t fullChunks = (contentLen - 1) / kChunkLen;
  return RoundDownToPowerOf2(fullChunks) * kChunkLen;
}

size_t CompressChunksParallel(const uint8_t* input, size_t size, const uint32_t key[8],
                              uint64_t chunkCounter, uint8_t flags, uint8_t* out) {
  const uint8_t* chunks[kMaxSimdDegree];
  size_t count = 0;
  size_t pos = 0;
  while (size - pos >= kChunkLen) {
    chunks[count++] = input + pos;
    pos += kChunkLen;
  }
  HashMany(chunks, count, kChunkLen / kBlockLen, key, chunkCounter, true, flags, kChunkStart,
           kChunkEnd, out);
  if (size > pos) {
    ChunkState c;
    ChunkInit(c, key, flags, chunkCounter + count);
    ChunkUpdate(c, input + pos, size - pos);
    OutputChainingValue(ChunkOutput(c), out + count * kOutLen);
    return count + 1;
  }
  return count;
}

size_t CompressParentsParallel(const uint8_t* childCvs, size_t numCvs, const uint32_t key[8],
                               uint8_t flags, uint8_t* out) {
  const uint8_t* parents[kMaxSimdDegreeOr2];
  size_t count = 0;
  while (numCvs - 2 * count >= 2) {
    parents[count] = childCvs + 2 * count * kOutLen;
    ++count;
  }
  HashMany(parents, count, 1, key, 0, false, flags | kParent, 0, 0, out);
  if (numCvs > 2 * count) {  // an odd one out is passed up unchanged
    std::memcpy(out + count * kOutLen, childCvs + 2 * count * kOutLen, kOutLen);
    return count + 1;
  }
  return count;
}

// Compresses a whole subtree (a power-of-two number of chunks, or the final
// rest) into at most SimdDegree (at least 2) chaining values, so the caller
// can hand all of them to HashMany at once.
size_t CompressSubtreeWide(const uint8_t* input, size_t size, const uint32_t key[8],
                           uint64_t chunkCounter, uint8_t flags, uint8_t* out) {
  if (size <= SimdDegree() * kChunkLen)
    return CompressChunksParallel(input, size, key, chunkCounter, flags, out);

  size_t leftLen = LeftLen(size);
  size_t rightLen = size - leftLen;
  uint64_t rightCounter = chunkCounter + leftLen / kChunkLen;

  uint8_t cvs[2 * kMaxSimdDegreeOr2 * kOutLen];
  size_t degree = SimdDegree();
  if (leftLen > kChunkLen && degree == 1) degree = 2;  // keep at least two for a parent
  uint8_t* rightCvs = cvs + degree * kOutLen;

  size_t leftN = CompressSubtreeWide(input, leftLen, key, chunkCounter, flags, cvs);
  size_t rightN = CompressSubtreeWide(input + leftLen, rightLen, key, rightCounter, flags, rightCvs);
  if (leftN == 1) {  // only when both halves are single chunks
    std::memcpy(out, cvs, 2 * kOutLen);
    return 2;
  }
  return CompressParentsParallel(cvs, leftN + rightN, key, flags, out);
}

// Reduces a subtree to the two chaining values of its root's children.
void CompressSubtreeToParentNode(const uint8_t* input, size_t size, const uint32_t key[8],
                                 uint64_t chunkCounter, uint8_t flags, uint8_t out[2 * kOutLen]) {
  uint8_t cvs[kMaxSimdDegreeOr2 * kOutLen];
  size_t n = CompressSubtreeWide(input, size, key, chunkCounter, flags, cvs);
  uint8_t parents[kMaxSimdDegreeOr2 * kOutLen / 2];
  while (n > 2) {
    n = CompressParentsParallel(cvs, n, key, flags, parents);
    std::memcpy(cvs, parents, n * kOutLen);
  }
  std::memcpy(out, cvs, 2 * kOutLen);
}

}  // namespace

void Blake3::Reset() {
  std::copy(kIV.begin(), kIV.end(), key_);
  ChunkInit(chunk_, key_, 0, 0);
  cvStackLen_ = 0;
  startChunk_ = 0;
}

// Merges completed subtrees until the stack holds one entry per set bit of
// `totalChunks`. Merging is lazy: the newest entry may still be the root's
// child, which only the next input or Final can tell.
void Blake3::MergeCvStack(uint64_t totalChunks) {
  // Counted from the first chunk this hasher saw: a hasher started by ResetAt
  // holds only its own subtree, and its start is a multiple of that
  // subtree's size, so the chunks before it add no bits here.
  size_t postMergeLen = static_cast<size_t>(std::popcount(totalChunks - startChunk_));
  while (cvStackLen_ > postMergeLen) {
    uint8_t* parentNode = cvStack_ + (cvStackLen_ - 2) * kOutLen;
    OutputChainingValue(ParentOutput(parentNode, key_, chunk_.flags), parentNode);
    --cvStackLen_;
  }
}

void Blake3::PushCv(const uint8_t cv[kOutLen], uint64_t chunkCounter) {
  MergeCvStack(chunkCounter);
  std::memcpy(cvStack_ + cvStackLen_ * kOutLen, cv, kOutLen);
  ++cvStackLen_;
}

void Blake3::Update(const uint8_t* input, size_t size) {
  if (size == 0) return;

  // Finish the chunk in progress first.
  if (ChunkLen(chunk_) > 0) {
    size_t take = std::min(kChunkLen - ChunkLen(chunk_), size);
    ChunkUpdate(chunk_, input, take);
    input += take;
    size -= take;
    if (size == 0) return;
    uint8_t cv[kOutLen];
    OutputChainingValue(ChunkOutput(chunk_), cv);
    PushCv(cv, chunk_.chunkCounter);
    ChunkInit(chunk_, key_, chunk_.flags, chunk_.chunkCounter + 1);
  }

  // Whole subtrees, as large as both the input and the tree alignment allow.
  // At least one byte is kept back for the chunk state, which may be the root.
  while (size > kChunkLen) {
    uint64_t subtreeLen = RoundDownToPowerOf2(size);
    uint64_t countSoFar = chunk_.chunkCounter * kChunkLen;
    while (((subtreeLen - 1) & countSoFar) != 0) subtreeLen /= 2;
    uint64_t subtreeChunks = subtreeLen / kChunkLen;
    if (subtreeLen <= kChunkLen) {
      ChunkState c;
      ChunkInit(c, key_, chunk_.flags, chunk_.chunkCounter);
      ChunkUpdate(c, input, subtreeLen);
      uint8_t cv[kOutLen];
      OutputChainingValue(ChunkOutput(c), cv);
      PushCv(cv, c.chunkCounter);
    } else {
      uint8_t cvPair[2 * kOutLen];
      CompressSubtreeToParentNode(input, subtreeLen, key_, chunk_.chunkCounter, chunk_.flags,
                                  cvPair);
      PushCv(cvPair, chunk_.chunkCounter);
      PushCv(cvPair + kOutLen, chunk_.chunkCounter + subtreeChunks / 2);
    }
    chunk_.chunkCounter += subtreeChunks;
    input += subtreeLen;
    size -= subtreeLen;
  }

  if (size > 0) {
    ChunkUpdate(chunk_, input, size);
    MergeCvStack(chunk_.chunkCounter);
  }
}

void Blake3::Final(uint8_t* out) { Finish(true, out); }

void Blake3::ResetAt(uint64_t chunkCounter) {
  Reset();
  chunk_.chunkCounter = chunkCounter;
  startChunk_ = chunkCounter;
}

void Blake3::FinalSubtree(uint8_t cv[kOutLen]) { Finish(false, cv); }

void Blake3::PushSubtree(const uint8_t cv[kOutLen], uint64_t chunks) {
  PushCv(cv, chunk_.chunkCounter);
  chunk_.chunkCounter += chunks;
}

void Blake3::Finish(bool root, uint8_t* out) {
  const auto emit = [&](const Output& o) {
    if (root)
      OutputRootBytes(o, out);
    else
      OutputChainingValue(o, out);
  };
  if (cvStackLen_ == 0) {
    emit(ChunkOutput(chunk_));
    return;
  }
  Output output;
  size_t remaining;
  if (ChunkLen(chunk_) > 0) {
    remaining = cvStackLen_;
    output = ChunkOutput(chunk_);
  } else {
    // The input ended on a chunk boundary: the top two stack entries form the
    // last parent.
    remaining = cvStackLen_ - 2u;
    output = ParentOutput(cvStack_ + remaining * kOutLen, key_, chunk_.flags);
  }
  while (remaining > 0) {
    --remaining;
    uint8_t parentBlock[kBlockLen];
    std::memcpy(parentBlock, cvStack_ + remaining * kOutLen, kOutLen);
    OutputChainingValue(output, parentBlock + kOutLen);
    output = ParentOutput(parentBlock, key_, chunk_.flags);
  }
  emit(output);
}

}  // namespace quorvid
