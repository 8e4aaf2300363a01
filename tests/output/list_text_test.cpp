// Decoding list files: byte-order marks, line ends, code pages.
#include <gtest/gtest.h>

#include "output/list_text.h"

namespace quorvid {
namespace {

using Lines = std::vector<std::string>;

TEST(ListText, EveryLineEndSplits) {
  EXPECT_EQ(DecodeListText("a\r\nb\nc\rd", 65001), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(DecodeListText("a\n\nb\n", 65001), (Lines{"a", "", "b"}));
  EXPECT_EQ(DecodeListText("a\r\n\r\n", 65001), (Lines{"a", ""}));
  EXPECT_EQ(DecodeListText("\n", 65001), (Lines{""}));
  EXPECT_EQ(DecodeListText("", 65001), Lines{});
  // CR CR LF is a line end followed by an empty line.
  EXPECT_EQ(DecodeListText("a\r\r\nb", 65001), (Lines{"a", "", "b"}));
}

TEST(ListText, ByteOrderMarksPickTheEncodingAndAreDropped) {
  EXPECT_EQ(DecodeListText("\xEF\xBB\xBF" "caf\xC3\xA9\r\nx", 1252), (Lines{"caf\xC3\xA9", "x"}));
  EXPECT_EQ(DecodeListText(std::string("\xFF\xFE" "a\0\xE9\0\r\0\n\0b\0", 12), 65001),
            (Lines{"a\xC3\xA9", "b"}));
  EXPECT_EQ(DecodeListText(std::string("\xFE\xFF\0a\0\n\0b", 8), 65001), (Lines{"a", "b"}));
}

TEST(ListText, WithoutMarkTheCodePageDecides) {
  EXPECT_EQ(DecodeListText("caf\xE9\n", 1252), (Lines{"caf\xC3\xA9"}));
  // Without --cp the bytes are taken as they are.
  EXPECT_EQ(DecodeListText("caf\xE9\n", 65001), (Lines{"caf\xE9"}));
}

// The lines of `bytes` fed `piece` bytes at a time.
Lines Fed(std::string_view bytes, size_t piece, uint16_t codePage) {
  ListLineSplitter splitter(codePage);
  Lines lines;
  std::string line;
  for (size_t at = 0; at < bytes.size(); at += piece) {
    splitter.Feed(bytes.substr(at, piece));
    while (splitter.Next(line)) lines.push_back(line);
  }
  splitter.Finish();
  while (splitter.Next(line)) lines.push_back(line);
  return lines;
}

TEST(ListLineSplitter, PiecesOfAnySizeGiveTheSameLines) {
  // Marks, CR LF pairs and UTF-16 units cut across pieces.
  const std::string texts[] = {
      "a\r\nb\nc\rd",
      "a\r\r\nb\r",
      "\xEF\xBB\xBF" "caf\xC3\xA9\r\nx\n",
      std::string("\xFF\xFE" "a\0\xE9\0\r\0\n\0b\0\r\0", 14),
      std::string("\xFE\xFF\0a\0\r\0\n\0b", 10),
      "\xFF",
      ""};
  for (const std::string& text : texts)
    for (uint16_t codePage : {uint16_t{65001}, uint16_t{1252}})
      for (size_t piece = 1; piece <= 5; ++piece)
        EXPECT_EQ(Fed(text, piece, codePage), DecodeListText(text, codePage))
            << piece << " " << codePage;
  EXPECT_EQ(Fed("x\r", 1, 65001), (Lines{"x"}));
}

TEST(ListLineSplitter, HoldsOnlyTheLineNotYetTaken) {
  ListLineSplitter splitter(65001);
  std::string line;
  for (int i = 0; i < 1000; ++i) {
    splitter.Feed(std::string(1000, 'x') + "\n");
    ASSERT_TRUE(splitter.Next(line));
    EXPECT_EQ(line.size(), 1000u);
  }
  EXPECT_EQ(splitter.PendingBytes(), 0u);
  splitter.Feed("unfinished");
  EXPECT_FALSE(splitter.Next(line));
  EXPECT_EQ(splitter.PendingBytes(), 10u);
}

}  // namespace
}  // namespace quorvid
