// Code page conversion of written files and list files.
#include <gtest/gtest.h>

#include "platform/text_encoding.h"
#include "test_support.h"

namespace quorvid {
namespace {

using platform::CodePageAvailable;
using platform::CodePageToUtf8;
using platform::Utf8ToCodePage;

TEST(CodePage, SupportedAndUnsupportedNumbers) {
  for (uint16_t id : {65001, 1200, 1201, 20127, 28591, 28605, 1252, 850, 437, 932})
    EXPECT_TRUE(CodePageAvailable(id)) << id;
  // ISO-8859-12 never existed; 1 names no code page either. UTF-7 (65000)
  // is Windows' own.
  for (uint16_t id : {28602, 1, 12345}) EXPECT_FALSE(CodePageAvailable(id)) << id;
  EXPECT_EQ(CodePageAvailable(65000), test::OnWindows());
}

TEST(CodePage, Utf8IsLeftAlone) {
  EXPECT_EQ(Utf8ToCodePage("caf\xC3\xA9 \xE2\x82\xAC", 65001), "caf\xC3\xA9 \xE2\x82\xAC");
  EXPECT_EQ(CodePageToUtf8("\xE9\xFF", 65001), "\xE9\xFF");
}

TEST(CodePage, SingleByteCodePages) {
  EXPECT_EQ(Utf8ToCodePage("caf\xC3\xA9", 1252), "caf\xE9");
  EXPECT_EQ(Utf8ToCodePage("\xE2\x82\xAC", 1252), "\x80");   // euro sign
  EXPECT_EQ(Utf8ToCodePage("\xE2\x82\xAC", 28605), "\xA4");  // ISO-8859-15
  EXPECT_EQ(Utf8ToCodePage("\xC3\xA9", 28591), "\xE9");
  EXPECT_EQ(CodePageToUtf8("caf\xE9", 1252), "caf\xC3\xA9");
}

TEST(CodePage, MissingCharactersBecomeQuestionMarks) {
  // A Cyrillic letter and a euro sign have no place in Latin-1 or ASCII.
  EXPECT_EQ(Utf8ToCodePage("a\xD0\x96" "b\xE2\x82\xAC" "c", 28591), "a?b?c");
  EXPECT_EQ(Utf8ToCodePage("\xC3\xA9t\xC3\xA9", 20127), "?t?");
  // Bytes that are not UTF-8 at all are replaced as well, one per character.
  EXPECT_EQ(Utf8ToCodePage("x\xFFy\xC3", 1252), "x?y?");
}

TEST(CodePage, Utf16BothByteOrders) {
  EXPECT_EQ(Utf8ToCodePage("A\xC3\xA9\n", 1200), std::string("A\0\xE9\0\n\0", 6));
  EXPECT_EQ(Utf8ToCodePage("A\xC3\xA9\n", 1201), std::string("\0A\0\xE9\0\n", 6));
  EXPECT_EQ(CodePageToUtf8(std::string("A\0\xE9\0", 4), 1200), "A\xC3\xA9");
  // A cut-off final unit decodes to "?".
  EXPECT_EQ(CodePageToUtf8(std::string("A\0B", 3), 1200), "A?");
}

}  // namespace
}  // namespace quorvid
