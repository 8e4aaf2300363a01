// BLAKE3 "hash many" sixteen inputs at a time in 512-bit registers
// (AVX-512F with VL). Built with -mavx512f -mavx512vl; called only when the
// processor has both.
#include <immintrin.h>

#include "hashing/blake3_wide.h"

namespace quorvid::blake3 {
namespace {

struct Avx512 {
  using Reg = __m512i;
  static constexpr size_t kLanes = 16;

  static Reg Set1(uint32_t x) { return _mm512_set1_epi32(static_cast<int>(x)); }
  static Reg Load(const uint32_t* p) { return _mm512_load_si512(p); }
  static void Store(uint32_t* p, Reg r) { _mm512_store_si512(p, r); }
  static Reg Add(Reg a, Reg b) { return _mm512_add_epi32(a, b); }
  static Reg Xor(Reg a, Reg b) { return _mm512_xor_si512(a, b); }
  // The all-lanes mask forms: GCC 12 warns about the undefined source of
  // the plain forms.
  static constexpr __mmask16 kAll16 = 0xFFFF;
  static constexpr __mmask8 kAll8 = 0xFF;
  template <int N>
  static Reg Ror(Reg x) {
    return _mm512_maskz_ror_epi32(kAll16, x, N);
  }
  static Reg Rot16(Reg x) { return Ror<16>(x); }
  static Reg Rot12(Reg x) { return Ror<12>(x); }
  static Reg Rot8(Reg x) { return Ror<8>(x); }
  static Reg Rot7(Reg x) { return Ror<7>(x); }

  static Reg Unpack32Low(Reg a, Reg b) { return _mm512_maskz_unpacklo_epi32(kAll16, a, b); }
  static Reg Unpack32High(Reg a, Reg b) { return _mm512_maskz_unpackhi_epi32(kAll16, a, b); }
  static Reg Unpack64Low(Reg a, Reg b) { return _mm512_maskz_unpacklo_epi64(kAll8, a, b); }
  static Reg Unpack64High(Reg a, Reg b) { return _mm512_maskz_unpackhi_epi64(kAll8, a, b); }
  // Picks 128-bit quarters: two from `a`, then two from `b`, as `Imm` says.
  template <int Imm>
  static Reg Quarters(Reg a, Reg b) {
    return _mm512_maskz_shuffle_i32x4(kAll16, a, b, Imm);
  }

  // Register l holds the sixteen words of input l; afterwards register w
  // holds word w of every input. Written out step by step so every value
  // stays in a register: pairs of 32-bit words, then of 64-bit words, then a
  // 4x4 transpose of the 128-bit quarters.
  static void Transpose(Reg r[16]) {
    Reg a[16];
    for (size_t i = 0; i < 16; i += 2) {
      a[i] = Unpack32Low(r[i], r[i + 1]);
      a[i + 1] = Unpack32High(r[i], r[i + 1]);
    }
    // b[4g + k], quarter j: word 4j + k of inputs 4g to 4g + 3.
    Reg b[16];
    for (size_t g = 0; g < 16; g += 4) {
      b[g + 0] = Unpack64Low(a[g], a[g + 2]);
      b[g + 1] = Unpack64High(a[g], a[g + 2]);
      b[g + 2] = Unpack64Low(a[g + 1], a[g + 3]);
      b[g + 3] = Unpack64High(a[g + 1], a[g + 3]);
    }
    for (size_t k = 0; k < 4; ++k) {
      const Reg c0 = Quarters<0x44>(b[k], b[4 + k]);   // quarters 0, 1 of both
      const Reg c1 = Quarters<0xEE>(b[k], b[4 + k]);   // quarters 2, 3 of both
      const Reg c2 = Quarters<0x44>(b[8 + k], b[12 + k]);
      const Reg c3 = Quarters<0xEE>(b[8 + k], b[12 + k]);
      r[k] = Quarters<0x88>(c0, c2);  // quarter 0 of each
      r[4 + k] = Quarters<0xDD>(c0, c2);
      r[8 + k] = Quarters<0x88>(c1, c3);
      r[12 + k] = Quarters<0xDD>(c1, c3);
    }
  }

  static void LoadMessage(const uint8_t* const* inputs, size_t offset, Reg m[16]) {
    for (size_t l = 0; l < 16; ++l) {
      // Sixteen input streams at once outrun the hardware prefetcher when
      // the data comes from memory. Chunks come in groups of sixteen side by
      // side, so the same block of the next group lies 16 KiB ahead: about
      // one group's hashing time, enough to hide the memory's latency.
      _mm_prefetch(reinterpret_cast<const char*>(inputs[l] + offset + kLanes * kChunkLen),
                   _MM_HINT_T0);
      m[l] = _mm512_loadu_si512(inputs[l] + offset);
    }
    Transpose(m);
  }
};

}  // namespace

size_t HashManyGroupsAvx512(const uint8_t* const* inputs, size_t numInputs, size_t blocks,
                            const uint32_t key[8], uint64_t counter, bool incrementCounter,
                            uint8_t flags, uint8_t flagsStart, uint8_t flagsEnd, uint8_t* out) {
  return wide::HashManyGroups<Avx512>(inputs, numInputs, blocks, key, counter, incrementCounter,
                                      flags, flagsStart, flagsEnd, out);
}

}  // namespace quorvid::blake3
