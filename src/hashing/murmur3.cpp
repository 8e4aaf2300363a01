#include "hashing/murmur3.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace quorvid {
namespace {

uint32_t Load32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

uint64_t Load64(const uint8_t* p) { return uint64_t{Load32(p)} | uint64_t{Load32(p + 4)} << 32; }

void StoreBig32(uint8_t* p, uint32_t v) {
  for (int i = 3; i >= 0; --i, v >>= 8) p[i] = static_cast<uint8_t>(v);
}

void StoreBig64(uint8_t* p, uint64_t v) {
  for (int i = 7; i >= 0; --i, v >>= 8) p[i] = static_cast<uint8_t>(v);
}

uint32_t Fmix32(uint32_t h) {
  h ^= h >> 16;
  h *= 0x85ebca6bU;
  h ^= h >> 13;
  h *= 0xc2b2ae35U;
  h ^= h >> 16;
  return h;
}

uint64_t Fmix64(uint64_t k) {
  k ^= k >> 33;
  k *= 0xff51afd7ed558ccdULL;
  k ^= k >> 33;
  k *= 0xc4ceb9fe1a85ec53ULL;
  k ^= k >> 33;
  return k;
}

constexpr uint32_t kC1 = 0x239b961bU, kC2 = 0xab0e9789U, kC3 = 0x38b34ae5U, kC4 = 0xa1e38b93U;
constexpr uint64_t kD1 = 0x87c37b91114253d5ULL, kD2 = 0x4cf5ad432745937fULL;

// The per-lane key mixes, shared by whole blocks and the tail.
uint32_t MixK1(uint32_t k) { return std::rotl(k * kC1, 15) * kC2; }
uint32_t MixK2(uint32_t k) { return std::rotl(k * kC2, 16) * kC3; }
uint32_t MixK3(uint32_t k) { return std::rotl(k * kC3, 17) * kC4; }
uint32_t MixK4(uint32_t k) { return std::rotl(k * kC4, 18) * kC1; }
uint64_t MixL1(uint64_t k) { return std::rotl(k * kD1, 31) * kD2; }
uint64_t MixL2(uint64_t k) { return std::rotl(k * kD2, 33) * kD1; }

// Little-endian word of up to 4 (or 8) tail bytes starting at `from`.
uint32_t TailWord32(const uint8_t* tail, size_t size, size_t from) {
  uint32_t k = 0;
  for (size_t i = from; i < size && i < from + 4; ++i) k |= uint32_t{tail[i]} << (8 * (i - from));
  return k;
}

uint64_t TailWord64(const uint8_t* tail, size_t size, size_t from) {
  uint64_t k = 0;
  for (size_t i = from; i < size && i < from + 8; ++i) k |= uint64_t{tail[i]} << (8 * (i - from));
  return k;
}

// Feeds `data` through 16-byte blocks, keeping the incomplete rest in `tail`.
template <typename BlockFn>
void Stream(const uint8_t* data, size_t size, std::array<uint8_t, 16>& tail, size_t& tailSize,
            BlockFn block) {
  if (tailSize > 0) {
    size_t take = std::min(size, 16 - tailSize);
    std::memcpy(tail.data() + tailSize, data, take);
    tailSize += take;
    data += take;
    size -= take;
    if (tailSize < 16) return;
    block(tail.data());
    tailSize = 0;
  }
  for (; size >= 16; data += 16, size -= 16) block(data);
  std::memcpy(tail.data(), data, size);
  tailSize = size;
}

}  // namespace

void Murmur3x86_128::Reset() {
  h_ = {seed_, seed_, seed_, seed_};
  tailSize_ = 0;
  length_ = 0;
}

void Murmur3x86_128::Block(const uint8_t* b) {
  uint32_t& h1 = h_[0];
  uint32_t& h2 = h_[1];
  uint32_t& h3 = h_[2];
  uint32_t& h4 = h_[3];
  h1 ^= MixK1(Load32(b));
  h1 = std::rotl(h1, 19) + h2;
  h1 = h1 * 5 + 0x561ccd1bU;
  h2 ^= MixK2(Load32(b + 4));
  h2 = std::rotl(h2, 17) + h3;
  h2 = h2 * 5 + 0x0bcaa747U;
  h3 ^= MixK3(Load32(b + 8));
  h3 = std::rotl(h3, 15) + h4;
  h3 = h3 * 5 + 0x96cd1c35U;
  h4 ^= MixK4(Load32(b + 12));
  h4 = std::rotl(h4, 13) + h1;
  h4 = h4 * 5 + 0x32ac3b17U;
}

void Murmur3x86_128::Update(const uint8_t* data, size_t size) {
  length_ += size;
  Stream(data, size, tail_, tailSize_, [this](const uint8_t* b) { Block(b); });
}

void Murmur3x86_128::Final(uint8_t* out) {
  uint32_t h1 = h_[0], h2 = h_[1], h3 = h_[2], h4 = h_[3];
  const uint8_t* t = tail_.data();
  size_t n = tailSize_;
  if (n > 12) h4 ^= MixK4(TailWord32(t, n, 12));
  if (n > 8) h3 ^= MixK3(TailWord32(t, n, 8));
  if (n > 4) h2 ^= MixK2(TailWord32(t, n, 4));
  if (n > 0) h1 ^= MixK1(TailWord32(t, n, 0));

  const auto len = static_cast<uint32_t>(length_);
  h1 ^= len;
  h2 ^= len;
  h3 ^= len;
  h4 ^= len;
  h1 += h2 + h3 + h4;
  h2 += h1;
  h3 += h1;
  h4 += h1;
  h1 = Fmix32(h1);
  h2 = Fmix32(h2);
  h3 = Fmix32(h3);
  h4 = Fmix32(h4);
  h1 += h2 + h3 + h4;
  h2 += h1;
  h3 += h1;
  h4 += h1;
  StoreBig32(out, h1);
  StoreBig32(out + 4, h2);
  StoreBig32(out + 8, h3);
  StoreBig32(out + 12, h4);
}

void Murmur3x64_128::Reset() {
  h1_ = h2_ = seed_;
  tailSize_ = 0;
  length_ = 0;
}

void Murmur3x64_128::Block(const uint8_t* b) {
  h1_ ^= MixL1(Load64(b));
  h1_ = std::rotl(h1_, 27) + h2_;
  h1_ = h1_ * 5 + 0x52dce729U;
  h2_ ^= MixL2(Load64(b + 8));
  h2_ = std::rotl(h2_, 31) + h1_;
  h2_ = h2_ * 5 + 0x38495ab5U;
}

void Murmur3x64_128::Update(const uint8_t* data, size_t size) {
  length_ += size;
  Stream(data, size, tail_, tailSize_, [this](const uint8_t* b) { Block(b); });
}

void Murmur3x64_128::Final(uint8_t* out) {
  uint64_t h1 = h1_, h2 = h2_;
  const uint8_t* t = tail_.data();
  size_t n = tailSize_;
  if (n > 8) h2 ^= MixL2(TailWord64(t, n, 8));
  if (n > 0) h1 ^= MixL1(TailWord64(t, n, 0));

  h1 ^= length_;
  h2 ^= length_;
  h1 += h2;
  h2 += h1;
  h1 = Fmix64(h1);
  h2 = Fmix64(h2);
  h1 += h2;
  h2 += h1;
  StoreBig64(out, h1);
  StoreBig64(out + 8, h2);
}

}  // namespace quorvid
