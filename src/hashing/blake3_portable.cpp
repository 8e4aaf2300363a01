#include <bit>
#include <cstring>

#include "hashing/blake3_impl.h"

namespace quorvid::blake3 {
namespace {

uint32_t Load32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

void Store32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}

inline void G(uint32_t* s, size_t a, size_t b, size_t c, size_t d, uint32_t x, uint32_t y) {
  s[a] = s[a] + s[b] + x;
  s[d] = std::rotr(s[d] ^ s[a], 16);
  s[c] = s[c] + s[d];
  s[b] = std::rotr(s[b] ^ s[c], 12);
  s[a] = s[a] + s[b] + y;
  s[d] = std::rotr(s[d] ^ s[a], 8);
  s[c] = s[c] + s[d];
  s[b] = std::rotr(s[b] ^ s[c], 7);
}

inline void Round(uint32_t s[16], const uint32_t m[16], size_t round) {
  const auto& o = kMessageSchedule[round];
  G(s, 0, 4, 8, 12, m[o[0]], m[o[1]]);
  G(s, 1, 5, 9, 13, m[o[2]], m[o[3]]);
  G(s, 2, 6, 10, 14, m[o[4]], m[o[5]]);
  G(s, 3, 7, 11, 15, m[o[6]], m[o[7]]);
  G(s, 0, 5, 10, 15, m[o[8]], m[o[9]]);
  G(s, 1, 6, 11, 12, m[o[10]], m[o[11]]);
  G(s, 2, 7, 8, 13, m[o[12]], m[o[13]]);
  G(s, 3, 4, 9, 14, m[o[14]], m[o[15]]);
}

void CompressPre(uint32_t s[16], const uint32_t cv[8], const uint8_t block[kBlockLen],
                 uint8_t blockLen, uint64_t counter, uint8_t flags) {
  uint32_t m[16];
  for (size_t i = 0; i < 16; ++i) m[i] = Load32(block + 4 * i);
  for (size_t i = 0; i < 8; ++i) s[i] = cv[i];
  for (size_t i = 0; i < 4; ++i) s[8 + i] = kIV[i];
  s[12] = static_cast<uint32_t>(counter);
  s[13] = static_cast<uint32_t>(counter >> 32);
  s[14] = blockLen;
  s[15] = flags;
  for (size_t r = 0; r < 7; ++r) Round(s, m, r);
}

void HashOne(const uint8_t* input, size_t blocks, const uint32_t key[8], uint64_t counter,
             uint8_t flags, uint8_t flagsStart, uint8_t flagsEnd, uint8_t out[kOutLen]) {
  uint32_t cv[8];
  std::memcpy(cv, key, sizeof cv);
  uint8_t blockFlags = flags | flagsStart;
  for (; blocks > 0; --blocks, input += kBlockLen) {
    if (blocks == 1) blockFlags |= flagsEnd;
    CompressInPlacePortable(cv, input, kBlockLen, counter, blockFlags);
    blockFlags = flags;
  }
  for (size_t i = 0; i < 8; ++i) Store32(out + 4 * i, cv[i]);
}

}  // namespace

void CompressInPlacePortable(uint32_t cv[8], const uint8_t block[kBlockLen], uint8_t blockLen,
                             uint64_t counter, uint8_t flags) {
  uint32_t s[16];
  CompressPre(s, cv, block, blockLen, counter, flags);
  for (size_t i = 0; i < 8; ++i) cv[i] = s[i] ^ s[i + 8];
}

void CompressXofPortable(const uint32_t cv[8], const uint8_t block[kBlockLen], uint8_t blockLen,
                         uint64_t counter, uint8_t flags, uint8_t out[64]) {
  uint32_t s[16];
  CompressPre(s, cv, block, blockLen, counter, flags);
  for (size_t i = 0; i < 8; ++i) {
    Store32(out + 4 * i, s[i] ^ s[i + 8]);
    Store32(out + 32 + 4 * i, s[i + 8] ^ cv[i]);
  }
}

void HashManyPortable(const uint8_t* const* inputs, size_t numInputs, size_t blocks,
                      const uint32_t key[8], uint64_t counter, bool incrementCounter,
                      uint8_t flags, uint8_t flagsStart, uint8_t flagsEnd, uint8_t* out) {
  for (size_t i = 0; i < numInputs; ++i, out += kOutLen) {
    HashOne(inputs[i], blocks, key, counter, flags, flagsStart, flagsEnd, out);
    if (incrementCounter) ++counter;
  }
}

}  // namespace quorvid::blake3
