// The run's threads: every share of a job runs once, jobs inside jobs and
// jobs from several threads finish, and background jobs run beside their
// caller.
#include "hashing/executor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace quorvid {
namespace {

TEST(Executor, RunsEveryShareExactlyOnceEvenWhenNestedOrConcurrent) {
  for (size_t width : {1u, 2u, 4u}) {
    Executor executor(width);
    EXPECT_EQ(executor.Width(), width);
    std::vector<std::atomic<int>> hits(1000);
    executor.Run(hits.size(), [&](size_t i) { ++hits[i]; });
    for (auto& h : hits) EXPECT_EQ(h.load(), 1);

    // A job inside a job: the inner one may find the workers busy and run
    // on its caller alone; it must still finish.
    std::atomic<int> inner{0};
    executor.Run(8, [&](size_t) { executor.Run(50, [&](size_t) { ++inner; }); });
    EXPECT_EQ(inner.load(), 8 * 50);

    // Jobs from several threads at once.
    std::atomic<int> total{0};
    std::vector<std::thread> callers;
    for (int t = 0; t < 4; ++t)
      callers.emplace_back([&] { executor.Run(100, [&](size_t) { ++total; }); });
    for (auto& c : callers) c.join();
    EXPECT_EQ(total.load(), 400);
  }
}

TEST(Executor, ABackgroundJobRunsBesideItsCallerAndLeavesRoomForOthers) {
  Executor executor(3);
  std::atomic<bool> release{false};
  std::atomic<int> started{0};
  {
    auto job = executor.Start(1, [&](size_t) {
      ++started;
      while (!release) std::this_thread::yield();
    });
    while (started.load() == 0) std::this_thread::yield();  // it runs while this thread goes on
    // One worker is busy; a job of the caller's still runs, on the rest.
    std::atomic<int> ran{0};
    executor.Run(20, [&](size_t) { ++ran; });
    EXPECT_EQ(ran.load(), 20);
    release = true;
  }  // waits for the background job
  EXPECT_EQ(started.load(), 1);
}

}  // namespace
}  // namespace quorvid
