// The rules for names of both systems, checked here whatever the build.
#include "platform/path_rules.h"

#include <gtest/gtest.h>

namespace quorvid::platform {
namespace {

TEST(PathRules, RootsOfBothSystems) {
  EXPECT_EQ(RootLength("/data", kPosixRules), 1u);
  EXPECT_EQ(RootLength("data/x", kPosixRules), 0u);
  EXPECT_EQ(RootLength("C:\\x", kPosixRules), 0u);  // an ordinary POSIX name
  EXPECT_EQ(RootLength("C:\\data", kWindowsRules), 3u);
  EXPECT_EQ(RootLength("c:/data", kWindowsRules), 3u);
  EXPECT_EQ(RootLength("C:data", kWindowsRules), 2u);
  EXPECT_EQ(RootLength("\\data", kWindowsRules), 1u);
  EXPECT_EQ(RootLength("\\\\server\\share\\data", kWindowsRules), 15u);
  EXPECT_EQ(RootLength("\\\\server\\share", kWindowsRules), 14u);
  EXPECT_EQ(RootLength("data\\x", kWindowsRules), 0u);
  EXPECT_EQ(RootLength("", kWindowsRules), 0u);
}

TEST(PathRules, LastNamesSeparatorsAndCase) {
  EXPECT_EQ(LastNameStart("dir/sub\\a.txt", kPosixRules), 4u);
  EXPECT_EQ(LastNameStart("dir/sub\\a.txt", kWindowsRules), 8u);
  EXPECT_EQ(LastNameStart("C:a.txt", kWindowsRules), 2u);
  EXPECT_EQ(LastNameStart("a.txt", kWindowsRules), 0u);
  EXPECT_EQ(NativeSeparators("C:/data/x", kWindowsRules), "C:\\data\\x");
  EXPECT_EQ(NativeSeparators("a\\b/c", kPosixRules), "a\\b/c");
  EXPECT_TRUE(SameNameText("C:\\Data", "c:\\DATA", kWindowsRules));
  EXPECT_FALSE(SameNameText("/Data", "/data", kPosixRules));
  EXPECT_FALSE(SameNameText("ab", "abc", kWindowsRules));
}

}  // namespace
}  // namespace quorvid::platform
