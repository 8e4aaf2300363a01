#include "cli/valid_hashes.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace quorvid {
namespace {

TEST(ValidHashes, TheHelpCopyHasTheNoneLineAndEndsWithAnEmptyLine) {
  auto withNone = test::SplitLines(ValidHashesText(true));
  auto without = test::SplitLines(ValidHashesText(false));
  ASSERT_EQ(withNone.size(), without.size() + 1);
  EXPECT_EQ(withNone[1], "   * NONE .................. --NOHASH,    -N");
  EXPECT_EQ(withNone.back(), "");
  EXPECT_EQ(std::vector<std::string>(withNone.begin() + 2, withNone.end()),
            std::vector<std::string>(without.begin() + 1, without.end()));
  // The --vh output starts with the list without NONE.
  EXPECT_EQ(ValidHashesModeText().rfind(ValidHashesText(false), 0), 0u);
}

}  // namespace
}  // namespace quorvid
