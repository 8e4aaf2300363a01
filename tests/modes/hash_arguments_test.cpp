#include "modes/hash_arguments.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace quorvid {
namespace {

const std::string kSha256 = "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";

TEST(HashArguments, ValidHashTextHasACatalogueLengthAndOnlyHexDigits) {
  for (size_t length : {16, 32, 40, 64, 96, 128})
    EXPECT_TRUE(IsValidHashText(std::string(length, 'a'))) << length;
  for (size_t length : {0, 15, 17, 31, 48, 63, 65, 127, 129})
    EXPECT_FALSE(IsValidHashText(std::string(length, '0'))) << length;
  EXPECT_TRUE(IsValidHashText("0123456789ABCDEFabcdef0123456789"));
  std::string bad = kSha256;
  bad[10] = 'g';
  EXPECT_FALSE(IsValidHashText(bad));
  EXPECT_FALSE(IsValidHashText(kSha256.substr(0, 63) + " "));
}

TEST(HashArguments, ClassifiesUrlsFirstInAnyCase) {
  EXPECT_EQ(ClassifyHashArgument("HTTPS://example/list.txt"), HashArgumentKind::Url);
  EXPECT_EQ(ClassifyHashArgument("hTtP://x"), HashArgumentKind::Url);
  EXPECT_EQ(ClassifyHashArgument("see http://x"), HashArgumentKind::Url);
  EXPECT_EQ(ClassifyHashArgument("ftp://x/list.txt"), HashArgumentKind::ListFileMissing);
}

TEST(HashArguments, ValuesWithPathCharactersAreListFiles) {
  test::TempDir dir;
  test::WriteFile(dir / "list.txt", kSha256 + "  a\n");
  EXPECT_EQ(ClassifyHashArgument(dir / "list.txt"), HashArgumentKind::ListFile);
  EXPECT_EQ(ClassifyHashArgument(dir / "missing.txt"), HashArgumentKind::ListFileMissing);
  EXPECT_EQ(ClassifyHashArgument(dir.path()), HashArgumentKind::ListFileMissing);  // a folder
  // Hex digits plus a dot are a file name, never a hash.
  EXPECT_EQ(ClassifyHashArgument(kSha256.substr(0, 60) + ".txt"), HashArgumentKind::ListFileMissing);
  EXPECT_EQ(ClassifyHashArgument("a:b"), HashArgumentKind::ListFileMissing);
  EXPECT_EQ(ClassifyHashArgument("a\\b"), HashArgumentKind::ListFileMissing);
}

TEST(HashArguments, OtherValuesAreHashTextsOrInvalid) {
  EXPECT_EQ(ClassifyHashArgument(kSha256), HashArgumentKind::HashText);
  EXPECT_EQ(ClassifyHashArgument("0123456789abcdef"), HashArgumentKind::HashText);
  EXPECT_EQ(ClassifyHashArgument(kSha256.substr(1)), HashArgumentKind::InvalidHash);
  EXPECT_EQ(ClassifyHashArgument("notahash"), HashArgumentKind::InvalidHash);
  EXPECT_EQ(ClassifyHashArgument(""), HashArgumentKind::InvalidHash);
}

}  // namespace
}  // namespace quorvid
