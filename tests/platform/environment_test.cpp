#include "platform/environment.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace quorvid::platform {
namespace {

TEST(Environment, VariablesAndTheProgramFile) {
  ::setenv("QUORVID_TEST_VARIABLE", "value one", 1);
  EXPECT_EQ(EnvironmentVariable("QUORVID_TEST_VARIABLE"), "value one");
  ::unsetenv("QUORVID_TEST_VARIABLE");
  EXPECT_EQ(EnvironmentVariable("QUORVID_TEST_VARIABLE"), std::nullopt);
  std::string exe = ExecutablePath();
  ASSERT_FALSE(exe.empty());
  EXPECT_EQ(exe.front(), '/');
  EXPECT_NE(exe.find("platform_tests"), std::string::npos);
}

}  // namespace
}  // namespace quorvid::platform
