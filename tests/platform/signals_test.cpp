#include "platform/signals.h"

#include <gtest/gtest.h>

#include <csignal>

namespace quorvid::platform {
namespace {

TEST(Signals, HandlersOnlyStoreFlagsAndKeepTheProcessAlive) {
  ASSERT_TRUE(InstallInterruptHandlers());
  EXPECT_FALSE(CtrlCPressed());
  EXPECT_FALSE(CtrlBreakPressed());

  std::raise(SIGINT);
  EXPECT_TRUE(CtrlCPressed());
  EXPECT_FALSE(CtrlBreakPressed());

  ClearInterruptFlags();
  std::raise(SIGTERM);
  EXPECT_FALSE(CtrlCPressed());
  EXPECT_TRUE(CtrlBreakPressed());

  ClearInterruptFlags();
  std::raise(SIGQUIT);
  EXPECT_TRUE(CtrlBreakPressed());

  // Installing again starts from clear flags.
  ASSERT_TRUE(InstallInterruptHandlers());
  EXPECT_FALSE(CtrlBreakPressed());
  RestoreDefaultInterruptHandlers();
}

// A signal that arrives inside a scope waits for its end; an inner scope
// gives back the outer one's mask, which still holds it.
TEST(Signals, BlockedSignalsWaitForTheOutermostScope) {
  ASSERT_TRUE(InstallInterruptHandlers());
  {
    ScopedSignalsBlocked outer;
    {
      ScopedSignalsBlocked inner;
      std::raise(SIGINT);
      EXPECT_FALSE(CtrlCPressed());
    }
    EXPECT_FALSE(CtrlCPressed());
  }
  EXPECT_TRUE(CtrlCPressed());
  RestoreDefaultInterruptHandlers();
}

TEST(SignalsDeathTest, DefaultActionsComeBackAfterRestore) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        InstallInterruptHandlers();
        RestoreDefaultInterruptHandlers();
        std::raise(SIGTERM);
        std::_Exit(0);
      },
      testing::KilledBySignal(SIGTERM), "");
}

}  // namespace
}  // namespace quorvid::platform
