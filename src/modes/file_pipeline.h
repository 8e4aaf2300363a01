// Hashes the files of a walk ahead of the loop that writes their lines: a few
// worker threads take the files in walk order, each read once for every
// selected algorithm, and the loop picks the digests up through the engine's
// digest source as it reaches each file. Rather than sleep while its next
// file is still being hashed, the loop hashes one no worker has taken yet. Lines, their order, the counts and
// the exit code stay those of a one-file-at-a-time run: the loop still
// decides everything in order; a file the workers have not hashed (or gave
// up on) is simply read by the loop itself.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "hashing/engine.h"

namespace quorvid {

class FilePipeline final : public IDigestSource {
 public:
  /// Asked on a worker thread before a file is hashed; false leaves the file
  /// to the loop (it is probably filtered out). Must be safe to call from
  /// several threads.
  using TWorthHashing = std::function<bool(const std::string& path)>;

  /// Starts `workers` threads (0: one less than the processors this process
  /// may use, the loop being the last; 1 processor: no threads at all) that hash `files` under the real
  /// members of `set`, at most `window` results ahead of the loop. Nothing
  /// starts when `set` holds no real algorithm or `files` is empty.
  FilePipeline(THashSet set, const std::vector<std::string>& files, TWorthHashing worth,
               size_t workers = 0, size_t window = 256);
  /// Stops the workers (a file in progress is abandoned) and waits for them.
  ~FilePipeline() override;
  FilePipeline(const FilePipeline&) = delete;
  FilePipeline& operator=(const FilePipeline&) = delete;

  /// True when worker threads run.
  bool Active() const { return !threads_.empty(); }

  bool Lookup(const std::string& fileName, THashSet set, TGeneratedHashes& out,
              bool& failed) override;

  /// Stops and joins every pipeline still running; registered to run at
  /// process exit, so no worker is inside a hash library while it shuts down.
  static void StopAll();

 private:
  struct Result {
    bool done = false;
    bool hashed = false;  // false: skipped or abandoned, the loop reads it
    bool failed = false;
    TGeneratedHashes texts;
  };

  void Work();
  void Stop();
  // Hashes file `index`, claimed by the caller, with the caller's table.
  void HashInto(THashChoicesArray& table, bool usable, size_t index, Result& r);
  // Makes the loop's own hash objects on first use; false if they cannot be.
  bool LoopCanHash();
  // Hands the result of file `index` to the loop. Takes the lock.
  void Publish(size_t index, Result&& r);

  THashSet set_;
  const std::vector<std::string>& files_;
  TWorthHashing worth_;
  size_t window_;
  std::mutex mutex_;
  // Each side is woken only when it waits: a wake-up per file would cost
  // more than hashing a small file.
  std::condition_variable roomForWorkers_;
  std::condition_variable resultForLoop_;
  std::map<size_t, Result> results_;  // claimed and not yet passed by the loop
  size_t next_ = 0;                   // next file a worker takes
  size_t cursor_ = 0;                 // the file the loop asked for last
  size_t waitingWorkers_ = 0;
  size_t loopWaitsFor_ = SIZE_MAX;    // the file the loop sleeps on, if any
  std::atomic<bool> stopping_{false};
  // The loop's own hash objects, made when it first helps.
  THashChoicesArray loopTable_;
  int loopTableState_ = 0;  // 0: not made yet, 1: usable, -1: unusable
  std::vector<std::thread> threads_;
};

/// Installs a pipeline as the calling thread's digest source for one scope.
class ScopedDigestSource {
 public:
  explicit ScopedDigestSource(FilePipeline& pipeline) : active_(pipeline.Active()) {
    if (active_) SetDigestSource(&pipeline);
  }
  ~ScopedDigestSource() {
    if (active_) SetDigestSource(nullptr);
  }
  ScopedDigestSource(const ScopedDigestSource&) = delete;
  ScopedDigestSource& operator=(const ScopedDigestSource&) = delete;

 private:
  bool active_;
};

}  // namespace quorvid
