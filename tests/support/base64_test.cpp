#include "support/base64.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

#include "test_support.h"

namespace quorvid {
namespace {

std::string RandomBytes(size_t size, unsigned seed) {
  std::mt19937 engine(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(engine() & 0xFF);
  return bytes;
}

// The coreutils encoder, unwrapped: the same format ours promises.
std::string CoreutilsEncode(const std::string& bytes) {
  test::TempDir dir;
  test::WriteFile(dir / "in.bin", bytes);
  const std::string command = "base64 -w 0 '" + (dir / "in.bin") + "' > '" + (dir / "out.txt") + "'";
  EXPECT_EQ(std::system(command.c_str()), 0);
  return test::ReadFile(dir / "out.txt");
}

TEST(Base64Text, SentenceBothWays) {
  EXPECT_EQ(EncodeText("I really love this utility!!"), "SSByZWFsbHkgbG92ZSB0aGlzIHV0aWxpdHkhIQ==");
  EXPECT_EQ(DecodeText("SSByZWFsbHkgbG92ZSB0aGlzIHV0aWxpdHkhIQ=="), "I really love this utility!!");
}

TEST(Base64Text, PaddingOfShortInputs) {
  EXPECT_EQ(EncodeText(""), "");
  EXPECT_EQ(EncodeText("a"), "YQ==");
  EXPECT_EQ(EncodeText("ab"), "YWI=");
  EXPECT_EQ(EncodeText("abc"), "YWJj");
  EXPECT_EQ(EncodeText(std::string("\xff\xfe\x00", 3)), "//4A");
  EXPECT_EQ(DecodeText(""), "");
}

TEST(Base64Text, MatchesCoreutilsAndRoundTrips) {
  if (test::OnWindows()) GTEST_SKIP() << "no coreutils base64 on Windows to compare with";
  for (size_t size : {0u, 1u, 2u, 3u, 4u, 5u, 57u, 1000u, 65537u}) {
    const std::string bytes = RandomBytes(size, 1234 + static_cast<unsigned>(size));
    const std::string encoded = EncodeText(bytes);
    EXPECT_EQ(encoded, CoreutilsEncode(bytes)) << "size " << size;
    EXPECT_EQ(encoded.size(), (size + 2) / 3 * 4);
    EXPECT_EQ(DecodeText(encoded), bytes) << "size " << size;
  }
}

TEST(Base64Text, UnpaddedTextIsCompleted) {
  // Two alphabet characters: one byte; three: two bytes.
  EXPECT_EQ(DecodeText("YQ"), "a");
  EXPECT_EQ(DecodeText("YWI"), "ab");
  EXPECT_EQ(DecodeText("SSByZWFsbHkgbG92ZSB0aGlzIHV0aWxpdHkhIQ"), "I really love this utility!!");
  // A single leftover character carries no whole byte.
  EXPECT_EQ(DecodeText("YWJjY"), "abc");
}

TEST(Base64Text, SkipsEverythingOutsideTheAlphabet) {
  EXPECT_EQ(DecodeText("SSBy ZWFs\r\nbHkg\tbG92\nZSB0-aGlz*IHV0 aWxp dHkh IQ=="),
            "I really love this utility!!");
  EXPECT_EQ(DecodeText("  Y W J j  "), "abc");
  EXPECT_EQ(DecodeText("!!!!"), "");
}

TEST(Base64Text, StopsAtFirstEquals) {
  EXPECT_EQ(DecodeText("YQ==YWJj"), "a");
  EXPECT_EQ(DecodeText("YWJj=YWJj"), "abc");
  EXPECT_EQ(DecodeText("=YWJj"), "");
}

TEST(Base64Text, CompletionCountsSkippedCharacters) {
  // Four characters in all, so nothing is appended and the two-value group,
  // having no "=", is dropped.
  EXPECT_EQ(DecodeText("YQ  "), "");
  // Five characters: three "=" are appended, so the group gives its byte.
  EXPECT_EQ(DecodeText("YQ   "), "a");
}

TEST(Base64Stream, PiecesGiveTheSameTextAsOneCall) {
  const std::string bytes = RandomBytes(10007, 99);
  const std::string whole = EncodeText(bytes);
  for (size_t piece : {1u, 2u, 3u, 4u, 7u, 4096u}) {
    Base64Encoder encoder;
    std::string out;
    for (size_t at = 0; at < bytes.size(); at += piece) encoder.Update(std::string_view(bytes).substr(at, piece), out);
    encoder.Finish(out);
    EXPECT_EQ(out, whole) << "piece " << piece;

    Base64Decoder decoder;
    std::string back;
    for (size_t at = 0; at < out.size(); at += piece) decoder.Update(std::string_view(out).substr(at, piece), back);
    decoder.Finish(back);
    EXPECT_EQ(back, bytes) << "piece " << piece;
  }
}

TEST(Base64Stream, UnpaddedTailIsDroppedAndPaddedTailKept) {
  std::string out;
  Base64Decoder dropped;
  dropped.Update("YWJjYQ", out);
  dropped.Finish(out);
  EXPECT_EQ(out, "abc");

  out.clear();
  Base64Decoder padded;
  padded.Update("YWJjYWI", out);
  padded.Update("=", out);
  EXPECT_TRUE(padded.Stopped());
  padded.Update("YWJj", out);
  padded.Finish(out);
  EXPECT_EQ(out, "abcab");
}

}  // namespace
}  // namespace quorvid
