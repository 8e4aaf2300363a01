#include "hashing/blake2.h"

#include <bit>
#include <cstring>
#include <utility>

namespace quorvid {
namespace {

// What sets the two widths apart besides the word: rounds, the G rotations
// and the initial value (the SHA-256 and SHA-512 one).
template <typename Word>
struct Params;

template <>
struct Params<uint32_t> {
  static constexpr int kRounds = 10;
  static constexpr int kRotations[4] = {16, 12, 8, 7};
  static constexpr uint32_t kIV[8] = {0x6A09E667, 0xBB67AE85, 0x3C6EF372, 0xA54FF53A,
                                      0x510E527F, 0x9B05688C, 0x1F83D9AB, 0x5BE0CD19};
};

template <>
struct Params<uint64_t> {
  static constexpr int kRounds = 12;
  static constexpr int kRotations[4] = {32, 24, 16, 63};
  static constexpr uint64_t kIV[8] = {0x6A09E667F3BCC908ULL, 0xBB67AE8584CAA73BULL,
                                      0x3C6EF372FE94F82BULL, 0xA54FF53A5F1D36F1ULL,
                                      0x510E527FADE682D1ULL, 0x9B05688C2B3E6C1FULL,
                                      0x1F83D9ABFB41BD6BULL, 0x5BE0CD19137E2179ULL};
};

// Message word order of each round; BLAKE2b's rounds 10 and 11 reuse the first two.
constexpr uint8_t kSigma[10][16] = {
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
    {14, 10, 4, 8, 9, 15, 13, 6, 1, 12, 0, 2, 11, 7, 5, 3},
    {11, 8, 12, 0, 5, 2, 15, 13, 10, 14, 3, 6, 7, 1, 9, 4},
    {7, 9, 3, 1, 13, 12, 11, 14, 2, 6, 5, 10, 4, 0, 15, 8},
    {9, 0, 5, 7, 2, 4, 10, 15, 14, 1, 11, 12, 6, 8, 3, 13},
    {2, 12, 6, 10, 0, 11, 8, 3, 4, 13, 7, 5, 15, 14, 1, 9},
    {12, 5, 1, 15, 14, 13, 4, 10, 0, 7, 6, 3, 9, 2, 8, 11},
    {13, 11, 7, 14, 12, 1, 3, 9, 5, 0, 15, 4, 8, 6, 2, 10},
    {6, 15, 14, 9, 11, 3, 0, 8, 12, 2, 13, 7, 1, 4, 10, 5},
    {10, 2, 8, 4, 7, 6, 1, 5, 15, 11, 9, 14, 3, 12, 13, 0}};

// Calls f(0) .. f(N - 1) with compile-time indices, so that the message
// words each round takes are fixed and can stay in registers.
template <size_t N, typename F>
inline void Unrolled(F&& f) {
  [&]<size_t... I>(std::index_sequence<I...>) {
    (f(std::integral_constant<size_t, I>{}), ...);
  }(std::make_index_sequence<N>{});
}

// Written as one expression, which compilers turn into a single load on
// little-endian processors.
uint32_t Load32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

uint64_t Load64(const uint8_t* p) { return uint64_t{Load32(p)} | uint64_t{Load32(p + 4)} << 32; }

template <typename Word>
Word LoadWord(const uint8_t* p) {
  if constexpr (sizeof(Word) == 4)
    return Load32(p);
  else
    return Load64(p);
}

template <typename Word>
inline void G(Word* v, size_t a, size_t b, size_t c, size_t d, Word x, Word y) {
  constexpr const int* r = Params<Word>::kRotations;
  v[a] = v[a] + v[b] + x;
  v[d] = std::rotr(v[d] ^ v[a], r[0]);
  v[c] = v[c] + v[d];
  v[b] = std::rotr(v[b] ^ v[c], r[1]);
  v[a] = v[a] + v[b] + y;
  v[d] = std::rotr(v[d] ^ v[a], r[2]);
  v[c] = v[c] + v[d];
  v[b] = std::rotr(v[b] ^ v[c], r[3]);
}

template <typename Word>
void Compress(Blake2State<Word>& s, const uint8_t* block, bool last) {
  using P = Params<Word>;
  Word m[16], v[16];
  for (size_t i = 0; i < 16; ++i) m[i] = LoadWord<Word>(block + i * sizeof(Word));
  for (size_t i = 0; i < 8; ++i) {
    v[i] = s.h[i];
    v[i + 8] = P::kIV[i];
  }
  v[12] ^= s.counter[0];
  v[13] ^= s.counter[1];
  if (last) v[14] = ~v[14];
  Unrolled<P::kRounds>([&](auto round) {
    constexpr const uint8_t* o = kSigma[round % 10];
    G(v, 0, 4, 8, 12, m[o[0]], m[o[1]]);
    G(v, 1, 5, 9, 13, m[o[2]], m[o[3]]);
    G(v, 2, 6, 10, 14, m[o[4]], m[o[5]]);
    G(v, 3, 7, 11, 15, m[o[6]], m[o[7]]);
    G(v, 0, 5, 10, 15, m[o[8]], m[o[9]]);
    G(v, 1, 6, 11, 12, m[o[10]], m[o[11]]);
    G(v, 2, 7, 8, 13, m[o[12]], m[o[13]]);
    G(v, 3, 4, 9, 14, m[o[14]], m[o[15]]);
  });
  for (size_t i = 0; i < 8; ++i) s.h[i] ^= v[i] ^ v[i + 8];
}

// The parameter block of an unkeyed hash with a full-length digest has only
// its first word set.
template <typename Word>
void Start(Blake2State<Word>& s) {
  constexpr Word kDigestBytes = sizeof s.h;
  std::memcpy(s.h, Params<Word>::kIV, sizeof s.h);
  s.h[0] ^= 0x01010000 ^ kDigestBytes;
  s.counter[0] = s.counter[1] = 0;
  s.buffered = 0;
}

// The byte counter is two words wide; for BLAKE2s the carry comes after 4 GiB.
template <typename Word>
void Count(Blake2State<Word>& s, size_t bytes) {
  s.counter[0] += static_cast<Word>(bytes);
  if (s.counter[0] < bytes) ++s.counter[1];
}

template <typename Word>
void Feed(Blake2State<Word>& s, const uint8_t* data, size_t size) {
  constexpr size_t kBlock = Blake2State<Word>::kBlockBytes;
  if (size == 0) return;
  if (s.buffered + size > kBlock) {
    if (s.buffered > 0) {
      size_t take = kBlock - s.buffered;
      std::memcpy(s.buffer + s.buffered, data, take);
      data += take;
      size -= take;
      Count(s, kBlock);
      Compress(s, s.buffer, false);
      s.buffered = 0;
    }
    for (; size > kBlock; data += kBlock, size -= kBlock) {
      Count(s, kBlock);
      Compress(s, data, false);
    }
  }
  std::memcpy(s.buffer + s.buffered, data, size);
  s.buffered += size;
}

template <typename Word>
void Finish(Blake2State<Word>& s, uint8_t* out) {
  constexpr size_t kBlock = Blake2State<Word>::kBlockBytes;
  Count(s, s.buffered);
  std::memset(s.buffer + s.buffered, 0, kBlock - s.buffered);
  Compress(s, s.buffer, true);
  for (size_t i = 0; i < sizeof s.h; ++i)
    out[i] = static_cast<uint8_t>(s.h[i / sizeof(Word)] >> (8 * (i % sizeof(Word))));
}

}  // namespace

void Blake2s::Reset() { Start(state_); }
void Blake2s::Update(const uint8_t* data, size_t size) { Feed(state_, data, size); }
void Blake2s::Final(uint8_t* out) { Finish(state_, out); }

void Blake2b::Reset() { Start(state_); }
void Blake2b::Update(const uint8_t* data, size_t size) { Feed(state_, data, size); }
void Blake2b::Final(uint8_t* out) { Finish(state_, out); }

}  // namespace quorvid
