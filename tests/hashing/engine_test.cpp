// Failures of the engine: placeholders, unreadable names, digest matching.
#include "hashing/engine.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "hashing/algorithm_catalogue.h"
#include "hashing/executor.h"
#include "test_support.h"

namespace quorvid {
namespace {

class Engine : public ::testing::Test {
 protected:
  void SetUp() override {
    BuildAlgorithmTable(table_);
    CreateHashers(table_);
    test::WriteFile(abc_, "abc");
  }
  const THashAlgorithmRec& Rec(THashChoices c) const { return table_[static_cast<int>(c)]; }
  // Two threads whatever the machine, so the parallel roads are taken.
  THashContext Parallel(std::function<bool()> abandon = {}) {
    THashContext context;
    context.executor = &executor_;
    context.abandon = std::move(abandon);
    return context;
  }

  Executor executor_{2};
  THashChoicesArray table_;
  test::TempDir dir_;
  std::string abc_ = dir_ / "abc.txt";
};

TEST_F(Engine, PlaceholderIsCutToTheHashWidth) {
  EXPECT_EQ(PlaceholderText(32), ":::DENIED:::" + std::string(20, ':'));
  EXPECT_EQ(PlaceholderText(16), ":::DENIED:::" + std::string(4, ':'));
  EXPECT_EQ(PlaceholderText(128), ":::DENIED:::" + std::string(116, ':'));
  EXPECT_EQ(PlaceholderText(8), ":::DENIE");
}

TEST_F(Engine, UnreadableNamesGiveThePlaceholder) {
  const std::string unreadable[] = {dir_.path(), dir_ / "missing.bin", "/proc/self/mem", ""};
  for (const std::string& name : unreadable) {
    for (int m = 1; m < kHashChoiceCount; ++m) {
      const THashAlgorithmRec& rec = table_[m];
      int32_t failed = 0;
      EXPECT_EQ(HashFileText(rec, name, failed), PlaceholderText(rec.HashLength))
          << name << " " << rec.DisplayName;
      EXPECT_EQ(failed, 1);
      EXPECT_EQ(MatchFileDigest(rec, name, PlaceholderText(rec.HashLength)), 1);
    }
  }
  EXPECT_EQ(HashOfText(Rec(THashChoices::SHA2_512), "x").size(), 128u);
  int32_t failed = 0;
  EXPECT_EQ(HashFileText(Rec(THashChoices::XXHash64), dir_.path(), failed).size(), 16u);
  EXPECT_EQ(HashFileText(Rec(THashChoices::SHA2_512), dir_.path(), failed).size(), 128u);
}

TEST_F(Engine, OneReadFailureGivesEveryPlaceholder) {
  TGeneratedHashes out;
  EXPECT_FALSE(HashFileMany(table_, kAllRealHashes, dir_ / "missing.bin", out));
  EXPECT_TRUE(out[0].empty());
  for (int m = 1; m < kHashChoiceCount; ++m)
    EXPECT_EQ(out[m], PlaceholderText(table_[m].HashLength)) << m;
  EXPECT_FALSE(HashFileMany(table_, kAllRealHashes, "/proc/self/mem", out));
}

TEST_F(Engine, AnyExistingNonFolderCanBeHashed) {
  // A device is not a regular file but still names a file: /dev/null (NUL
  // on Windows) is empty.
  int32_t failed = 1;
  const THashAlgorithmRec& md5 = Rec(THashChoices::MD5);
  const std::string null = test::OnWindows() ? "NUL" : "/dev/null";
  EXPECT_EQ(HashFileText(md5, null, failed), HashOfText(md5, ""));
  EXPECT_EQ(failed, 0);
}

TEST_F(Engine, ExpectedTextMatchesInAnyLetterCase) {
  const THashAlgorithmRec& md5 = Rec(THashChoices::MD5);
  const std::string lower = "900150983cd24fb0d6963f7d28e17f72";
  EXPECT_EQ(MatchFileDigest(md5, abc_, lower), 0);
  EXPECT_EQ(MatchFileDigest(md5, abc_, "900150983CD24FB0D6963F7D28E17F72"), 0);
  EXPECT_EQ(MatchFileDigest(md5, abc_, "900150983Cd24fB0d6963F7D28E17f72"), 0);
  EXPECT_EQ(MatchFileDigest(md5, abc_, lower + " "), 2);
  EXPECT_EQ(MatchFileDigest(md5, abc_, " " + lower), 2);
  EXPECT_EQ(MatchFileDigest(md5, abc_, lower.substr(1)), 2);
  EXPECT_EQ(MatchFileDigest(md5, abc_, ""), 2);
  EXPECT_EQ(MatchFileDigest(Rec(THashChoices::SHA1), abc_, lower), 2);
}

TEST_F(Engine, TableWithoutHashObjectsStillHashes) {
  THashChoicesArray bare;
  BuildAlgorithmTable(bare);
  const THashAlgorithmRec& rec = bare[static_cast<int>(THashChoices::SHA2_256)];
  EXPECT_FALSE(rec.Hasher);
  int32_t failed = 1;
  EXPECT_EQ(HashFileText(rec, abc_, failed),
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(failed, 0);
  TGeneratedHashes out;
  EXPECT_TRUE(HashFileMany(bare, kAllRealHashes, abc_, out));
  EXPECT_EQ(out[static_cast<int>(THashChoices::SHA2_256)],
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TEST_F(Engine, NoHashIsNeverComputed) {
  const THashAlgorithmRec& none = Rec(THashChoices::None);
  int32_t failed = 0;
  EXPECT_EQ(HashFileText(none, abc_, failed), PlaceholderText(21));
  EXPECT_EQ(failed, 1);
}

TEST_F(Engine, PipesAreReadToTheEndNotToTheFirstShortRead) {
  // A pipe delivers what the writer has written so far, so a read comes back
  // short long before the end; the whole stream must still be hashed.
  if (test::OnWindows()) GTEST_SKIP() << "no FIFOs on Windows";
  const std::string fifo = dir_ / "pipe";
  ASSERT_TRUE(test::MakeFifo(fifo));
  std::string content;
  for (int i = 0; i < 5; ++i) content += std::string(1000 + i, static_cast<char>('a' + i));
  std::thread writer([&] {
    std::ofstream out(fifo, std::ios::binary);
    for (int i = 0; i < 5; ++i) {
      out << std::string(1000 + i, static_cast<char>('a' + i)) << std::flush;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  });
  const THashAlgorithmRec& sha = Rec(THashChoices::SHA2_256);
  int32_t failed = 1;
  std::string text = HashFileText(sha, fifo, failed);
  writer.join();
  EXPECT_EQ(failed, 0);
  EXPECT_EQ(text, HashOfText(sha, content));
}

TEST_F(Engine, AbandonedFilesFail) {
  const THashAlgorithmRec& md5 = Rec(THashChoices::MD5);
  int32_t failed = 0;
  bool abandon = true;
  const THashContext context = Parallel([&] { return abandon; });
  EXPECT_EQ(HashFileText(md5, abc_, failed, context), PlaceholderText(32));
  EXPECT_EQ(failed, 1);
  abandon = false;
  EXPECT_EQ(HashFileText(md5, abc_, failed, context), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(failed, 0);
}

TEST_F(Engine, HashObjectsCarryNoStateBetweenComputations) {
  const THashAlgorithmRec& b3 = Rec(THashChoices::Blake3);
  std::string first = HashOfText(b3, "abc");
  TGeneratedHashes out;
  HashFileMany(table_, kAllRealHashes, "/proc/self/mem", out);  // fails midway
  HashOfText(b3, std::string(5000, 'x'));
  EXPECT_EQ(HashOfText(b3, "abc"), first);
  int32_t failed = 0;
  EXPECT_EQ(HashFileText(b3, abc_, failed), first);
}

// Large files take other roads than small ones (a reading thread beside the
// hashing ones, the reading thread alone for XXHash64 up to 32 MiB, whole
// parts on every core for a lone BLAKE3); every road must give the digest of
// the file's bytes. The sizes give a lone BLAKE3 256 KiB parts (1 and
// 5 MiB), 512 KiB parts (17 MiB) or 1 MiB parts (33 MiB), and a tail after
// them.
TEST_F(Engine, LargeFilesGiveTheDigestsOfTheirBytesWhateverTheRoad) {
  for (size_t size : {(1u << 20) + 77, (5u << 20) + 77, (17u << 20) + 77, (33u << 20) + 77}) {
    std::string content(size, '\0');
    for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>((i * 7919) >> 5);
    const std::string big = dir_ / "big.bin";
    test::WriteFile(big, content);

    for (THashChoices lone :
         {THashChoices::Blake3, THashChoices::SHA2_256, THashChoices::XXHash64}) {
      for (const THashContext& context : {THashContext{}, Parallel()}) {
        int32_t failed = 1;
        EXPECT_EQ(HashFileText(Rec(lone), big, failed, context), HashOfText(Rec(lone), content))
            << Rec(lone).DisplayName;
        EXPECT_EQ(failed, 0);
      }
    }
    if (size > (16u << 20)) continue;  // several algorithms take the same roads at either size
    for (THashSet set : {HashBit(THashChoices::MD5) | HashBit(THashChoices::SHA1) |
                             HashBit(THashChoices::Blake3),
                         kAllRealHashes}) {
      TGeneratedHashes out;
      ASSERT_TRUE(HashFileMany(table_, set, big, out, Parallel()));
      for (int m = 1; m < kHashChoiceCount; ++m) {
        if (!InSet(set, ChoiceAt(m))) continue;
        EXPECT_EQ(out[m], HashOfText(table_[m], content)) << m;
      }
    }
  }
}

// Small files are read whole into a small buffer of their own; one that grew
// after it was opened is read on to its new end, within that buffer or past
// it.
TEST_F(Engine, SmallFilesAndFilesThatGrewAfterOpeningGiveTheirDigests) {
  const THashAlgorithmRec& sha = Rec(THashChoices::SHA2_256);
  const std::string file = dir_ / "small.bin";
  const auto content = [](size_t size) {
    std::string text(size, '\0');
    for (size_t i = 0; i < size; ++i) text[i] = static_cast<char>((i * 31) >> 3);
    return text;
  };
  for (size_t size : {0u, 1u, (64u << 10) - 1, 64u << 10, (64u << 10) + 1}) {
    test::WriteFile(file, content(size));
    int32_t failed = 1;
    EXPECT_EQ(HashFileText(sha, file, failed), HashOfText(sha, content(size))) << size;
    EXPECT_EQ(failed, 0);
  }
  if (test::OnWindows()) GTEST_SKIP() << "on Windows no other program may write a file open for reading";
  for (size_t grown : {20u, (64u << 10) - 1, 100u << 10}) {
    test::WriteFile(file, content(10));
    const std::function<bool()> growOnce = [&, done = false]() mutable {
      if (!done) test::WriteFile(file, content(grown));  // after the open, before the read
      done = true;
      return false;
    };
    TGeneratedHashes out;
    ASSERT_TRUE(HashFileMany(table_, HashBit(THashChoices::SHA2_256), file, out, Parallel(growOnce)));
    EXPECT_EQ(out[static_cast<int>(THashChoices::SHA2_256)], HashOfText(sha, content(grown)))
        << grown;
  }
}

// Another program cuts a large file short while it is being hashed: the file
// must fail on every road rather than get the digest of what was read of it.
TEST_F(Engine, AFileCutShortWhileHashedFails) {
  if (test::OnWindows()) GTEST_SKIP() << "on Windows no other program may write a file open for reading";
  const std::string big = dir_ / "shrinking.bin";
  // A lone BLAKE3 (parts on every thread), a lone XXHash64 (one thread), a
  // lone SHA2_256 and all of them (the ring).
  {
    for (THashSet set : {HashBit(THashChoices::Blake3), HashBit(THashChoices::XXHash64),
                         HashBit(THashChoices::SHA2_256), kAllRealHashes}) {
      test::WriteFile(big, std::string(20u << 20, 'q'));
      std::atomic<bool> cut{false};
      const std::function<bool()> cutOnce = [&] {
        if (!cut.exchange(true)) std::filesystem::resize_file(big, 4096);
        return false;
      };
      TGeneratedHashes out;
      EXPECT_FALSE(HashFileMany(table_, set, big, out, Parallel(cutOnce))) << set;
      EXPECT_TRUE(cut);
      for (THashChoices c :
           {THashChoices::Blake3, THashChoices::SHA2_256, THashChoices::XXHash64}) {
        if (InSet(set, c)) {
          EXPECT_EQ(out[static_cast<int>(c)],
                    PlaceholderText(table_[static_cast<int>(c)].HashLength))
              << set;
        }
      }
    }
  }
}

}  // namespace
}  // namespace quorvid
