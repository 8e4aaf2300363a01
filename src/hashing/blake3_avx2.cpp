// BLAKE3 "hash many" eight inputs at a time in 256-bit registers (AVX2).
// Built with -mavx2; called only when the processor has it.
#include <immintrin.h>

#include "hashing/blake3_wide.h"

namespace quorvid::blake3 {
namespace {

struct Avx2 {
  using Reg = __m256i;
  static constexpr size_t kLanes = 8;

  static Reg Set1(uint32_t x) { return _mm256_set1_epi32(static_cast<int>(x)); }
  static Reg Load(const uint32_t* p) { return _mm256_load_si256(reinterpret_cast<const Reg*>(p)); }
  static void Store(uint32_t* p, Reg r) { _mm256_store_si256(reinterpret_cast<Reg*>(p), r); }
  static Reg Add(Reg a, Reg b) { return _mm256_add_epi32(a, b); }
  static Reg Xor(Reg a, Reg b) { return _mm256_xor_si256(a, b); }
  // Rotations by whole bytes are one byte shuffle (per 128-bit half).
  static Reg Rot16(Reg x) {
    return _mm256_shuffle_epi8(
        x, _mm256_set_epi8(13, 12, 15, 14, 9, 8, 11, 10, 5, 4, 7, 6, 1, 0, 3, 2, 13, 12, 15, 14,
                           9, 8, 11, 10, 5, 4, 7, 6, 1, 0, 3, 2));
  }
  static Reg Rot8(Reg x) {
    return _mm256_shuffle_epi8(
        x, _mm256_set_epi8(12, 15, 14, 13, 8, 11, 10, 9, 4, 7, 6, 5, 0, 3, 2, 1, 12, 15, 14, 13,
                           8, 11, 10, 9, 4, 7, 6, 5, 0, 3, 2, 1));
  }
  static Reg Rot12(Reg x) {
    return _mm256_or_si256(_mm256_srli_epi32(x, 12), _mm256_slli_epi32(x, 20));
  }
  static Reg Rot7(Reg x) { return _mm256_or_si256(_mm256_srli_epi32(x, 7), _mm256_slli_epi32(x, 25)); }

  // Eight words of each of the eight inputs, turned so that register w holds
  // word w of every input: pairs of 32-bit words, then of 64-bit words, then
  // the 128-bit halves swap across registers.
  static void Transpose(Reg r[8]) {
    Reg t[8];
    for (size_t i = 0; i < 4; ++i) {
      t[2 * i] = _mm256_unpacklo_epi32(r[2 * i], r[2 * i + 1]);
      t[2 * i + 1] = _mm256_unpackhi_epi32(r[2 * i], r[2 * i + 1]);
    }
    Reg u[8];
    for (size_t g = 0; g < 2; ++g) {
      const Reg* s = t + 4 * g;
      u[4 * g + 0] = _mm256_unpacklo_epi64(s[0], s[2]);  // words 0 and 4
      u[4 * g + 1] = _mm256_unpackhi_epi64(s[0], s[2]);  // words 1 and 5
      u[4 * g + 2] = _mm256_unpacklo_epi64(s[1], s[3]);  // words 2 and 6
      u[4 * g + 3] = _mm256_unpackhi_epi64(s[1], s[3]);  // words 3 and 7
    }
    for (size_t w = 0; w < 4; ++w) {
      r[w] = _mm256_permute2x128_si256(u[w], u[4 + w], 0x20);
      r[w + 4] = _mm256_permute2x128_si256(u[w], u[4 + w], 0x31);
    }
  }

  static void LoadMessage(const uint8_t* const* inputs, size_t offset, Reg m[16]) {
    // Eight input streams at once outrun the hardware prefetcher: ask for the
    // same block of the next group of chunks, one group's hashing time ahead.
    for (size_t l = 0; l < 8; ++l)
      _mm_prefetch(reinterpret_cast<const char*>(inputs[l] + offset + kLanes * kChunkLen),
                   _MM_HINT_T0);
    for (size_t half = 0; half < 2; ++half) {
      for (size_t l = 0; l < 8; ++l)
        m[8 * half + l] =
            _mm256_loadu_si256(reinterpret_cast<const Reg*>(inputs[l] + offset + 32 * half));
      Transpose(m + 8 * half);
    }
  }
};

}  // namespace

size_t HashManyGroupsAvx2(const uint8_t* const* inputs, size_t numInputs, size_t blocks,
                          const uint32_t key[8], uint64_t counter, bool incrementCounter,
                          uint8_t flags, uint8_t flagsStart, uint8_t flagsEnd, uint8_t* out) {
  return wide::HashManyGroups<Avx2>(inputs, numInputs, blocks, key, counter, incrementCounter,
                                    flags, flagsStart, flagsEnd, out);
}

}  // namespace quorvid::blake3
