// Chooses the BLAKE3 "hash many" variant once, by what the processor
// supports, widest first. The portable code stays the reference and the
// fallback; a wide variant hands its leftover inputs to the next narrower one.
#include <atomic>

#include "hashing/blake3_impl.h"

namespace quorvid::blake3 {
namespace {

bool CpuHas(Variant variant) {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_cpu_init();  // may run before the library's own initialisers
  switch (variant) {
    case Variant::Portable:
      return true;
    case Variant::Sse41:
      return __builtin_cpu_supports("sse4.1");
    case Variant::Avx2:
      return __builtin_cpu_supports("avx2");
    case Variant::Avx512:
      return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl");
  }
  return false;
#else
  return variant == Variant::Portable;
#endif
}

Variant Widest() {
  for (Variant v : {Variant::Avx512, Variant::Avx2, Variant::Sse41})
    if (CpuHas(v)) return v;
  return Variant::Portable;
}

// Chosen on first use, so no other initialiser can see it unset; tests may
// switch it.
std::atomic<Variant>& ActiveSlot() {
  static std::atomic<Variant> active{Widest()};
  return active;
}

Variant Active() { return ActiveSlot().load(std::memory_order_relaxed); }

using GroupFn = size_t (*)(const uint8_t* const*, size_t, size_t, const uint32_t*, uint64_t, bool,
                           uint8_t, uint8_t, uint8_t, uint8_t*);

GroupFn GroupsOf(Variant variant) {
#if defined(__x86_64__) || defined(__i386__)
  switch (variant) {
    case Variant::Sse41:
      return HashManyGroupsSse41;
    case Variant::Avx2:
      return HashManyGroupsAvx2;
    case Variant::Avx512:
      return HashManyGroupsAvx512;
    case Variant::Portable:
      break;
  }
#else
  (void)variant;  // the x86 variants are not built here
#endif
  return nullptr;
}

// Runs `widest` and then each narrower supported variant on what is left;
// `narrower` limits the chain to the named variant alone when false.
void HashManyChain(Variant widest, bool narrower, const uint8_t* const* inputs, size_t numInputs,
                   size_t blocks, const uint32_t key[8], uint64_t counter, bool incrementCounter,
                   uint8_t flags, uint8_t flagsStart, uint8_t flagsEnd, uint8_t* out) {
  for (int v = static_cast<int>(widest); v > 0 && numInputs > 0; --v) {
    if (!narrower && v != static_cast<int>(widest)) break;
    if (v != static_cast<int>(widest) && !CpuHas(static_cast<Variant>(v))) continue;
    GroupFn fn = GroupsOf(static_cast<Variant>(v));
    if (fn == nullptr) continue;
    size_t done = fn(inputs, numInputs, blocks, key, counter, incrementCounter, flags, flagsStart,
                     flagsEnd, out);
    inputs += done;
    numInputs -= done;
    out += done * kOutLen;
    if (incrementCounter) counter += done;
  }
  HashManyPortable(inputs, numInputs, blocks, key, counter, incrementCounter, flags, flagsStart,
                   flagsEnd, out);
}

}  // namespace

bool VariantSupported(Variant variant) { return CpuHas(variant); }

Variant ActiveVariant() { return Active(); }

Variant UseVariant(Variant variant) { return ActiveSlot().exchange(variant); }

void HashManyWith(Variant variant, const uint8_t* const* inputs, size_t numInputs, size_t blocks,
                  const uint32_t key[8], uint64_t counter, bool incrementCounter, uint8_t flags,
                  uint8_t flagsStart, uint8_t flagsEnd, uint8_t* out) {
  HashManyChain(variant, false, inputs, numInputs, blocks, key, counter, incrementCounter, flags,
                flagsStart, flagsEnd, out);
}

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
  HashManyChain(Active(), true, inputs, numInputs, blocks, key, counter, incrementCounter, flags,
                flagsStart, flagsEnd, out);
}

size_t SimdDegree() {
  switch (Active()) {
    case Variant::Avx512:
      return 16;
    case Variant::Avx2:
      return 8;
    case Variant::Sse41:
      return 4;
    case Variant::Portable:
      break;
  }
  return 1;
}

}  // namespace quorvid::blake3
