// BLAKE3 "hash many" sixteen inputs at a time in 512-bit registers
// (AVX-512F with VL). Built with -mavx512f -mavx512vl; called only when the
// processor has both.
#include <immintrin.h>

#include "hashing/blake3_wide.h"

namespace quorvid::blake3 {
namespace {

// Index vectors of one butterfly step of a 16x16 transpose: the step for
// distance d swaps bit d of the row number with bit d of the column number.
// `upper` picks the row of each pair that has bit d set.
struct ButterflyIndex {
  alignas(64) uint32_t index[16];
};

constexpr ButterflyIndex MakeButterfly(uint32_t d, bool upper) {
  ButterflyIndex b{};
  for (uint32_t c = 0; c < 16; ++c) {
    bool bitSet = (c & d) != 0;
    if (!upper)
      b.index[c] = bitSet ? 16 + (c - d) : c;  // from the lower row, else the upper row
    else
      b.index[c] = bitSet ? 16 + c : c + d;
  }
  return b;
}

constexpr ButterflyIndex kButterfly[4][2] = {
    {MakeButterfly(1, false), MakeButterfly(1, true)},
    {MakeButterfly(2, false), MakeButterfly(2, true)},
    {MakeButterfly(4, false), MakeButterfly(4, true)},
    {MakeButterfly(8, false), MakeButterfly(8, true)},
};

struct Avx512 {
  using Reg = __m512i;
  static constexpr size_t kLanes = 16;

  static Reg Set1(uint32_t x) { return _mm512_set1_epi32(static_cast<int>(x)); }
  static Reg Load(const uint32_t* p) { return _mm512_load_si512(p); }
  static void Store(uint32_t* p, Reg r) { _mm512_store_si512(p, r); }
  static Reg Add(Reg a, Reg b) { return _mm512_add_epi32(a, b); }
  static Reg Xor(Reg a, Reg b) { return _mm512_xor_si512(a, b); }
  // The all-lanes mask form: GCC 12 warns about the undefined source of the
  // plain form.
  template <int N>
  static Reg Ror(Reg x) {
    return _mm512_maskz_ror_epi32(static_cast<__mmask16>(0xFFFF), x, N);
  }
  static Reg Rot16(Reg x) { return Ror<16>(x); }
  static Reg Rot12(Reg x) { return Ror<12>(x); }
  static Reg Rot8(Reg x) { return Ror<8>(x); }
  static Reg Rot7(Reg x) { return Ror<7>(x); }

  // Register l holds the sixteen words of input l; afterwards register w
  // holds word w of every input. Four butterfly steps, one per index bit.
  static void Transpose(Reg r[16]) {
    for (size_t step = 0; step < 4; ++step) {
      const size_t d = size_t{1} << step;
      const Reg lowIndex = _mm512_load_si512(kButterfly[step][0].index);
      const Reg highIndex = _mm512_load_si512(kButterfly[step][1].index);
      for (size_t i = 0; i < 16; ++i) {
        if ((i & d) != 0) continue;
        Reg a = r[i];
        Reg b = r[i + d];
        r[i] = _mm512_permutex2var_epi32(a, lowIndex, b);
        r[i + d] = _mm512_permutex2var_epi32(a, highIndex, b);
      }
    }
  }

  static void LoadMessage(const uint8_t* const* inputs, size_t offset, Reg m[16]) {
    for (size_t l = 0; l < 16; ++l) {
      // Sixteen input streams at once outrun the hardware prefetcher when
      // the data comes from memory: ask for each a few blocks ahead.
      _mm_prefetch(reinterpret_cast<const char*>(inputs[l] + offset + 1024), _MM_HINT_T0);
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
