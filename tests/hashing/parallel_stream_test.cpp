// Several algorithms over one read, side by side on several threads: the
// digests equal one-algorithm-at-a-time hashing on sizes around the read
// buffer, and failing or abandoned reads are reported.
#include <gtest/gtest.h>

#include <set>

#include "hashing/algorithm_table.h"
#include "hashing/engine.h"
#include "hashing/parallel_stream.h"
#include "test_support.h"

namespace quorvid {
namespace {

std::string Bytes(size_t size) {
  std::string data(size, '\0');
  uint32_t x = 12345;
  for (char& c : data) {
    x = x * 1103515245u + 12345u;
    c = static_cast<char>(x >> 23);
  }
  return data;
}

TEST(ParallelStream, EveryAlgorithmOverOneReadEqualsSeparateReads) {
  THashChoicesArray table;
  BuildAlgorithmTable(table);
  CreateHashers(table);
  test::TempDir dir;
  const size_t b = kReadBufferSize;
  for (size_t size : {size_t{0}, size_t{1}, b - 1, b, b + 1, 2 * b, 3 * b + 5, 4 * b + 4097}) {
    const std::string path = dir.path() + "/f" + std::to_string(size);
    test::WriteFile(path, Bytes(size));
    TGeneratedHashes many;
    ASSERT_TRUE(HashFileMany(table, kAllRealHashes, path, many)) << size;
    // A smaller set too, so groups hold one algorithm each.
    TGeneratedHashes two;
    const THashSet pair = HashBit(THashChoices::SHA2_256) | HashBit(THashChoices::Blake3);
    ASSERT_TRUE(HashFileMany(table, pair, path, two));
    for (int m = 1; m < kHashChoiceCount; ++m) {
      int32_t failed = 1;
      const std::string alone = HashFileText(table[m], path, failed);
      EXPECT_EQ(failed, 0);
      EXPECT_EQ(many[m], alone) << table[m].DisplayName << " size " << size;
      if (InSet(pair, ChoiceAt(m))) {
        EXPECT_EQ(two[m], alone) << table[m].DisplayName;
      }
    }
  }
}

std::vector<std::unique_ptr<IHash>> SomeHashers(std::vector<TWeightedHasher>& weighted) {
  std::vector<std::unique_ptr<IHash>> owned;
  for (THashChoices c : {THashChoices::MD5, THashChoices::SHA3_512, THashChoices::Blake3}) {
    owned.push_back(MakeHasher(c));
    weighted.push_back({owned.back().get(), EstimatedCostPerByte(c)});
  }
  return owned;
}

TEST(ParallelStream, AReadErrorOrAnAbortPartWayFailsTheStream) {
  std::vector<TWeightedHasher> weighted;
  auto owned = SomeHashers(weighted);
  const size_t kBuf = 4096;
  std::vector<uint8_t> first(kBuf, 7);
  int reads = 0;
  auto failing = [&](uint8_t* p, size_t n) -> int64_t {
    if (++reads > 5) return -1;
    std::fill(p, p + n, static_cast<uint8_t>(reads));
    return static_cast<int64_t>(n);
  };
  EXPECT_FALSE(StreamToHashersInParallel(weighted, 2, failing, {}, first.data(), kBuf, kBuf));

  int asked = 0;
  auto endless = [&](uint8_t* p, size_t n) -> int64_t {
    std::fill(p, p + n, 1);
    return static_cast<int64_t>(n);
  };
  EXPECT_FALSE(StreamToHashersInParallel(weighted, 3, endless, [&] { return ++asked > 9; },
                                         first.data(), kBuf, kBuf));
  EXPECT_EQ(asked, 10);
}

TEST(ParallelStream, GroupsHoldEveryHasherOnceAndBalanceTheCost) {
  std::vector<TWeightedHasher> weighted;
  for (int m = 1; m < kHashChoiceCount; ++m)
    weighted.push_back({nullptr, EstimatedCostPerByte(ChoiceAt(m))});
  for (size_t groups : {1u, 2u, 3u, 14u, 20u}) {
    auto split = BalanceGroups(weighted, groups);
    EXPECT_EQ(split.size(), std::min<size_t>(groups, weighted.size()));
    std::multiset<size_t> seen;
    for (const auto& g : split) seen.insert(g.begin(), g.end());
    EXPECT_EQ(seen.size(), weighted.size());
    EXPECT_EQ(std::set<size_t>(seen.begin(), seen.end()).size(), weighted.size());
  }
  auto two = BalanceGroups(weighted, 2);
  double a = 0, b = 0;
  for (size_t i : two[0]) a += weighted[i].costPerByte;
  for (size_t i : two[1]) b += weighted[i].costPerByte;
  EXPECT_LT(std::abs(a - b), 2.0);  // no group carries much more than the other
}

}  // namespace
}  // namespace quorvid
