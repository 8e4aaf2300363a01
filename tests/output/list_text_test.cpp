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

}  // namespace
}  // namespace quorvid
