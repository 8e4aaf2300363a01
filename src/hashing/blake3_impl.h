// BLAKE3 internals: constants, the compression function and the "hash many
// inputs at once" entry with its wider (SIMD) variants. The portable
// variant is the reference and the fallback; the dispatch picks the widest
// variant the processor supports.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace quorvid::blake3 {

inline constexpr size_t kKeyLen = 32;
inline constexpr size_t kOutLen = 32;
inline constexpr size_t kBlockLen = 64;
inline constexpr size_t kChunkLen = 1024;
inline constexpr size_t kMaxDepth = 54;
/// Widest "hash many" any variant may use (16 lanes of AVX-512).
inline constexpr size_t kMaxSimdDegree = 16;
inline constexpr size_t kMaxSimdDegreeOr2 = kMaxSimdDegree > 2 ? kMaxSimdDegree : 2;

enum Flags : uint8_t {
  kChunkStart = 1 << 0,
  kChunkEnd = 1 << 1,
  kParent = 1 << 2,
  kRoot = 1 << 3,
};

inline constexpr std::array<uint32_t, 8> kIV = {0x6A09E667, 0xBB67AE85, 0x3C6EF372, 0xA54FF53A,
                                                0x510E527F, 0x9B05688C, 0x1F83D9AB, 0x5BE0CD19};

// The message word order of each of the seven rounds: round r+1 applies the
// fixed permutation to round r. Shared by the portable and the SIMD code.
constexpr std::array<std::array<uint8_t, 16>, 7> MakeMessageSchedule() {
  constexpr std::array<uint8_t, 16> kPermutation = {2, 6, 3, 10, 7, 0, 4, 13,
                                                    1, 11, 12, 5, 9, 14, 15, 8};
  std::array<std::array<uint8_t, 16>, 7> schedule{};
  for (uint8_t i = 0; i < 16; ++i) schedule[0][i] = i;
  for (size_t r = 1; r < 7; ++r)
    for (size_t i = 0; i < 16; ++i) schedule[r][i] = schedule[r - 1][kPermutation[i]];
  return schedule;
}
inline constexpr auto kMessageSchedule = MakeMessageSchedule();

/// Compresses one block into the chaining value `cv` (8 words).
void CompressInPlacePortable(uint32_t cv[8], const uint8_t block[kBlockLen], uint8_t blockLen,
                             uint64_t counter, uint8_t flags);

/// Full 64-byte output of one compression (used for the root block).
void CompressXofPortable(const uint32_t cv[8], const uint8_t block[kBlockLen], uint8_t blockLen,
                         uint64_t counter, uint8_t flags, uint8_t out[64]);

/// Hashes `numInputs` inputs of `blocks` whole blocks each, starting from
/// `key`, writing one 32-byte chaining value per input to `out`. The counter
/// grows by one per input when `incrementCounter` is set (chunks) and stays
/// (parents) otherwise. `flagsStart`/`flagsEnd` go on each input's first and
/// last block.
void HashManyPortable(const uint8_t* const* inputs, size_t numInputs, size_t blocks,
                      const uint32_t key[8], uint64_t counter, bool incrementCounter,
                      uint8_t flags, uint8_t flagsStart, uint8_t flagsEnd, uint8_t* out);

/// The SIMD variants of HashMany: each hashes as many whole groups of its
/// lane count (4, 8, 16) as `numInputs` holds and returns how many inputs
/// that was; the caller hashes the rest. Call only when the processor
/// supports the variant (see VariantSupported).
size_t HashManyGroupsSse41(const uint8_t* const* inputs, size_t numInputs, size_t blocks,
                           const uint32_t key[8], uint64_t counter, bool incrementCounter,
                           uint8_t flags, uint8_t flagsStart, uint8_t flagsEnd, uint8_t* out);
size_t HashManyGroupsAvx2(const uint8_t* const* inputs, size_t numInputs, size_t blocks,
                          const uint32_t key[8], uint64_t counter, bool incrementCounter,
                          uint8_t flags, uint8_t flagsStart, uint8_t flagsEnd, uint8_t* out);
size_t HashManyGroupsAvx512(const uint8_t* const* inputs, size_t numInputs, size_t blocks,
                            const uint32_t key[8], uint64_t counter, bool incrementCounter,
                            uint8_t flags, uint8_t flagsStart, uint8_t flagsEnd, uint8_t* out);

/// The implementations of HashMany, narrowest first.
enum class Variant { Portable, Sse41, Avx2, Avx512 };

/// True when this processor (and build) can run `variant`.
bool VariantSupported(Variant variant);

/// The variant the dispatch uses: the widest supported one.
Variant ActiveVariant();

/// Makes the dispatch use `variant` (which must be supported) from now on.
/// Returns the variant used before. For tests that run whole digests
/// through each variant.
Variant UseVariant(Variant variant);

/// HashMany through `variant` alone (its lane groups, the rest portable), so
/// tests can hold each variant against the portable one. `variant` must be
/// supported.
void HashManyWith(Variant variant, const uint8_t* const* inputs, size_t numInputs, size_t blocks,
                  const uint32_t key[8], uint64_t counter, bool incrementCounter, uint8_t flags,
                  uint8_t flagsStart, uint8_t flagsEnd, uint8_t* out);

// --- Dispatch: each entry forwards to the best variant for this processor.

void CompressInPlace(uint32_t cv[8], const uint8_t block[kBlockLen], uint8_t blockLen,
                     uint64_t counter, uint8_t flags);
void CompressXof(const uint32_t cv[8], const uint8_t block[kBlockLen], uint8_t blockLen,
                 uint64_t counter, uint8_t flags, uint8_t out[64]);
void HashMany(const uint8_t* const* inputs, size_t numInputs, size_t blocks, const uint32_t key[8],
              uint64_t counter, bool incrementCounter, uint8_t flags, uint8_t flagsStart,
              uint8_t flagsEnd, uint8_t* out);
/// Number of inputs the chosen HashMany processes in parallel (1 when portable).
size_t SimdDegree();

}  // namespace quorvid::blake3
