// One BLAKE3 over a large file on every core: whole parts hashed apart must
// give the digest of the file's bytes, whether read, viewed or measured both
// ways, and a file cut short, or a stop, must fail rather than give a digest.
#include "hashing/blake3_file.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>

#include "hashing/parallel_pool.h"
#include "test_support.h"

namespace quorvid {
namespace {

using platform::FileReader;

const size_t kPart = 64 * 1024;  // a power of two

std::string Pattern(size_t size) {
  std::string s(size, '\0');
  for (size_t i = 0; i < size; ++i) s[i] = static_cast<char>((i * 2654435761u) >> 13);
  return s;
}

std::string Digest(Blake3& h) {
  uint8_t out[32];
  h.Final(out);
  return HexText({out, 32});
}

std::string DigestOf(const std::string& content) {
  Blake3 h;
  h.Update(reinterpret_cast<const uint8_t*>(content.data()), content.size());
  return Digest(h);
}

const PartAccess kEveryAccess[] = {PartAccess::Read, PartAccess::View, PartAccess::Measure};

// Sets how parts are got for one scope; a run measures by default.
struct AccessScope {
  explicit AccessScope(PartAccess access) { SetPartAccess(access); }
  ~AccessScope() { SetPartAccess(PartAccess::Measure); }
};

// The parts in parallel, then the rest of the file read as the engine does.
bool HashFile(const std::string& path, size_t threads, std::string& digest,
              const std::function<bool()>& abandon = {}, size_t part = kPart) {
  FileReader reader;
  if (!reader.Open(path)) return false;
  Blake3 h;
  if (!HashWholePartsInParallel(reader, h, part, threads, abandon)) return false;
  uint8_t buf[3000];
  int64_t n;
  while ((n = reader.Read(buf, sizeof buf)) > 0) h.Update(buf, static_cast<size_t>(n));
  if (n < 0) return false;
  digest = Digest(h);
  return true;
}

TEST(Blake3File, WholePartsOnSeveralThreadsGiveTheFilesDigest) {
  test::TempDir dir;
  for (PartAccess access : kEveryAccess) {
    AccessScope scope(access);
    for (size_t size : {2 * kPart, 2 * kPart + 1, 3 * kPart + 1000, 7 * kPart + kPart - 1,
                        40 * kPart + 77}) {
      const std::string content = Pattern(size);
      test::WriteFile(dir / "f.bin", content);
      for (size_t threads : {size_t{1}, size_t{2}, size_t{5}, ParallelWidth()}) {
        std::string digest;
        ASSERT_TRUE(HashFile(dir / "f.bin", threads, digest))
            << size << " on " << threads << ", access " << static_cast<int>(access);
        EXPECT_EQ(digest, DigestOf(content))
            << size << " on " << threads << ", access " << static_cast<int>(access);
      }
    }
  }
}

// Parts larger than a read piece are read in several pieces; five of them
// at once pass the budget of views, so some are read even when viewing.
TEST(Blake3File, LargePartsAreReadInPiecesOrViewedWithinTheBudget) {
  test::TempDir dir;
  const size_t part = size_t{4} << 20;
  const std::string content = Pattern(9 * part + 333);
  test::WriteFile(dir / "f.bin", content);
  for (PartAccess access : kEveryAccess) {
    AccessScope scope(access);
    for (size_t threads : {size_t{2}, size_t{5}}) {
      std::string digest;
      ASSERT_TRUE(HashFile(dir / "f.bin", threads, digest, {}, part));
      EXPECT_EQ(digest, DigestOf(content)) << static_cast<int>(access) << " on " << threads;
    }
  }
}

// Files too small to decide alone add up: one thread over three parts reads
// one untimed, then views one and reads one, so two such files decide.
TEST(Blake3File, TheRunDecidesHowToGetPartsFromWhatItTimed) {
  test::TempDir dir;
  const std::string content = Pattern(3 * kPart);
  test::WriteFile(dir / "f.bin", content);
  AccessScope scope(PartAccess::Measure);
  std::string digest;
  // One thread over three parts times one part of each way per file: one
  // file does not decide, a few together do.
  ASSERT_TRUE(HashFile(dir / "f.bin", 1, digest));
  EXPECT_EQ(digest, DigestOf(content));
  EXPECT_EQ(CurrentPartAccess(), PartAccess::Measure);
  int files = 1;
  for (; files < 10 && CurrentPartAccess() == PartAccess::Measure; ++files) {
    ASSERT_TRUE(HashFile(dir / "f.bin", 1, digest));
    EXPECT_EQ(digest, DigestOf(content));
  }
  EXPECT_LT(files, 10);
  const PartAccess decided = CurrentPartAccess();
  EXPECT_TRUE(decided == PartAccess::Read || decided == PartAccess::View);
  // The verdict holds for later files, and setting Measure starts over.
  ASSERT_TRUE(HashFile(dir / "f.bin", 2, digest));
  EXPECT_EQ(CurrentPartAccess(), decided);
  SetPartAccess(PartAccess::Measure);
  ASSERT_TRUE(HashFile(dir / "f.bin", 1, digest));
  EXPECT_EQ(CurrentPartAccess(), PartAccess::Measure);
}

TEST(Blake3File, AFileCutShortOrAStopFailsTheFile) {
  test::TempDir dir;
  const std::string content = Pattern(40 * kPart);
  for (PartAccess access : kEveryAccess) {
    AccessScope scope(access);
    test::WriteFile(dir / "f.bin", content);
    FileReader reader;
    ASSERT_TRUE(reader.Open(dir / "f.bin"));
    // Parts past the cut read short, or fault under a view.
    std::filesystem::resize_file(dir / "f.bin", 3 * kPart + 5);
    Blake3 h;
    EXPECT_FALSE(HashWholePartsInParallel(reader, h, kPart, 2, {})) << static_cast<int>(access);
  }
  test::WriteFile(dir / "f.bin", content);
  int asked = 0;
  std::string digest;
  EXPECT_FALSE(HashFile(dir / "f.bin", 1, digest, [&] { return ++asked == 3; }));
  EXPECT_EQ(asked, 3);  // and no more after the stop

  // With other threads, only the calling one is asked.
  const std::thread::id caller = std::this_thread::get_id();
  std::atomic<bool> otherThreadAsked{false};
  ASSERT_TRUE(HashFile(dir / "f.bin", 2, digest, [&] {
    if (std::this_thread::get_id() != caller) otherThreadAsked = true;
    return false;
  }));
  EXPECT_FALSE(otherThreadAsked);
  EXPECT_EQ(digest, DigestOf(content));
}

}  // namespace
}  // namespace quorvid
