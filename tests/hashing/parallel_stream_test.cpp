// Several algorithms over one read, side by side on the run's threads: the
// digests equal one-algorithm-at-a-time hashing on sizes around the ring's
// pieces, each object gets every piece once and in order whatever the
// threads and slots, and failing or abandoned reads are reported.
#include "hashing/parallel_stream.h"

#include <gtest/gtest.h>

#include <atomic>

#include "hashing/algorithm_catalogue.h"
#include "hashing/engine.h"
#include "hashing/read_road.h"
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
  Executor executor(3);
  THashContext parallel;
  parallel.executor = &executor;
  const size_t b = kRingPiece;
  for (size_t size : {size_t{0}, size_t{1}, b - 1, b, b + 1, 2 * b, 3 * b + 5, 4 * b + 4097}) {
    const std::string path = dir.path() + "/f" + std::to_string(size);
    test::WriteFile(path, Bytes(size));
    TGeneratedHashes many;
    ASSERT_TRUE(HashFileMany(table, kAllRealHashes, path, many, parallel)) << size;
    // A smaller set too: fewer algorithms than threads.
    TGeneratedHashes two;
    const THashSet pair = HashBit(THashChoices::SHA2_256) | HashBit(THashChoices::MD5);
    ASSERT_TRUE(HashFileMany(table, pair, path, two, parallel));
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
    weighted.push_back({owned.back().get(), AlgorithmRow(c).costPerByte});
  }
  return owned;
}

TEST(ParallelStream, AReadErrorOrAnAbandonPartWayFailsTheStream) {
  std::vector<TWeightedHasher> weighted;
  auto owned = SomeHashers(weighted);
  Executor executor(3);
  std::atomic<int> reads{0};
  auto failing = [&](uint8_t* p, size_t n) -> int64_t {
    if (++reads > 5) return -1;
    std::fill(p, p + n, static_cast<uint8_t>(reads));
    return static_cast<int64_t>(n);
  };
  EXPECT_FALSE(StreamThroughRing(weighted, &executor, failing, {}, 4096));

  std::atomic<int> asked{0};
  auto endless = [&](uint8_t* p, size_t n) -> int64_t {
    std::fill(p, p + n, 1);
    return static_cast<int64_t>(n);
  };
  EXPECT_FALSE(StreamThroughRing(weighted, &executor, endless, [&] { return ++asked > 9; }, 4096));
  EXPECT_EQ(asked.load(), 10);  // asked before each read, never after the stop
  EXPECT_FALSE(StreamThroughRing(weighted, nullptr, failing, {}, 4096));
}

// Many small pieces of uneven length, read into the slots as soon as the
// ring allows: whatever the threads and slots, each object must see every
// piece once and in order, and no slot may be read into while an object
// still needs it.
TEST(ParallelStream, EachObjectGetsEveryPieceInOrderWhateverTheThreads) {
  const std::string data = Bytes(300000);
  const std::vector<THashChoices> choices = {THashChoices::MD5, THashChoices::SHA1,
                                             THashChoices::SHA3_512, THashChoices::XXHash64,
                                             THashChoices::Blake3, THashChoices::MurmurHash3_x64};
  std::vector<std::string> expected;
  for (THashChoices c : choices) {
    auto h = MakeHasher(c);
    h->Update(reinterpret_cast<const uint8_t*>(data.data()), data.size());
    uint8_t out[kMaxDigestBytes];
    h->Final(out);
    expected.push_back(HexText({out, h->DigestSize()}));
  }
  for (size_t width : {1u, 2u, 3u, 7u}) {
    Executor executor(width);
    for (size_t slots : {2u, 3u, 5u}) {
      for (size_t count : {size_t{1}, size_t{2}, choices.size()}) {
        std::vector<std::unique_ptr<IHash>> owned;
        std::vector<TWeightedHasher> weighted;
        for (size_t i = 0; i < count; ++i) {
          owned.push_back(MakeHasher(choices[i]));
          weighted.push_back({owned.back().get(), AlgorithmRow(choices[i]).costPerByte});
        }
        size_t offset = 0, pieces = 0;
        const auto read = [&](uint8_t* buffer, size_t capacity) -> int64_t {
          const size_t length = std::min({data.size() - offset, capacity, 1 + (pieces++ * 7919) % 4096});
          std::copy_n(data.data() + offset, length, buffer);
          offset += length;
          return static_cast<int64_t>(length);
        };
        ASSERT_TRUE(StreamThroughRing(weighted, &executor, read, {}, 4096, slots));
        for (size_t i = 0; i < count; ++i) {
          uint8_t out[kMaxDigestBytes];
          owned[i]->Final(out);
          EXPECT_EQ(HexText({out, owned[i]->DigestSize()}), expected[i])
              << i << " of " << count << " on " << width << " threads, " << slots << " slots";
        }
      }
    }
  }
}

}  // namespace
}  // namespace quorvid
