#include <gtest/gtest.h>

#include "test_support.h"

using quorvid::test::RunQuorvid;

TEST(Smoke, BinaryRuns) {
  auto r = RunQuorvid({});
  EXPECT_NE(r.exitCode, 127);
}
