#include "hashing/sha3.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <stdexcept>
#include <string>
#include <utility>

namespace quorvid {
namespace {

constexpr uint64_t kRoundConstants[24] = {
    0x0000000000000001ULL, 0x0000000000008082ULL, 0x800000000000808AULL, 0x8000000080008000ULL,
    0x000000000000808BULL, 0x0000000080000001ULL, 0x8000000080008081ULL, 0x8000000000008009ULL,
    0x000000000000008AULL, 0x0000000000000088ULL, 0x0000000080008009ULL, 0x000000008000000AULL,
    0x000000008000808BULL, 0x800000000000008BULL, 0x8000000000008089ULL, 0x8000000000008003ULL,
    0x8000000000008002ULL, 0x8000000000000080ULL, 0x000000000000800AULL, 0x800000008000000AULL,
    0x8000000080008081ULL, 0x8000000000008080ULL, 0x0000000080000001ULL, 0x8000000080008008ULL};

// Rotation of lane x + 5y in the rho step.
constexpr int kRho[25] = {0,  1,  62, 28, 27, 36, 44, 6,  55, 20, 3,  10, 43,
                          25, 39, 41, 45, 15, 21, 8,  18, 2,  61, 56, 14};

// The lane that rho and pi carry to lane x + 5y: pi moves (x, y) to (y, 2x + 3y).
constexpr size_t PiSource(size_t lane) {
  size_t x = lane % 5, y = lane / 5;
  return (x + 3 * y) % 5 + 5 * x;
}

// Calls f(0) .. f(N - 1) with compile-time indices, so that every lane index
// below is a constant and the state can live in registers.
template <size_t N, typename F>
inline void Unrolled(F&& f) {
  [&]<size_t... I>(std::index_sequence<I...>) {
    (f(std::integral_constant<size_t, I>{}), ...);
  }(std::make_index_sequence<N>{});
}

// One round from `a` into `e`. Each output row is built from its five
// rotated lanes at once, which keeps few values alive.
inline void Round(const uint64_t a[25], uint64_t e[25], uint64_t rc) {
  uint64_t c[5], d[5];
  Unrolled<5>([&](auto x) { c[x] = a[x] ^ a[x + 5] ^ a[x + 10] ^ a[x + 15] ^ a[x + 20]; });
  Unrolled<5>([&](auto x) { d[x] = c[(x + 4) % 5] ^ std::rotl(c[(x + 1) % 5], 1); });
  Unrolled<5>([&](auto y) {
    uint64_t b[5];
    Unrolled<5>([&](auto x) {
      constexpr size_t from = PiSource(x + 5 * y);
      b[x] = std::rotl(a[from] ^ d[from % 5], kRho[from]);
    });
    Unrolled<5>([&](auto x) { e[x + 5 * y] = b[x] ^ (~b[(x + 1) % 5] & b[(x + 2) % 5]); });
  });
  e[0] ^= rc;
}

void KeccakF1600(uint64_t state[25]) {
  uint64_t a[25], e[25];
  std::memcpy(a, state, sizeof a);
  for (size_t r = 0; r < 24; r += 2) {
    Round(a, e, kRoundConstants[r]);
    Round(e, a, kRoundConstants[r + 1]);
  }
  std::memcpy(state, a, sizeof a);
}

// Written as one expression, which compilers turn into a single load on
// little-endian processors.
uint32_t Load32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

uint64_t Load64(const uint8_t* p) { return uint64_t{Load32(p)} | uint64_t{Load32(p + 4)} << 32; }

}  // namespace

Sha3::Sha3(size_t digestBytes) : digestBytes_(digestBytes), rate_(200 - 2 * digestBytes) {
  if (digestBytes != 32 && digestBytes != 48 && digestBytes != 64)
    throw std::invalid_argument("SHA-3 digest of " + std::to_string(digestBytes) + " bytes");
  Reset();
}

void Sha3::Reset() {
  state_.fill(0);
  buffered_ = 0;
}

void Sha3::Absorb(const uint8_t* block) {
  for (size_t i = 0; i < rate_ / 8; ++i) state_[i] ^= Load64(block + 8 * i);
  KeccakF1600(state_.data());
}

void Sha3::Update(const uint8_t* data, size_t size) {
  if (size == 0) return;
  if (buffered_ > 0) {
    size_t take = std::min(rate_ - buffered_, size);
    std::memcpy(buffer_.data() + buffered_, data, take);
    buffered_ += take;
    data += take;
    size -= take;
    if (buffered_ < rate_) return;
    Absorb(buffer_.data());
    buffered_ = 0;
  }
  for (; size >= rate_; data += rate_, size -= rate_) Absorb(data);
  std::memcpy(buffer_.data(), data, size);
  buffered_ = size;
}

void Sha3::Final(uint8_t* out) {
  // The first and last padding bits share a byte when one byte is left.
  std::memset(buffer_.data() + buffered_, 0, rate_ - buffered_);
  buffer_[buffered_] ^= 0x06;
  buffer_[rate_ - 1] ^= 0x80;
  Absorb(buffer_.data());
  // Every digest is shorter than its rate, so one squeeze suffices.
  for (size_t i = 0; i < digestBytes_; ++i)
    out[i] = static_cast<uint8_t>(state_[i / 8] >> (8 * (i % 8)));
}

}  // namespace quorvid
