#include "platform/file_reader.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "test_support.h"

namespace quorvid::platform {
namespace {

TEST(FileReader, ReadsAFileFrontToBackThenReportsTheEnd) {
  test::TempDir dir;
  test::WriteFile(dir / "f.bin", "0123456789");
  FileReader reader;
  ASSERT_TRUE(reader.Open(dir / "f.bin"));
  uint8_t buf[4];
  std::string seen;
  int64_t n;
  while ((n = reader.Read(buf, sizeof buf)) > 0) seen.append(reinterpret_cast<char*>(buf), n);
  EXPECT_EQ(n, 0);
  EXPECT_EQ(seen, "0123456789");
  reader.Close();
  EXPECT_FALSE(reader.IsOpen());
  EXPECT_EQ(reader.Read(buf, sizeof buf), -1);
}

TEST(FileReader, RefusesFoldersAndMissingNames) {
  test::TempDir dir;
  FileReader reader;
  EXPECT_FALSE(reader.Open(dir.path()));
  EXPECT_FALSE(reader.Open(dir / "missing"));
  EXPECT_FALSE(reader.Open(""));
  EXPECT_FALSE(reader.IsOpen());
}

// Reads at an offset leave the read position alone; SeekTo moves it.
TEST(FileReader, ReadsAtAnOffsetLeaveThePositionAlone) {
  test::TempDir dir;
  test::WriteFile(dir / "f.bin", "aaaaBaaa");
  FileReader reader;
  ASSERT_TRUE(reader.Open(dir / "f.bin"));
  uint8_t buf[4];
  ASSERT_EQ(reader.ReadAt(buf, 1, 4), 1);
  EXPECT_EQ(buf[0], 'B');
  EXPECT_EQ(reader.ReadAt(buf, 4, 8), 0);  // past the end
  ASSERT_EQ(reader.Read(buf, 2), 2);  // still at the front
  EXPECT_EQ(std::string(buf, buf + 2), "aa");
  ASSERT_TRUE(reader.SeekTo(4));
  ASSERT_EQ(reader.Read(buf, 1), 1);
  EXPECT_EQ(buf[0], 'B');
}

// A file another program cuts short while it is read must not end as if it
// had been read whole; one that claims a size it never holds (as those of
// /sys do) still reads to its end.
TEST(FileReader, AFileCutShortWhileReadFailsAtItsEnd) {
  if (test::OnWindows()) GTEST_SKIP() << "on Windows no other program may write a file open for reading";
  test::TempDir dir;
  test::WriteFile(dir / "f.bin", std::string(100, 'x'));
  FileReader reader;
  ASSERT_TRUE(reader.Open(dir / "f.bin"));
  uint8_t buf[40];
  ASSERT_EQ(reader.Read(buf, sizeof buf), 40);
  std::filesystem::resize_file(dir / "f.bin", 60);
  ASSERT_EQ(reader.Read(buf, sizeof buf), 20);
  EXPECT_EQ(reader.Read(buf, sizeof buf), -1);

  // Cut after a seek past the new end, too.
  test::WriteFile(dir / "f.bin", std::string(100, 'x'));
  ASSERT_TRUE(reader.Open(dir / "f.bin"));
  ASSERT_TRUE(reader.SeekTo(80));
  std::filesystem::resize_file(dir / "f.bin", 50);
  EXPECT_EQ(reader.Read(buf, sizeof buf), -1);

  // A file that grew is read to its new end.
  test::WriteFile(dir / "f.bin", std::string(10, 'x'));
  ASSERT_TRUE(reader.Open(dir / "f.bin"));
  test::WriteFile(dir / "f.bin", std::string(50, 'y'));
  int64_t total = 0, n;
  while ((n = reader.Read(buf, sizeof buf)) > 0) total += n;
  EXPECT_EQ(n, 0);
  EXPECT_EQ(total, 50);

  const char* claimsMore = "/sys/kernel/mm/transparent_hugepage/enabled";
  if (reader.Open(claimsMore) && reader.RegularSize() > 0) {
    while ((n = reader.Read(buf, sizeof buf)) > 0) total += n;
    EXPECT_EQ(n, 0) << claimsMore;
  }
}

TEST(FileReader, AFailingReadIsReported) {
  if (test::OnWindows()) GTEST_SKIP() << "no /proc on Windows";
  FileReader reader;
  ASSERT_TRUE(reader.Open("/proc/self/mem"));  // opens, but offset 0 is unmapped
  uint8_t buf[16];
  EXPECT_EQ(reader.Read(buf, sizeof buf), -1);
}

}  // namespace
}  // namespace quorvid::platform
