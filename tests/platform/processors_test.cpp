#include "platform/processors.h"

#include <gtest/gtest.h>
#include <sched.h>

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "test_support.h"

namespace quorvid::platform {
namespace {

// A thread steered away from its caller wakes on another processor, and once
// it lets go it may run anywhere again; the caller is never held. The caller
// is held on one processor for the test, so "another" is well defined.
TEST(Processors, AWokenThreadStartsApartFromItsCallerAndCanBeLetGo) {
  if (UsableProcessorCount() < 2) GTEST_SKIP() << "needs two processors";
  const int usable = test::ThreadAllowedProcessors();
  cpu_set_t one;
  CPU_ZERO(&one);
  CPU_SET(::sched_getcpu(), &one);
  ASSERT_EQ(::sched_setaffinity(0, sizeof one, &one), 0);
  const int callerCpu = ::sched_getcpu();

  std::mutex mutex;
  std::condition_variable cv;
  bool go = false;
  int wokeOn = -1, heldTo = 0, freedTo = 0;
  std::thread worker([&] {
    std::unique_lock<std::mutex> lock(mutex);
    cv.wait(lock, [&] { return go; });
    wokeOn = ::sched_getcpu();
    heldTo = test::ThreadAllowedProcessors();
    ReleaseThisThread();
    freedTo = test::ThreadAllowedProcessors();
  });
  StartApartFromCaller({worker.native_handle()});
  {
    std::lock_guard<std::mutex> lock(mutex);
    go = true;
  }
  cv.notify_one();
  worker.join();
  ReleaseThisThread();  // the test thread too

  EXPECT_NE(wokeOn, callerCpu);
  EXPECT_EQ(heldTo, 1);
  EXPECT_EQ(freedTo, usable);
  EXPECT_EQ(test::ThreadAllowedProcessors(), usable);
}

// More threads than other processors: the ones left over are not held.
TEST(Processors, ThreadsBeyondTheOtherProcessorsAreLeftFree) {
  const size_t usable = UsableProcessorCount();
  std::mutex mutex;
  std::condition_variable cv;
  bool go = false;
  std::vector<std::thread> threads;
  std::vector<int> allowed(usable + 1, 0);
  for (size_t i = 0; i < usable + 1; ++i)
    threads.emplace_back([&, i] {
      std::unique_lock<std::mutex> lock(mutex);
      cv.wait(lock, [&] { return go; });
      allowed[i] = test::ThreadAllowedProcessors();
    });
  std::vector<std::thread::native_handle_type> handles;
  for (std::thread& t : threads) handles.push_back(t.native_handle());
  StartApartFromCaller(handles);
  {
    std::lock_guard<std::mutex> lock(mutex);
    go = true;
  }
  cv.notify_all();
  for (std::thread& t : threads) t.join();
  // usable - 1 other processors: that many threads held to one each.
  for (size_t i = 0; i + 1 < usable; ++i) EXPECT_EQ(allowed[i], 1) << i;
  for (size_t i = usable - 1; i < usable + 1; ++i)
    EXPECT_EQ(allowed[i], static_cast<int>(usable)) << i;
}

}  // namespace
}  // namespace quorvid::platform
