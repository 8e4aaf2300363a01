// Hashes the files of a walk ahead of the thread that writes their lines:
// the run's workers take the files in walk order, each read once for every
// algorithm of the run, and the writing thread asks for file i's digests by
// its index. Lines, their order, the counts and the exit code stay those of
// a one-file-at-a-time run: the writing thread still decides everything in
// order, and rather than sleep while its file is being hashed it hashes one
// that no worker has taken yet.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "hashing/algorithm_record.h"
#include "hashing/engine.h"
#include "hashing/executor.h"

namespace quorvid {

class AheadHasher {
 public:
  /// Asked on a worker before a file is hashed; false leaves the file to
  /// the writing thread (it is probably filtered out). Called from several
  /// threads at once.
  using TWorthHashing = std::function<bool(const std::string& path)>;

  /// Starts hashing `files` under the real members of `set` on the
  /// workers of the context's executor, at most `window` files ahead of the
  /// writing thread. Files are opened as regular files only. Nothing starts
  /// without a worker, an algorithm or a file: Await then hashes each file
  /// itself.
  AheadHasher(const THashContext& context, THashSet set, const std::vector<std::string>& files,
              TWorthHashing worth, size_t window = 256);
  /// Stops the workers (a file in progress is abandoned) and waits for them.
  ~AheadHasher();
  AheadHasher(const AheadHasher&) = delete;
  AheadHasher& operator=(const AheadHasher&) = delete;

  /// True when workers hash ahead.
  bool Active() const { return job_ != nullptr; }

  /// File `index`'s digests under the set, as HashFileMany gives them with
  /// `table` (the writing thread's hash objects, used when it hashes a file
  /// itself). Indexes must not decrease from one call to the next.
  bool Await(const THashChoicesArray& table, size_t index, TGeneratedHashes& out);

 private:
  struct Result {
    bool done = false;
    bool hashed = false;  // false: skipped or abandoned, Await reads it
    bool failed = false;
    TGeneratedHashes texts;
  };

  void Work();
  // Hashes file `index`, claimed by the caller, with the caller's table.
  void HashInto(const THashChoicesArray& table, size_t index, bool onWorker, Result& r);
  // Hands the result of file `index` to Await. Takes the lock.
  void Publish(size_t index, Result&& r);

  THashContext context_;  // the run's, with abandon widened to stop_
  THashSet set_;
  const std::vector<std::string>& files_;
  TWorthHashing worth_;
  size_t window_;
  std::mutex mutex_;
  // Each side is woken only when it waits: a wake-up per file would cost
  // more than hashing a small file.
  std::condition_variable roomForWorkers_;
  std::condition_variable resultForAwait_;
  std::map<size_t, Result> results_;  // claimed and not yet passed by Await
  size_t next_ = 0;                   // next file a worker takes
  size_t cursor_ = 0;                 // the file Await asked for last
  size_t waitingWorkers_ = 0;
  size_t awaited_ = SIZE_MAX;  // the file Await sleeps on, if any
  std::atomic<bool> stopping_{false};
  std::unique_ptr<Executor::Background> job_;
};

}  // namespace quorvid
