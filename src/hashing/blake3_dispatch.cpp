// Chooses the BLAKE3 variant once. Only the portable one exists so far; an
// SSE4.1, AVX2 or AVX-512 "hash many" would be tested here with
// __builtin_cpu_supports and preferred when present.
#include "hashing/blake3_impl.h"

namespace quorvid::blake3 {

void CompressInPlace(uint32_t cv[8], const uint8_t block[kBlockLen], uint8_t blockLen,
                     uint64_t counter, uint8_t flags) {
  CompressInPlacePortable(cv, block, blockLen, counter, flags);
}

void CompressXof(const uint32_t cv[8], const uint8_t block[kBlockLen], uint8_t blockLen,
                 uint64_t counter, uint8_t flags, uint8_t out[64]) {
  CompressXofPortable(cv, block, blockLen, counter, flags, out);
}

void HashMany(const uint8_t* const* inputs, size_t numInputs, size_t blocks, const uint32_t key[8],
              uint64_t counter, bool incrementCounter, uint8_t flags, uint8_t flagsStart,
              uint8_t flagsEnd, uint8_t* out) {
  HashManyPortable(inputs, numInputs, blocks, key, counter, incrementCounter, flags, flagsStart,
                   flagsEnd, out);
}

size_t SimdDegree() { return 1; }

}  // namespace quorvid::blake3
