#include "platform/file_reader.h"

#include <gtest/gtest.h>

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

// Reads and views at an offset leave the read position alone; SeekTo moves it.
TEST(FileReader, ReadsAndViewsAtAnOffsetLeaveThePositionAlone) {
  test::TempDir dir;
  const size_t page = MappedView::ViewAlignment();
  std::string content(3 * page, 'a');
  content[page] = 'B';
  test::WriteFile(dir / "f.bin", content);
  FileReader reader;
  ASSERT_TRUE(reader.Open(dir / "f.bin"));
  uint8_t buf[4];
  ASSERT_EQ(reader.ReadAt(buf, 1, page), 1);
  EXPECT_EQ(buf[0], 'B');
  MappedView view;
  ASSERT_TRUE(reader.ViewAt(view, page, page, true));
  EXPECT_EQ(view.Data()[0], 'B');
  EXPECT_FALSE(reader.ViewAt(view, 2 * page, 2 * page));  // past the size at open
  EXPECT_EQ(view.Data(), nullptr);
  ASSERT_EQ(reader.Read(buf, 2), 2);  // still at the front
  EXPECT_EQ(std::string(buf, buf + 2), "aa");
  ASSERT_TRUE(reader.SeekTo(page));
  ASSERT_EQ(reader.Read(buf, 1), 1);
  EXPECT_EQ(buf[0], 'B');
}

TEST(FileReader, AFailingReadIsReported) {
  FileReader reader;
  ASSERT_TRUE(reader.Open("/proc/self/mem"));  // opens, but offset 0 is unmapped
  uint8_t buf[16];
  EXPECT_EQ(reader.Read(buf, sizeof buf), -1);
}

}  // namespace
}  // namespace quorvid::platform
