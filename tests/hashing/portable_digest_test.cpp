// Quorvid's own SHA-3 and BLAKE2 against answers from independent tools and
// against OpenSSL, over every length around the block sizes and pieces that
// straddle the block edges.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "hashing/blake2.h"
#include "hashing/evp_hash.h"
#include "hashing/hasher.h"
#include "hashing/sha3.h"
#include "hashing/vectors.h"

namespace quorvid {
namespace {

struct Portable {
  const char* name;           // the vectors file's name
  const char* evpName;        // OpenSSL's name for the same digest
  std::function<std::unique_ptr<IHash>()> make;
};

const std::vector<Portable>& AllPortable() {
  static const std::vector<Portable> all = {
      {"SHA3_256", "SHA3-256", [] { return std::make_unique<Sha3>(32); }},
      {"SHA3_384", "SHA3-384", [] { return std::make_unique<Sha3>(48); }},
      {"SHA3_512", "SHA3-512", [] { return std::make_unique<Sha3>(64); }},
      {"Blake2S", "BLAKE2S-256", [] { return std::make_unique<Blake2s>(); }},
      {"Blake2B", "BLAKE2B-512", [] { return std::make_unique<Blake2b>(); }}};
  return all;
}

std::string Digest(IHash& h, const std::string& bytes) {
  h.Reset();
  h.Update(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  uint8_t out[kMaxDigestBytes];
  h.Final(out);
  return HexText({out, h.DigestSize()});
}

// Feeds `bytes` in pieces whose sizes repeat `pieces`, with an empty update
// between every two.
[[maybe_unused]] std::string DigestInPieces(IHash& h, const std::string& bytes,
                                            const std::vector<size_t>& pieces) {
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  h.Reset();
  for (size_t pos = 0, k = 0; pos < bytes.size(); ++k) {
    size_t n = std::min(pieces[k % pieces.size()], bytes.size() - pos);
    h.Update(data + pos, n);
    h.Update(nullptr, 0);
    pos += n;
  }
  uint8_t out[kMaxDigestBytes];
  h.Final(out);
  return HexText({out, h.DigestSize()});
}

// Bytes that do not repeat with any block size.
std::string Noise(size_t size) {
  std::string bytes(size, '\0');
  uint64_t x = 0x9E3779B97F4A7C15ULL;
  for (char& c : bytes) {
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    c = static_cast<char>(x >> 56);
  }
  return bytes;
}

class PortableDigest : public ::testing::TestWithParam<Portable> {};

TEST_P(PortableDigest, MatchesTheKnownAnswers) {
  auto h = GetParam().make();
  std::set<std::string> inputs;
  for (const auto& a : test::LoadKnownAnswers()) {
    if (a.choice != test::ChoiceNamed(GetParam().name)) continue;
    EXPECT_EQ(Digest(*h, test::InputBytes(a.input)), a.text) << a.input;
    inputs.insert(a.input);
  }
  EXPECT_EQ(inputs.size(), 12u);
}

// OpenSSL, the reference below, is not in the Windows build.
#ifndef _WIN32
TEST_P(PortableDigest, MatchesOpenSslAtEveryLengthUpTo600) {
  // Four or more blocks at every rate and block size (72 to 136 bytes). The
  // split makes a partly filled block complete at the very end, where BLAKE2
  // must hold it back for Final.
  auto h = GetParam().make();
  EvpHash evp(GetParam().evpName);
  ASSERT_EQ(h->DigestSize(), evp.DigestSize());
  const std::string bytes = Noise(600);
  for (size_t n = 0; n <= bytes.size(); ++n) {
    std::string prefix = bytes.substr(0, n);
    const std::string expected = Digest(evp, prefix);
    ASSERT_EQ(Digest(*h, prefix), expected) << n << " bytes";
    ASSERT_EQ(DigestInPieces(*h, prefix, {n / 3 + 1, n}), expected) << n << " bytes in two";
  }
}

TEST_P(PortableDigest, PiecesOfAnySizeMatchOpenSsl) {
  // About 250 KiB, a whole number of blocks at every rate and block size, so
  // that pieces end exactly on the last block.
  const size_t size = 128 * 9 * 13 * 17;
  auto h = GetParam().make();
  EvpHash evp(GetParam().evpName);
  const std::string bytes = Noise(size);
  const std::string expected = Digest(evp, bytes);
  EXPECT_EQ(Digest(*h, bytes), expected) << "whole";
  // One below, at and one past each block size (72, 104, 136 for SHA-3; 64
  // and 128 for BLAKE2), and sizes that drift across them.
  for (size_t piece : {1u, 7u, 63u, 64u, 65u, 71u, 72u, 73u, 103u, 104u, 105u, 127u, 128u, 129u,
                       135u, 136u, 137u, 1000u, 65539u})
    EXPECT_EQ(DigestInPieces(*h, bytes, {piece}), expected) << "pieces of " << piece;
  EXPECT_EQ(DigestInPieces(*h, bytes, {1, 200, 3, 136, 72, 129, 5000, 63, 104}), expected)
      << "mixed pieces";
}
#endif

TEST_P(PortableDigest, ResetForgetsEverythingBefore) {
  auto used = GetParam().make();
  auto fresh = GetParam().make();
  const std::string bytes = Noise(1000);
  const std::string expected = Digest(*fresh, bytes);
  EXPECT_EQ(Digest(*used, "something else first"), Digest(*fresh, "something else first"));
  EXPECT_EQ(Digest(*used, bytes), expected);
  EXPECT_EQ(Digest(*used, bytes), expected);
  // Reset part way through a block, and after whole blocks.
  for (size_t abandoned : {5u, 300u}) {
    used->Reset();
    used->Update(reinterpret_cast<const uint8_t*>(bytes.data()), abandoned);
    EXPECT_EQ(Digest(*used, bytes), expected) << abandoned << " bytes dropped";
  }
  // A new object needs no Reset before its first computation.
  auto unreset = GetParam().make();
  unreset->Update(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  uint8_t out[kMaxDigestBytes];
  unreset->Final(out);
  EXPECT_EQ(HexText({out, unreset->DigestSize()}), expected);
}

INSTANTIATE_TEST_SUITE_P(Portable, PortableDigest, ::testing::ValuesIn(AllPortable()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PortableSha3, OffersOnlyTheThreeDigestSizes) {
  for (size_t bytes : {0u, 28u, 33u, 100u}) EXPECT_THROW(Sha3{bytes}, std::invalid_argument);
}

}  // namespace
}  // namespace quorvid
