// The buffered text stream: code page, buffering, append, and write failures.
#include <gtest/gtest.h>

#include "output/text_stream.h"
#include "test_support.h"

namespace quorvid {
namespace {

using test::LineEnd;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::unique_ptr<TextStream> OpenStream(const std::string& path, platform::WriteMode mode,
                                       uint16_t codePage, size_t bufferSize) {
  platform::OutputTarget target;
  std::string error;
  EXPECT_TRUE(platform::OpenOutputTarget(path, mode, target, error)) << error;
  return std::make_unique<TextStream>(target, path, codePage, bufferSize);
}

TEST(TextStream, BuffersUntilFlushAndConvertsTheCodePage) {
  TempDir dir;
  std::string path = dir / "out.txt";
  auto stream = OpenStream(path, platform::WriteMode::CreateOrTruncate, 1252, 1024);
  stream->WriteLine("caf\xC3\xA9");
  stream->Write("x");
  EXPECT_EQ(ReadFile(path), "");  // still held in the buffer
  stream->Flush();
  EXPECT_EQ(ReadFile(path), "caf\xE9" + LineEnd() + "x");
  stream->Close();
  EXPECT_TRUE(stream->IsClosed());
  EXPECT_FALSE(stream->Failed());
}

TEST(TextStream, WritesOutWhenTheBufferFills) {
  TempDir dir;
  std::string path = dir / "out.txt";
  auto stream = OpenStream(path, platform::WriteMode::CreateOrTruncate, 65001, 8);
  stream->WriteLine("1234");
  EXPECT_EQ(ReadFile(path), "");
  stream->WriteLine("5678");
  EXPECT_EQ(ReadFile(path), "1234" + LineEnd() + "5678" + LineEnd());
}

TEST(TextStream, TruncatesOrAppends) {
  TempDir dir;
  std::string path = dir / "out.txt";
  WriteFile(path, "old\n");
  OpenStream(path, platform::WriteMode::Append, 65001, 1024)->WriteLine("new");
  EXPECT_EQ(ReadFile(path), "old\nnew" + LineEnd());  // the destructor writes what is held
  OpenStream(path, platform::WriteMode::CreateOrTruncate, 65001, 1024)->WriteLine("only");
  EXPECT_EQ(ReadFile(path), "only" + LineEnd());
}

TEST(TextStream, OpeningAFolderFailsWithASystemText) {
  TempDir dir;
  platform::OutputTarget target;
  std::string error;
  EXPECT_FALSE(platform::OpenOutputTarget(dir.path(), platform::WriteMode::CreateOrTruncate,
                                          target, error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(platform::OpenOutputTarget(dir / "no/such/folder/x.txt",
                                          platform::WriteMode::CreateOrTruncate, target, error));
}

TEST(TextStream, AFullDeviceIsReportedOnceAtFlushAndLaterWritesAreDropped) {
  if (test::OnWindows()) GTEST_SKIP() << "no /dev/full on Windows";
  auto stream = OpenStream("/dev/full", platform::WriteMode::CreateOrTruncate, 65001, 1024);
  int calls = 0;
  stream->SetFailureHandler([&](TextStream& s) {
    ++calls;
    EXPECT_EQ(s.Name(), "/dev/full");
  });
  stream->WriteLine("line");
  EXPECT_EQ(calls, 0);
  stream->Close();
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(stream->Failed());
  EXPECT_NE(stream->ErrorText().find("space"), std::string::npos) << stream->ErrorText();
  stream->WriteLine("more");
  stream->Flush();
  stream->Close();
  EXPECT_EQ(calls, 1);
}

TEST(TextStream, AFullDeviceIsFoundAsSoonAsTheBufferSpills) {
  if (test::OnWindows()) GTEST_SKIP() << "no /dev/full on Windows";
  auto stream = OpenStream("/dev/full", platform::WriteMode::CreateOrTruncate, 65001, 4);
  bool failed = false;
  stream->SetFailureHandler([&](TextStream&) { failed = true; });
  stream->WriteLine("12345");
  EXPECT_TRUE(failed);
}

}  // namespace
}  // namespace quorvid
