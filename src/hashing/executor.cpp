#include "hashing/executor.h"

#include <algorithm>
#include <atomic>

#include "platform/signals.h"

namespace quorvid {

struct Executor::Background::Job {
  std::function<void(size_t)> fn;
  size_t count = 0;
  std::atomic<size_t> next{0};  // the next share to claim
  size_t inside = 0;            // workers running shares; guarded by the executor's mutex
};

Executor::Executor(size_t width) : width_(std::max<size_t>(1, width)) {}

void Executor::MakeWorkers() {
  std::call_once(made_, [this] {
    // Signals stay with the thread that runs the program.
    const platform::ScopedSignalsBlocked quiet;
    for (size_t i = 1; i < width_; ++i) workers_.emplace_back([this] { Work(); });
  });
}

Executor::~Executor() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ending_ = true;
  }
  work_.notify_all();
  for (std::thread& t : workers_) t.join();
}

void Executor::Drain(Job& job) {
  for (size_t i = job.next.fetch_add(1); i < job.count; i = job.next.fetch_add(1)) job.fn(i);
}

void Executor::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    work_.wait(lock, [this] { return ending_ || !open_.empty(); });
    if (open_.empty()) return;  // ending, and nothing left to do
    std::shared_ptr<Job> job = open_.front();
    if (job->next.load() >= job->count) {
      open_.pop_front();  // every share is claimed: nothing here for this worker
      continue;
    }
    ++job->inside;
    lock.unlock();
    Drain(*job);
    lock.lock();
    --job->inside;
    done_.notify_all();
  }
}

void Executor::Offer(const std::shared_ptr<Job>& job) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    open_.push_back(job);
  }
  work_.notify_all();
}

void Executor::WaitFor(Job& job) {
  std::unique_lock<std::mutex> lock(mutex_);
  // Shares run by the caller are done when it gets here; the job is over
  // once no worker is inside it any more and every share was claimed.
  done_.wait(lock, [&] { return job.next.load() >= job.count && job.inside == 0; });
  const auto at = std::find_if(open_.begin(), open_.end(),
                               [&](const std::shared_ptr<Job>& j) { return j.get() == &job; });
  if (at != open_.end()) open_.erase(at);
}

void Executor::Run(size_t count, const std::function<void(size_t)>& fn) {
  if (count == 0) return;
  if (width_ == 1 || count == 1) {
    for (size_t i = 0; i < count; ++i) fn(i);
    return;
  }
  MakeWorkers();
  auto job = std::make_shared<Job>();
  job->fn = fn;
  job->count = count;
  Offer(job);
  Drain(*job);
  WaitFor(*job);
}

std::unique_ptr<Executor::Background> Executor::Start(size_t count, std::function<void(size_t)> fn) {
  MakeWorkers();
  auto job = std::make_shared<Job>();
  job->fn = std::move(fn);
  job->count = count;
  if (count > 0) Offer(job);
  return std::unique_ptr<Background>(new Background(*this, job));
}

Executor::Background::~Background() { executor_.WaitFor(*job_); }

}  // namespace quorvid
