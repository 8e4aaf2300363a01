#include "hashing/parallel_pool.h"

#include "platform/processors.h"
#include "platform/signals.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace quorvid {
namespace {

// How many CoresShared live.
std::atomic<int> g_coresShared{0};

class Pool {
 public:
  explicit Pool(size_t workers) {
    // Signals stay with the thread that runs the program.
    const platform::ScopedSignalsBlocked quiet;
    for (size_t i = 0; i < workers; ++i) {
      std::thread t([this] { Work(); });
      handles_.push_back(t.native_handle());
      t.detach();  // it waits for jobs until the process ends
    }
  }

  // False when another job holds the pool; the caller then does the work.
  bool Run(size_t count, const std::function<void(size_t)>& fn) {
    std::unique_lock<std::mutex> busy(busy_, std::try_to_lock);
    if (!busy.owns_lock()) return false;
    // A woken worker may otherwise wait behind its busy caller for
    // milliseconds while another processor idles; but not while other
    // threads of the run hash too, whose processors it would take.
    const bool apart = g_coresShared.load(std::memory_order_relaxed) == 0;
    if (apart) platform::StartApartFromCaller(handles_);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      apart_ = apart;
      fn_ = &fn;
      count_ = count;
      next_.store(0);
      unfinished_ = count;
      ++generation_;
    }
    wake_.notify_all();
    Drain(fn, count);
    std::unique_lock<std::mutex> lock(mutex_);
    // Wait for every index and for every worker to have left this job, so
    // none touches `fn` after the caller returns.
    done_.wait(lock, [this] { return unfinished_ == 0 && inside_ == 0; });
    fn_ = nullptr;
    return true;
  }

 private:
  void Drain(const std::function<void(size_t)>& fn, size_t count) {
    size_t finished = 0;
    for (size_t i = next_.fetch_add(1); i < count; i = next_.fetch_add(1)) {
      fn(i);
      ++finished;
    }
    if (finished > 0) {
      std::lock_guard<std::mutex> lock(mutex_);
      unfinished_ -= finished;
      if (unfinished_ == 0) done_.notify_all();
    }
  }

  void Work() {
    uint64_t seen = 0;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      wake_.wait(lock, [&] { return generation_ != seen && fn_ != nullptr; });
      seen = generation_;
      const std::function<void(size_t)>* fn = fn_;
      size_t count = count_;
      const bool apart = apart_;
      ++inside_;
      lock.unlock();
      // A worker that slept through a job is still held where it put it.
      if (!apart) platform::ReleaseThisThread();
      Drain(*fn, count);
      // Free again for other programs' sake.
      if (apart) platform::ReleaseThisThread();
      lock.lock();
      --inside_;
      if (inside_ == 0) done_.notify_all();
    }
  }

  std::mutex busy_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable done_;
  std::vector<std::thread::native_handle_type> handles_;  // valid: the threads never end
  const std::function<void(size_t)>* fn_ = nullptr;
  bool apart_ = false;  // the job's workers were held apart from its caller
  size_t count_ = 0;
  std::atomic<size_t> next_{0};
  size_t unfinished_ = 0;
  size_t inside_ = 0;
  uint64_t generation_ = 0;
};

Pool& ThePool() {
  // Never destroyed: its threads may still wait when the process ends.
  static Pool* pool = new Pool(ParallelWidth() - 1);
  return *pool;
}

}  // namespace

CoresShared::CoresShared() { g_coresShared.fetch_add(1); }

CoresShared::~CoresShared() { g_coresShared.fetch_sub(1); }

size_t ParallelWidth() {
  static const size_t width = platform::UsableProcessorCount();
  return width;
}

void ParallelFor(size_t count, const std::function<void(size_t)>& fn) {
  if (count > 1 && ParallelWidth() > 1 && ThePool().Run(count, fn)) return;
  for (size_t i = 0; i < count; ++i) fn(i);
}

}  // namespace quorvid
