// One BLAKE3 over a large file on every core: whole views hashed apart must
// give the digest of the file's bytes whether they are viewed or read, and a
// file cut short, or a stop, must fail rather than give a digest.
#include "hashing/blake3_file.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>

#include "hashing/parallel_pool.h"
#include "platform/mapped_view.h"
#include "test_support.h"

namespace quorvid {
namespace {

using platform::FileReader;
using platform::MappedView;

const size_t kView = 64 * 1024;  // a power of two, a multiple of the page size

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

// The views in parallel, then the rest of the file read as the engine does.
bool HashFile(const std::string& path, size_t threads, std::string& digest,
              const std::function<bool()>& abandon = {}, size_t view = kView) {
  FileReader reader;
  if (!reader.Open(path)) return false;
  Blake3 h;
  if (!HashWholeViewsInParallel(reader, h, view, threads, abandon)) return false;
  uint8_t buf[3000];
  int64_t n;
  while ((n = reader.Read(buf, sizeof buf)) > 0) h.Update(buf, static_cast<size_t>(n));
  if (n < 0) return false;
  digest = Digest(h);
  return true;
}

TEST(Blake3File, WholeViewsOnSeveralThreadsGiveTheFilesDigest) {
  test::TempDir dir;
  for (size_t size : {2 * kView, 2 * kView + 1, 3 * kView + 1000, 7 * kView + kView - 1}) {
    const std::string content = Pattern(size);
    test::WriteFile(dir / "f.bin", content);
    for (size_t threads : {size_t{1}, size_t{2}, size_t{5}, ParallelWidth()}) {
      std::string digest;
      ASSERT_TRUE(HashFile(dir / "f.bin", threads, digest)) << size << " on " << threads;
      EXPECT_EQ(digest, DigestOf(content)) << size << " on " << threads;
    }
  }
}

// With the process's view budget spent elsewhere, the parts are read, each
// in several reads when they are large.
TEST(Blake3File, PartsAreReadWhenNoViewCanBeHad) {
  test::TempDir dir;
  test::WriteFile(dir / "hold.bin", "");
  std::filesystem::resize_file(dir / "hold.bin", MappedView::kLiveViewBudget);
  FileReader holder;
  ASSERT_TRUE(holder.Open(dir / "hold.bin"));
  MappedView held;
  ASSERT_TRUE(holder.ViewAt(held, 0, MappedView::kLiveViewBudget));

  for (size_t view : {kView, size_t{4} << 20}) {
    const std::string content = Pattern(3 * view + 333);
    test::WriteFile(dir / "f.bin", content);
    std::string digest;
    ASSERT_TRUE(HashFile(dir / "f.bin", 2, digest, {}, view)) << view;
    EXPECT_EQ(digest, DigestOf(content)) << view;
  }

  // A file cut short after it was opened fails on that road too.
  FileReader reader;
  ASSERT_TRUE(reader.Open(dir / "f.bin"));
  std::filesystem::resize_file(dir / "f.bin", 5 << 20);
  Blake3 h;
  EXPECT_FALSE(HashWholeViewsInParallel(reader, h, 4 << 20, 2, {}));
}

TEST(Blake3File, AFileCutShortOrAStopFailsTheFile) {
  test::TempDir dir;
  const std::string content = Pattern(40 * kView);
  test::WriteFile(dir / "f.bin", content);
  {
    FileReader reader;
    ASSERT_TRUE(reader.Open(dir / "f.bin"));
    std::filesystem::resize_file(dir / "f.bin", 3 * kView + 5);  // views past it lose pages
    Blake3 h;
    EXPECT_FALSE(HashWholeViewsInParallel(reader, h, kView, 2, {}));
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
