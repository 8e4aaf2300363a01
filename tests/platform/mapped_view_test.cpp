// Views of a file: the bytes they show, the reads that follow them, and a
// file cut short under a view, which must be survived and reported.
#include "platform/mapped_view.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/file_reader.h"
#include "test_support.h"

namespace quorvid::platform {
namespace {

std::string Pattern(size_t size) {
  std::string s(size, '\0');
  for (size_t i = 0; i < size; ++i) s[i] = static_cast<char>((i * 131 + i / 4096) & 0xFF);
  return s;
}

TEST(MappedView, ViewsShowTheFileWithinItsSizeAtOpenAndLeaveReadsAlone) {
  test::TempDir dir;
  const size_t page = MappedView::ViewAlignment();
  const std::string content = Pattern(5 * page + 123);
  test::WriteFile(dir / "f.bin", content);
  FileReader reader;
  ASSERT_TRUE(reader.Open(dir / "f.bin"));
  ASSERT_EQ(reader.RegularSize(), static_cast<int64_t>(content.size()));
  // The file grows after it was opened: views cover the size at open only.
  test::WriteFile(dir / "f.bin", content + "tail");

  MappedView view;
  ASSERT_TRUE(reader.ViewAt(view, 2 * page, 3 * page + 123));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(view.Data()), view.Size()),
            content.substr(2 * page));
  EXPECT_FALSE(view.Faulted());
  EXPECT_FALSE(reader.ViewAt(view, 2 * page, 3 * page + 124));
  EXPECT_EQ(view.Data(), nullptr);
  EXPECT_FALSE(reader.ViewAt(view, 6 * page, 1));

  // Reads still start at the front and run to the new end.
  std::string seen;
  uint8_t buf[64];
  int64_t n;
  while ((n = reader.Read(buf, sizeof buf)) > 0) seen.append(reinterpret_cast<char*>(buf), n);
  EXPECT_EQ(n, 0);
  EXPECT_EQ(seen, content + "tail");
}

TEST(MappedView, OnlyRegularFilesAreViewed) {
  FileReader reader;
  ASSERT_TRUE(reader.Open("/dev/null"));
  EXPECT_EQ(reader.RegularSize(), -1);
  MappedView view;
  EXPECT_FALSE(reader.ViewAt(view, 0, MappedView::ViewAlignment()));
  EXPECT_EQ(view.Data(), nullptr);
}

TEST(MappedView, AFileCutShortUnderAViewReadsAsZerosAndIsReported) {
  test::TempDir dir;
  const size_t page = MappedView::ViewAlignment();
  test::WriteFile(dir / "f.bin", Pattern(8 * page));
  int fd = ::open((dir / "f.bin").c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  MappedView view;
  ASSERT_TRUE(view.Map(fd, 0, 8 * page));
  EXPECT_EQ(view.Data()[page], static_cast<uint8_t>(Pattern(8 * page)[page]));
  ASSERT_EQ(::truncate((dir / "f.bin").c_str(), static_cast<off_t>(2 * page)), 0);

  // Without the guard this read would end the process with SIGBUS.
  unsigned sum = 0;
  for (size_t i = 2 * page; i < 8 * page; ++i) sum += view.Data()[i];
  EXPECT_EQ(sum, 0u);
  EXPECT_TRUE(view.Faulted());

  // A fresh view of what is left is sound again.
  ASSERT_TRUE(view.Map(fd, 0, 2 * page));
  EXPECT_FALSE(view.Faulted());
  view.Unmap();
  ::close(fd);
}

TEST(MappedView, LiveViewsOfTheProcessStayWithinTheBudget) {
  test::TempDir dir;
  const size_t half = MappedView::kLiveViewBudget / 2;
  test::WriteFile(dir / "f.bin", "");
  std::filesystem::resize_file(dir / "f.bin", 3 * half);
  int fd = ::open((dir / "f.bin").c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  MappedView a, b, c;
  ASSERT_TRUE(a.Map(fd, 0, half));
  ASSERT_TRUE(b.Map(fd, half, half));
  EXPECT_FALSE(c.Map(fd, 2 * half, half));  // over the budget: read instead
  EXPECT_EQ(c.Data(), nullptr);
  a.Unmap();
  EXPECT_TRUE(c.Map(fd, 2 * half, half));
  ::close(fd);
}

TEST(MappedViewDeathTest, AFaultOutsideAnyViewStillEndsTheProcess) {
  test::TempDir dir;
  const size_t page = MappedView::ViewAlignment();
  test::WriteFile(dir / "f.bin", Pattern(4 * page));
  MappedView view;  // installs the handler
  int fd = ::open((dir / "f.bin").c_str(), O_RDONLY);
  ASSERT_TRUE(view.Map(fd, 0, page));
  const std::string path = dir / "f.bin";
  EXPECT_EXIT(
      {
        // A mapping of its own, not a view: the handler must not hide this.
        void* p = ::mmap(nullptr, 4 * page, PROT_READ, MAP_SHARED, fd, 0);
        if (::truncate(path.c_str(), 0) != 0) _exit(3);
        volatile uint8_t b = static_cast<const uint8_t*>(p)[3 * page];
        (void)b;
        _exit(0);
      },
      ::testing::KilledBySignal(SIGBUS), "");
  ::close(fd);
}

}  // namespace
}  // namespace quorvid::platform
