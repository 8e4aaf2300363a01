// MurmurHash3 against the published self-check of its reference test suite,
// which exercises every tail length and many seeds.
#include "hashing/murmur3.h"

#include <gtest/gtest.h>

#include <vector>

namespace quorvid {
namespace {

// The reference output buffer on a little-endian machine: each word stored
// least significant byte first. Our digest stores each word the other way.
template <size_t WordBytes>
std::vector<uint8_t> ReferenceLayout(const uint8_t* digest) {
  std::vector<uint8_t> out(16);
  for (size_t w = 0; w < 16; w += WordBytes)
    for (size_t b = 0; b < WordBytes; ++b) out[w + b] = digest[w + WordBytes - 1 - b];
  return out;
}

// Hash keys {}, {0}, {0,1}, ... {0..254} with seed 256-n, then hash the
// concatenated results with seed 0; the first 32-bit word is the check value.
template <typename Hash, size_t WordBytes>
uint32_t VerificationValue() {
  std::vector<uint8_t> key(256), hashes(256 * 16);
  for (int i = 0; i < 256; ++i) {
    key[i] = static_cast<uint8_t>(i);
    Hash h(static_cast<uint32_t>(256 - i));
    h.Update(key.data(), static_cast<size_t>(i));
    uint8_t digest[16];
    h.Final(digest);
    auto ref = ReferenceLayout<WordBytes>(digest);
    std::copy(ref.begin(), ref.end(), hashes.begin() + i * 16);
  }
  Hash final(0);
  final.Update(hashes.data(), hashes.size());
  uint8_t digest[16];
  final.Final(digest);
  auto ref = ReferenceLayout<WordBytes>(digest);
  return uint32_t{ref[0]} | uint32_t{ref[1]} << 8 | uint32_t{ref[2]} << 16 | uint32_t{ref[3]} << 24;
}

TEST(Murmur3, X86MatchesThePublishedSelfCheck) {
  EXPECT_EQ((VerificationValue<Murmur3x86_128, 4>()), 0xB3ECE62Au);
}

TEST(Murmur3, X64MatchesThePublishedSelfCheck) {
  EXPECT_EQ((VerificationValue<Murmur3x64_128, 8>()), 0x6384BA69u);
}

TEST(Murmur3, ResetStartsFromTheSeedAgain) {
  Murmur3x64_128 h;
  const uint8_t data[20] = {1, 2, 3};
  uint8_t a[16], b[16];
  h.Update(data, 20);
  h.Final(a);
  h.Reset();
  h.Update(data, 5);
  h.Update(data + 5, 15);
  h.Final(b);
  EXPECT_TRUE(std::equal(a, a + 16, b));
}

}  // namespace
}  // namespace quorvid
