// MurmurHash3 x86_128 and x64_128 with seed 0, streaming.
#pragma once

#include <array>

#include "hashing/hasher.h"

namespace quorvid {

/// MurmurHash3_x86_128. Digest: h1, h2, h3, h4, each 32-bit word most
/// significant byte first. The length mixed into the result is the message
/// length modulo 2^32, as the 32-bit design has it.
class Murmur3x86_128 final : public IHash {
 public:
  /// Quorvid uses seed 0; other seeds serve the published self-check.
  explicit Murmur3x86_128(uint32_t seed = 0) : seed_(seed) { Reset(); }
  void Reset() override;
  void Update(const uint8_t* data, size_t size) override;
  void Final(uint8_t* out) override;
  size_t DigestSize() const override { return 16; }

 private:
  void Block(const uint8_t* block);
  uint32_t seed_;
  std::array<uint32_t, 4> h_{};
  std::array<uint8_t, 16> tail_{};
  size_t tailSize_ = 0;
  uint64_t length_ = 0;
};

/// MurmurHash3_x64_128. Digest: h1, h2, each 64-bit word most significant
/// byte first.
class Murmur3x64_128 final : public IHash {
 public:
  explicit Murmur3x64_128(uint32_t seed = 0) : seed_(seed) { Reset(); }
  void Reset() override;
  void Update(const uint8_t* data, size_t size) override;
  void Final(uint8_t* out) override;
  size_t DigestSize() const override { return 16; }

 private:
  void Block(const uint8_t* block);
  uint32_t seed_;
  uint64_t h1_ = 0, h2_ = 0;
  std::array<uint8_t, 16> tail_{};
  size_t tailSize_ = 0;
  uint64_t length_ = 0;
};

}  // namespace quorvid
