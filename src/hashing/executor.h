// The threads a run hashes on: made once for the run, one fewer than the
// processors it may use, since the thread that asks for work always works
// too. Every parallel road of the program (several algorithms over one read,
// BLAKE3 over parts of a file, files hashed ahead of a walk) is a job here.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace quorvid {

class Executor {
 public:
  /// `width` threads in all (at least 1): width - 1 workers, made when the
  /// first job comes (a run that hashes nothing large makes none), and the
  /// caller.
  explicit Executor(size_t width);
  /// Waits for every job and ends the workers.
  ~Executor();
  Executor(const Executor&) = delete;
  Executor& operator=(const Executor&) = delete;

  /// Threads a job may use, the caller included.
  size_t Width() const { return width_; }

  /// Runs fn(0) ... fn(count - 1), each exactly once, on the calling thread
  /// and on the workers free meanwhile; returns when all have finished. The
  /// calls may run at the same time, in any order and on any of those
  /// threads, so an index is a share of the work, not a thread: a job whose
  /// shares wait on one another must let any one of them do all the work.
  /// While other jobs hold the workers (a job started inside a job), the
  /// caller alone runs them all. `fn` must not throw.
  void Run(size_t count, const std::function<void(size_t)>& fn);

  /// A job that runs on the workers alone, beside the thread that started it.
  class Background {
   public:
    /// Waits until every share has finished.
    ~Background();
    Background(const Background&) = delete;
    Background& operator=(const Background&) = delete;

   private:
    friend class Executor;
    struct Job;
    Background(Executor& executor, std::shared_ptr<Job> job) : executor_(executor), job_(std::move(job)) {}
    Executor& executor_;
    std::shared_ptr<Job> job_;
  };

  /// Starts fn(0) ... fn(count - 1) on the workers, as they come free, and
  /// returns at once; the job lives until the handle goes. Needs a worker
  /// (Width() > 1). `fn` must not throw.
  std::unique_ptr<Background> Start(size_t count, std::function<void(size_t)> fn);

 private:
  using Job = Background::Job;
  void Work();
  void MakeWorkers();
  // Runs shares of `job` until none is left to claim.
  static void Drain(Job& job);
  void Offer(const std::shared_ptr<Job>& job);
  void WaitFor(Job& job);

  size_t width_;
  std::once_flag made_;
  std::mutex mutex_;
  std::condition_variable work_;  // a job was offered, or the executor ends
  std::condition_variable done_;  // a share finished
  std::deque<std::shared_ptr<Job>> open_;  // jobs with shares not yet claimed
  bool ending_ = false;
  std::vector<std::thread> workers_;
};

}  // namespace quorvid
