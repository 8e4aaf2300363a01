// One BLAKE3 over a large file on every thread: whole parts hashed apart must
// give the digest of the file's bytes, whatever the number of threads, parts
// and tail, and a file cut short, or a stop, must fail rather than give a
// digest.
#include "hashing/blake3_file.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>

#include "hashing/executor.h"
#include "test_support.h"

namespace quorvid {
namespace {

using platform::FileReader;

std::string Pattern(size_t size) {
  std::string s(size, '\0');
  for (size_t i = 0; i < size; ++i) s[i] = static_cast<char>((i * 2654435761u) >> 13);
  return s;
}

std::string DigestOf(const std::string& content) {
  Blake3 h;
  h.Update(reinterpret_cast<const uint8_t*>(content.data()), content.size());
  uint8_t out[32];
  h.Final(out);
  return HexText({out, 32});
}

// The file at `path` in parts of `part` bytes with `context`.
bool HashFile(const std::string& path, size_t part, const THashContext& context,
              std::string& digest) {
  FileReader reader;
  if (!reader.Open(path)) return false;
  uint8_t out[32];
  if (!HashBlake3InParts(reader, part, context, out)) return false;
  digest = HexText({out, 32});
  return true;
}

TEST(Blake3File, WholePartsOnSeveralThreadsGiveTheFilesDigest) {
  test::TempDir dir;
  Executor two(2), five(5);
  // Parts of four chunks, and of 64 KiB; tails around a chunk and a part.
  for (size_t part : {size_t{4096}, size_t{64} << 10}) {
    for (size_t parts : {2, 3, 7, 40}) {
      for (size_t tail : {size_t{0}, size_t{1}, size_t{1023}, size_t{1024}, size_t{1025}, part - 1}) {
        const std::string content = Pattern(parts * part + tail);
        test::WriteFile(dir / "f.bin", content);
        for (Executor* executor : {static_cast<Executor*>(nullptr), &two, &five}) {
          THashContext context;
          context.executor = executor;
          std::string digest;
          ASSERT_TRUE(HashFile(dir / "f.bin", part, context, digest));
          EXPECT_EQ(digest, DigestOf(content))
              << parts << " parts of " << part << ", tail " << tail << ", width "
              << (executor ? executor->Width() : 1);
        }
      }
    }
  }
}

TEST(Blake3File, LargePartsAreReadInPiecesAndCounted) {
  test::TempDir dir;
  const size_t part = size_t{4} << 20;
  const std::string content = Pattern(9 * part + 333);
  test::WriteFile(dir / "f.bin", content);
  Executor executor(3);
  std::atomic<uint64_t> bytes{0};
  THashContext context;
  context.executor = &executor;
  context.bytesRead = &bytes;
  std::string digest;
  ASSERT_TRUE(HashFile(dir / "f.bin", part, context, digest));
  EXPECT_EQ(digest, DigestOf(content));
  EXPECT_EQ(bytes.load(), content.size());
}

TEST(Blake3File, AFileCutShortOrAStopFailsTheFile) {
  test::TempDir dir;
  const size_t part = 64 << 10;
  const std::string content = Pattern(40 * part);
  Executor executor(2);
  THashContext context;
  context.executor = &executor;
  test::WriteFile(dir / "f.bin", content);
  // On Windows no other program may write a file open for reading.
  if (!test::OnWindows()) {
    FileReader reader;
    ASSERT_TRUE(reader.Open(dir / "f.bin"));
    // Parts past the cut read short.
    std::filesystem::resize_file(dir / "f.bin", 3 * part + 5);
    uint8_t out[32];
    EXPECT_FALSE(HashBlake3InParts(reader, part, context, out));
  }
  test::WriteFile(dir / "f.bin", content);
  std::atomic<int> asked{0};
  context.abandon = [&] { return ++asked >= 3; };
  std::string digest;
  EXPECT_FALSE(HashFile(dir / "f.bin", part, context, digest));
  EXPECT_LT(asked.load(), 10);  // the threads stop soon after the word
}

TEST(Blake3File, PartsAreAboutSixteenAThreadWithinTheirBounds) {
  const int64_t kMiB = 1 << 20;
  EXPECT_EQ(PartSizeFor(1024 * kMiB, 2), size_t{4} << 20);
  EXPECT_EQ(PartSizeFor(64 * kMiB, 2), size_t{2} << 20);
  EXPECT_EQ(PartSizeFor(64 * kMiB, 4), size_t{1} << 20);
  EXPECT_EQ(PartSizeFor(2 * kMiB, 8), size_t{256} << 10);
}

}  // namespace
}  // namespace quorvid
