// BLAKE3 "hash many" four inputs at a time in 128-bit registers (SSE4.1).
// Built with -msse4.1; called only when the processor has it.
#include <immintrin.h>

#include "hashing/blake3_wide.h"

namespace quorvid::blake3 {
namespace {

struct Sse41 {
  using Reg = __m128i;
  static constexpr size_t kLanes = 4;

  static Reg Set1(uint32_t x) { return _mm_set1_epi32(static_cast<int>(x)); }
  static Reg Load(const uint32_t* p) { return _mm_load_si128(reinterpret_cast<const Reg*>(p)); }
  static void Store(uint32_t* p, Reg r) { _mm_store_si128(reinterpret_cast<Reg*>(p), r); }
  static Reg Add(Reg a, Reg b) { return _mm_add_epi32(a, b); }
  static Reg Xor(Reg a, Reg b) { return _mm_xor_si128(a, b); }
  // Rotations by whole bytes are one byte shuffle.
  static Reg Rot16(Reg x) {
    return _mm_shuffle_epi8(x, _mm_set_epi8(13, 12, 15, 14, 9, 8, 11, 10, 5, 4, 7, 6, 1, 0, 3, 2));
  }
  static Reg Rot8(Reg x) {
    return _mm_shuffle_epi8(x, _mm_set_epi8(12, 15, 14, 13, 8, 11, 10, 9, 4, 7, 6, 5, 0, 3, 2, 1));
  }
  static Reg Rot12(Reg x) { return _mm_or_si128(_mm_srli_epi32(x, 12), _mm_slli_epi32(x, 20)); }
  static Reg Rot7(Reg x) { return _mm_or_si128(_mm_srli_epi32(x, 7), _mm_slli_epi32(x, 25)); }

  // Four words of each of the four inputs, turned so that register w holds
  // word w of every input.
  static void Transpose(Reg r[4]) {
    Reg t0 = _mm_unpacklo_epi32(r[0], r[1]);
    Reg t1 = _mm_unpackhi_epi32(r[0], r[1]);
    Reg t2 = _mm_unpacklo_epi32(r[2], r[3]);
    Reg t3 = _mm_unpackhi_epi32(r[2], r[3]);
    r[0] = _mm_unpacklo_epi64(t0, t2);
    r[1] = _mm_unpackhi_epi64(t0, t2);
    r[2] = _mm_unpacklo_epi64(t1, t3);
    r[3] = _mm_unpackhi_epi64(t1, t3);
  }

  static void LoadMessage(const uint8_t* const* inputs, size_t offset, Reg m[16]) {
    // The same block of the next group of chunks, one group's time ahead.
    for (size_t l = 0; l < 4; ++l)
      _mm_prefetch(reinterpret_cast<const char*>(inputs[l] + offset + kLanes * kChunkLen),
                   _MM_HINT_T0);
    for (size_t q = 0; q < 4; ++q) {
      for (size_t l = 0; l < 4; ++l)
        m[4 * q + l] = _mm_loadu_si128(reinterpret_cast<const Reg*>(inputs[l] + offset + 16 * q));
      Transpose(m + 4 * q);
    }
  }
};

}  // namespace

size_t HashManyGroupsSse41(const uint8_t* const* inputs, size_t numInputs, size_t blocks,
                           const uint32_t key[8], uint64_t counter, bool incrementCounter,
                           uint8_t flags, uint8_t flagsStart, uint8_t flagsEnd, uint8_t* out) {
  return wide::HashManyGroups<Sse41>(inputs, numInputs, blocks, key, counter, incrementCounter,
                                     flags, flagsStart, flagsEnd, out);
}

}  // namespace quorvid::blake3
