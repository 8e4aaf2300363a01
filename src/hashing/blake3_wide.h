// The "hash many inputs at once" loop shared by the SIMD variants. Each
// variant's unit compiles it with its own register type: lane l of every
// register belongs to input l, so one pass of the compression function
// advances kLanes inputs by one block. Only those units include this header,
// each built with the instruction set its register type needs.
//
// A register type V supplies:
//   using Reg; static constexpr size_t kLanes;
//   Reg Set1(uint32_t); Reg Load(const uint32_t*); void Store(uint32_t*, Reg);
//   Reg Add(Reg, Reg); Reg Xor(Reg, Reg);
//   Reg Rot16/Rot12/Rot8/Rot7(Reg)   (rotations to the right)
//   void LoadMessage(const uint8_t* const* inputs, size_t offset, Reg m[16]):
//     m[w] lane l = little-endian word w of the block at inputs[l] + offset.
#pragma once

#include <cstring>
#include <utility>

#include "hashing/blake3_impl.h"

namespace quorvid::blake3::wide {

template <class V>
inline void G(typename V::Reg* s, size_t a, size_t b, size_t c, size_t d, typename V::Reg x,
              typename V::Reg y) {
  s[a] = V::Add(V::Add(s[a], s[b]), x);
  s[d] = V::Rot16(V::Xor(s[d], s[a]));
  s[c] = V::Add(s[c], s[d]);
  s[b] = V::Rot12(V::Xor(s[b], s[c]));
  s[a] = V::Add(V::Add(s[a], s[b]), y);
  s[d] = V::Rot8(V::Xor(s[d], s[a]));
  s[c] = V::Add(s[c], s[d]);
  s[b] = V::Rot7(V::Xor(s[b], s[c]));
}

// The round number is a template argument so every message index is a
// constant and the message words stay in registers.
template <class V, size_t R>
inline void Round(typename V::Reg* s, const typename V::Reg* m) {
  constexpr const auto& o = kMessageSchedule[R];
  G<V>(s, 0, 4, 8, 12, m[o[0]], m[o[1]]);
  G<V>(s, 1, 5, 9, 13, m[o[2]], m[o[3]]);
  G<V>(s, 2, 6, 10, 14, m[o[4]], m[o[5]]);
  G<V>(s, 3, 7, 11, 15, m[o[6]], m[o[7]]);
  G<V>(s, 0, 5, 10, 15, m[o[8]], m[o[9]]);
  G<V>(s, 1, 6, 11, 12, m[o[10]], m[o[11]]);
  G<V>(s, 2, 7, 8, 13, m[o[12]], m[o[13]]);
  G<V>(s, 3, 4, 9, 14, m[o[14]], m[o[15]]);
}

template <class V, size_t... R>
inline void AllRounds(typename V::Reg* s, const typename V::Reg* m, std::index_sequence<R...>) {
  (Round<V, R>(s, m), ...);
}

/// Hashes exactly V::kLanes inputs of `blocks` blocks each (the arguments
/// mean what they mean for HashManyPortable).
template <class V>
void HashGroup(const uint8_t* const* inputs, size_t blocks, const uint32_t key[8],
               uint64_t counter, bool incrementCounter, uint8_t flags, uint8_t flagsStart,
               uint8_t flagsEnd, uint8_t* out) {
  using Reg = typename V::Reg;
  constexpr size_t kLanes = V::kLanes;
  Reg h[8];
  for (size_t i = 0; i < 8; ++i) h[i] = V::Set1(key[i]);
  alignas(64) uint32_t low[kLanes];
  alignas(64) uint32_t high[kLanes];
  for (size_t l = 0; l < kLanes; ++l) {
    uint64_t c = counter + (incrementCounter ? l : 0);
    low[l] = static_cast<uint32_t>(c);
    high[l] = static_cast<uint32_t>(c >> 32);
  }
  const Reg counterLow = V::Load(low);
  const Reg counterHigh = V::Load(high);
  uint8_t blockFlags = flags | flagsStart;
  for (size_t b = 0; b < blocks; ++b) {
    if (b + 1 == blocks) blockFlags |= flagsEnd;
    Reg m[16];
    V::LoadMessage(inputs, b * kBlockLen, m);
    Reg s[16] = {h[0],
                 h[1],
                 h[2],
                 h[3],
                 h[4],
                 h[5],
                 h[6],
                 h[7],
                 V::Set1(kIV[0]),
                 V::Set1(kIV[1]),
                 V::Set1(kIV[2]),
                 V::Set1(kIV[3]),
                 counterLow,
                 counterHigh,
                 V::Set1(static_cast<uint32_t>(kBlockLen)),
                 V::Set1(blockFlags)};
    AllRounds<V>(s, m, std::make_index_sequence<7>{});
    for (size_t i = 0; i < 8; ++i) h[i] = V::Xor(s[i], s[i + 8]);
    blockFlags = flags;
  }
  // Lane l's chaining value is word i of every h[i]; x86 is little-endian,
  // so the words are stored as they are.
  alignas(64) uint32_t words[8][kLanes];
  for (size_t i = 0; i < 8; ++i) V::Store(words[i], h[i]);
  for (size_t l = 0; l < kLanes; ++l)
    for (size_t i = 0; i < 8; ++i) std::memcpy(out + l * kOutLen + 4 * i, &words[i][l], 4);
}

/// Hashes as many whole groups of V::kLanes inputs as `numInputs` holds and
/// returns how many inputs that was; the caller hashes the rest.
template <class V>
size_t HashManyGroups(const uint8_t* const* inputs, size_t numInputs, size_t blocks,
                      const uint32_t key[8], uint64_t counter, bool incrementCounter,
                      uint8_t flags, uint8_t flagsStart, uint8_t flagsEnd, uint8_t* out) {
  size_t done = 0;
  while (numInputs - done >= V::kLanes) {
    HashGroup<V>(inputs + done, blocks, key, counter, incrementCounter, flags, flagsStart,
                 flagsEnd, out + done * kOutLen);
    if (incrementCounter) counter += V::kLanes;
    done += V::kLanes;
  }
  return done;
}

}  // namespace quorvid::blake3::wide
