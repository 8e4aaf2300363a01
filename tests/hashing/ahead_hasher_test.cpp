// Files hashed ahead by the run's workers: the digests handed out by index
// equal one-file-at-a-time hashing, whatever the threads and the window,
// files the workers were told to skip are hashed by the asking thread, and
// nothing starts without workers, algorithms or files.
#include "hashing/ahead_hasher.h"

#include <gtest/gtest.h>

#include "hashing/algorithm_catalogue.h"
#include "test_support.h"

namespace quorvid {
namespace {

TEST(AheadHasher, HandsOutTheDigestsOfOneFileAtATimeHashing) {
  test::TempDir dir;
  std::vector<std::string> files;
  for (int i = 0; i < 40; ++i) {
    files.push_back(dir / ("f" + std::to_string(i)));
    test::WriteFile(files.back(), test::PseudoRandomBytes(static_cast<size_t>(i) * 997, static_cast<uint32_t>(i)));
  }
  files.push_back(dir / "missing");
  files.push_back(dir.path());  // a folder cannot be read
  test::WriteFile(dir / "large", test::PseudoRandomBytes(3 << 20, 7));
  files.push_back(dir / "large");
  THashChoicesArray table;
  BuildAlgorithmTable(table);
  CreateHashers(table);
  const THashSet set = HashBit(THashChoices::MD5) | HashBit(THashChoices::SHA2_256) |
                       HashBit(THashChoices::Blake3);
  // The asking thread hashes files no worker took yet instead of waiting:
  // with one worker and a narrow window it does much of the work itself.
  for (auto [width, window] : {std::pair<size_t, size_t>{3, 1}, {3, 3}, {3, 64}, {2, 1},
                               {2, 8}, {2, 256}, {1, 8}}) {
    Executor executor(width);
    THashContext context;
    context.executor = &executor;
    // Every fifth file is left alone by the workers, as a filter would.
    AheadHasher ahead(context, set, files, [&](const std::string& p) { return p.back() != '5'; },
                      window);
    EXPECT_EQ(ahead.Active(), width > 1);
    for (size_t i = 0; i < files.size(); ++i) {
      if (i % 7 == 3) continue;  // the walk passes some files over as well
      TGeneratedHashes want, got;
      const bool wantOk = HashFileMany(table, set, files[i], want);
      EXPECT_EQ(ahead.Await(table, i, got), wantOk) << files[i];
      for (int m = 1; m < kHashChoiceCount; ++m) {
        if (InSet(set, ChoiceAt(m))) {
          EXPECT_EQ(got[m], want[m]) << files[i] << " " << m << " width " << width;
        }
      }
    }
  }
}

TEST(AheadHasher, StartsNothingWithoutWorkersAlgorithmsOrFiles) {
  Executor executor(2);
  THashContext context;
  context.executor = &executor;
  const auto all = [](const std::string&) { return true; };
  std::vector<std::string> none;
  EXPECT_FALSE(AheadHasher(context, HashBit(THashChoices::MD5), none, all).Active());
  std::vector<std::string> one = {"/nonexistent"};
  EXPECT_FALSE(AheadHasher(context, HashBit(THashChoices::None), one, all).Active());
  EXPECT_FALSE(AheadHasher(THashContext{}, HashBit(THashChoices::MD5), one, all).Active());
  EXPECT_TRUE(AheadHasher(context, HashBit(THashChoices::MD5), one, all).Active());
}

TEST(AheadHasher, StopsWhileFilesAreBeingHashed) {
  // Gone before the walk reaches most files: workers in the middle of a
  // large file let go of it, and nothing is left running.
  test::TempDir dir;
  std::vector<std::string> files;
  for (int i = 0; i < 6; ++i) {
    files.push_back(dir / ("big" + std::to_string(i)));
    test::WriteFile(files.back(), test::PseudoRandomBytes(8 << 20, static_cast<uint32_t>(i)));
  }
  THashChoicesArray table;
  BuildAlgorithmTable(table);
  CreateHashers(table);
  Executor executor(3);
  THashContext context;
  context.executor = &executor;
  {
    AheadHasher ahead(context, HashBit(THashChoices::SHA3_512), files,
                      [](const std::string&) { return true; });
    TGeneratedHashes first;
    EXPECT_TRUE(ahead.Await(table, 0, first));
  }
  // The executor is free again for other work.
  std::atomic<int> ran{0};
  executor.Run(4, [&](size_t) { ++ran; });
  EXPECT_EQ(ran.load(), 4);
}

}  // namespace
}  // namespace quorvid
