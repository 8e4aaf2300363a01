#include "platform/environment.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "test_support.h"

namespace quorvid::platform {
namespace {

TEST(Environment, VariablesAndTheProgramFile) {
  test::SetEnv("QUORVID_TEST_VARIABLE", "value one");
  EXPECT_EQ(EnvironmentVariable("QUORVID_TEST_VARIABLE"), "value one");
  test::UnsetEnv("QUORVID_TEST_VARIABLE");
  EXPECT_EQ(EnvironmentVariable("QUORVID_TEST_VARIABLE"), std::nullopt);
  std::string exe = ExecutablePath();
  ASSERT_FALSE(exe.empty());
  EXPECT_TRUE(std::filesystem::path(exe).is_absolute()) << exe;
  EXPECT_NE(exe.find("platform_tests"), std::string::npos);
}

}  // namespace
}  // namespace quorvid::platform
