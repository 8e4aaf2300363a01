// The road a file takes, from what is known when it is opened.
#include "hashing/read_road.h"

#include <gtest/gtest.h>

#include "hashing/algorithm_catalogue.h"

namespace quorvid {
namespace {

constexpr int64_t kMiB = 1 << 20;
const THashSet kSha256 = HashBit(THashChoices::SHA2_256);
const THashSet kBlake3 = HashBit(THashChoices::Blake3);
const THashSet kXxh64 = HashBit(THashChoices::XXHash64);
const THashSet kTwo = kSha256 | kBlake3;

TEST(ReadRoad, SmallFilesAreReadWholeWhateverTheAlgorithms) {
  for (THashSet set : {kSha256, kBlake3, kTwo, kAllRealHashes})
    for (int64_t size : {int64_t{0}, int64_t{1}, int64_t{kSmallFileSize} - 1})
      EXPECT_EQ(ChooseReadRoad(size, set, 8), TReadRoad::SmallFile) << size;
  EXPECT_EQ(ChooseReadRoad(int64_t{kSmallFileSize}, kSha256, 8), TReadRoad::OneThread);
}

TEST(ReadRoad, OneThreadWhenThereIsNothingToShare) {
  // One processor, no algorithm, or a file of one ring piece at most.
  EXPECT_EQ(ChooseReadRoad(100 * kMiB, kAllRealHashes, 1), TReadRoad::OneThread);
  EXPECT_EQ(ChooseReadRoad(100 * kMiB, 0, 8), TReadRoad::OneThread);
  EXPECT_EQ(ChooseReadRoad(kMiB, kTwo, 8), TReadRoad::OneThread);
  EXPECT_EQ(ChooseReadRoad(kMiB, kBlake3, 8), TReadRoad::OneThread);
  // A lone algorithm below the size where the ring pays for it; some never
  // gain from it.
  const int64_t xxFrom = AlgorithmRow(THashChoices::XXHash64).ringPaysFrom;
  EXPECT_GT(xxFrom, kMiB);
  EXPECT_EQ(ChooseReadRoad(xxFrom - 1, kXxh64, 8), TReadRoad::OneThread);
  EXPECT_EQ(ChooseReadRoad(xxFrom, kXxh64, 8), TReadRoad::Ring);
  EXPECT_EQ(ChooseReadRoad(1000 * kMiB, kSha256, 8), TReadRoad::OneThread);
  EXPECT_EQ(ChooseReadRoad(1000 * kMiB, HashBit(THashChoices::SHA2_512), 8), TReadRoad::Ring);
}

TEST(ReadRoad, ALoneBlake3SplitsItsFileAndTheRestTakeTheRing) {
  EXPECT_EQ(ChooseReadRoad(kMiB + 1, kBlake3, 2), TReadRoad::Parts);
  EXPECT_EQ(ChooseReadRoad(kMiB + 1, HashBit(THashChoices::MD5), 2), TReadRoad::Ring);
  EXPECT_EQ(ChooseReadRoad(kMiB + 1, kTwo, 2), TReadRoad::Ring);
  // A stream of unknown length cannot be split, and its end is not known.
  EXPECT_EQ(ChooseReadRoad(-1, kBlake3, 2), TReadRoad::Ring);
  EXPECT_EQ(ChooseReadRoad(-1, kXxh64, 2), TReadRoad::Ring);
  EXPECT_EQ(ChooseReadRoad(-1, kSha256, 1), TReadRoad::OneThread);
  // None is no algorithm of a file.
  EXPECT_EQ(ChooseReadRoad(10 * kMiB, HashBit(THashChoices::None), 8), TReadRoad::OneThread);
}

}  // namespace
}  // namespace quorvid
