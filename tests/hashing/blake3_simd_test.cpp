// Every BLAKE3 "hash many" variant this processor supports against the
// portable one: directly on chunk and parent groups, and as whole digests on
// lengths around block, chunk and subtree boundaries and the known answers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hashing/blake3.h"
#include "hashing/blake3_impl.h"
#include "hashing/hasher.h"
#include "hashing/vectors.h"

namespace quorvid {
namespace {

using blake3::Variant;

const char* NameOf(Variant v) {
  switch (v) {
    case Variant::Portable:
      return "portable";
    case Variant::Sse41:
      return "sse4.1";
    case Variant::Avx2:
      return "avx2";
    case Variant::Avx512:
      return "avx512";
  }
  return "?";
}

std::vector<Variant> SupportedWideVariants() {
  std::vector<Variant> out;
  for (Variant v : {Variant::Sse41, Variant::Avx2, Variant::Avx512})
    if (blake3::VariantSupported(v)) out.push_back(v);
  return out;
}

std::vector<uint8_t> Pattern(size_t size, uint32_t seed) {
  std::vector<uint8_t> data(size);
  uint32_t x = seed * 2654435761u + 1;
  for (auto& b : data) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    b = static_cast<uint8_t>(x);
  }
  return data;
}

std::string Digest(const uint8_t* data, size_t size, size_t piece) {
  Blake3 h;
  for (size_t pos = 0; pos < size; pos += piece) h.Update(data + pos, std::min(piece, size - pos));
  if (size == 0) h.Update(data, 0);
  uint8_t out[32];
  h.Final(out);
  return HexText({out, 32});
}

// Switches the dispatch for one scope.
class VariantScope {
 public:
  explicit VariantScope(Variant v) : previous_(blake3::UseVariant(v)) {}
  ~VariantScope() { blake3::UseVariant(previous_); }

 private:
  Variant previous_;
};

TEST(Blake3Simd, DispatchPicksASupportedVariant) {
  EXPECT_TRUE(blake3::VariantSupported(blake3::ActiveVariant()));
  EXPECT_TRUE(blake3::VariantSupported(Variant::Portable));
  if (SupportedWideVariants().empty()) GTEST_SKIP() << "no SIMD variant on this processor";
}

TEST(Blake3Simd, HashManyMatchesPortableForChunksAndParents) {
  const uint32_t* key = blake3::kIV.data();
  const auto data = Pattern(40 * blake3::kChunkLen, 7);
  for (Variant v : SupportedWideVariants()) {
    // Input counts below, at and above each lane width; counters that carry
    // into the high word; chunk mode and parent mode.
    for (size_t count : {1u, 3u, 4u, 5u, 8u, 9u, 15u, 16u, 17u, 33u, 40u}) {
      std::vector<const uint8_t*> inputs;
      for (size_t i = 0; i < count; ++i) inputs.push_back(data.data() + i * blake3::kChunkLen);
      for (uint64_t counter : {uint64_t{0}, uint64_t{5}, uint64_t{0xFFFFFFFAu}}) {
        std::vector<uint8_t> want(count * 32), got(count * 32, 0xEE);
        blake3::HashManyPortable(inputs.data(), count, 16, key, counter, true, 0,
                                 blake3::kChunkStart, blake3::kChunkEnd, want.data());
        blake3::HashManyWith(v, inputs.data(), count, 16, key, counter, true, 0,
                             blake3::kChunkStart, blake3::kChunkEnd, got.data());
        EXPECT_EQ(got, want) << NameOf(v) << " chunks " << count << " counter " << counter;
      }
      std::vector<const uint8_t*> parents;
      for (size_t i = 0; i < count; ++i) parents.push_back(data.data() + 3 + i * 64);
      std::vector<uint8_t> want(count * 32), got(count * 32, 0xEE);
      blake3::HashManyPortable(parents.data(), count, 1, key, 0, false, blake3::kParent, 0, 0,
                               want.data());
      blake3::HashManyWith(v, parents.data(), count, 1, key, 0, false, blake3::kParent, 0, 0,
                           got.data());
      EXPECT_EQ(got, want) << NameOf(v) << " parents " << count;
    }
  }
}

TEST(Blake3Simd, WholeDigestsMatchPortableAroundBoundaries) {
  const size_t kMiB = size_t{1} << 20;
  const std::vector<size_t> lengths = {
      0,     1,     63,     64,        65,        1023,      1024,      1025,     2047,
      2048,  2049,  3072,   4095,      4096,      4097,      8191,      8192,     8193,
      16383, 16384, 16385,  31 * 1024, 33 * 1024, 65535,     65536,     65537,    131071,
      131072 + 1,   262144, 262145,    kMiB - 1,  kMiB,      kMiB + 1,  3 * kMiB + 517};
  const auto data = Pattern(lengths.back(), 3);
  std::vector<std::string> reference;
  {
    VariantScope portable(Variant::Portable);
    for (size_t n : lengths) reference.push_back(Digest(data.data(), n, n + 1));
  }
  for (Variant v : SupportedWideVariants()) {
    VariantScope scope(v);
    for (size_t i = 0; i < lengths.size(); ++i) {
      EXPECT_EQ(Digest(data.data(), lengths[i], lengths[i] + 1), reference[i])
          << NameOf(v) << " length " << lengths[i];
      // Pieces that do not line up with chunks or subtrees.
      if (lengths[i] > 5000) {
        EXPECT_EQ(Digest(data.data(), lengths[i], 5000), reference[i])
            << NameOf(v) << " length " << lengths[i] << " in pieces";
      }
    }
  }
}

TEST(Blake3Simd, EveryVariantGivesTheKnownAnswers) {
  std::vector<Variant> variants = SupportedWideVariants();
  variants.insert(variants.begin(), Variant::Portable);
  size_t checked = 0;
  for (const test::KnownAnswer& a : test::LoadKnownAnswers()) {
    if (a.choice != THashChoices::Blake3) continue;
    const std::string bytes = test::InputBytes(a.input);
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    for (Variant v : variants) {
      VariantScope scope(v);
      EXPECT_EQ(Digest(p, bytes.size(), bytes.size() + 1), a.text) << NameOf(v) << " " << a.input;
    }
    ++checked;
  }
  EXPECT_GE(checked, 10u);
}

}  // namespace
}  // namespace quorvid
