#include "hashing/ahead_hasher.h"

#include <algorithm>

#include "hashing/algorithm_catalogue.h"

namespace quorvid {

AheadHasher::AheadHasher(const THashContext& context, THashSet set,
                         const std::vector<std::string>& files, TWorthHashing worth, size_t window)
    : context_(context), set_(set & kAllRealHashes), files_(files), worth_(std::move(worth)),
      window_(std::max<size_t>(1, window)) {
  // A worker lets go of its file when the walk stops it or the run is
  // interrupted; its own files are hashed on its own thread, so its reads
  // never wait for another job's.
  const std::function<bool()> runAbandon = context.abandon;
  context_.abandon = [this, runAbandon] {
    return stopping_.load(std::memory_order_relaxed) || (runAbandon && runAbandon());
  };
  Executor* executor = context.executor;
  if (executor == nullptr || executor->Width() < 2 || set_ == 0 || files_.empty()) return;
  job_ = executor->Start(executor->Width() - 1, [this](size_t) { Work(); });
}

AheadHasher::~AheadHasher() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  roomForWorkers_.notify_all();
  resultForAwait_.notify_all();
  job_.reset();  // waits for the workers
}

void AheadHasher::HashInto(const THashChoicesArray& table, size_t index, bool onWorker,
                           Result& r) {
  if (stopping_ || !worth_(files_[index])) return;
  // A worker hashes its file on its own thread: the others are busy with
  // files of their own. The writing thread may use whichever are free.
  THashContext context = context_;
  if (onWorker) context.executor = nullptr;
  r.failed = !HashFileMany(table, set_, files_[index], r.texts, context, TFileRule::RegularOnly);
  r.hashed = true;
}

void AheadHasher::Publish(size_t index, Result&& r) {
  std::lock_guard<std::mutex> lock(mutex_);
  // A read cut short by a stop is no result: Await would read the file.
  if (stopping_) r.hashed = false;
  r.done = true;
  auto it = results_.find(index);
  if (it != results_.end()) {
    if (index < cursor_)
      results_.erase(it);  // passed while it was hashed
    else
      it->second = std::move(r);
  }
  if (awaited_ == index) resultForAwait_.notify_one();
}

void AheadHasher::Work() {
  // Hash objects of this worker's own: the table of the writing thread is
  // its alone.
  THashChoicesArray table;
  BuildAlgorithmTable(table);
  try {
    CreateHashers(table, set_);
  } catch (...) {
    return;  // the writing thread then reads every file itself
  }
  // Files are claimed a few at a time, so the lock is taken once per batch.
  const size_t batch = std::max<size_t>(1, std::min<size_t>(8, window_ / 4));
  for (;;) {
    size_t first;
    size_t last;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      const auto ready = [&] {
        return stopping_ || std::max(next_, cursor_) >= files_.size() ||
               results_.size() + batch <= window_;
      };
      if (!ready()) {
        ++waitingWorkers_;
        roomForWorkers_.wait(lock, ready);
        --waitingWorkers_;
      }
      // Files Await has already passed are nobody's business any more.
      next_ = std::max(next_, cursor_);
      // With nothing left to take, the worker goes back to the run: a last
      // large file the writing thread hashes can then use it.
      if (stopping_ || next_ >= files_.size()) return;
      first = next_;
      last = std::min(files_.size(), next_ + batch);
      next_ = last;
      for (size_t i = first; i < last; ++i) results_[i];
    }
    for (size_t index = first; index < last; ++index) {
      Result r;
      HashInto(table, index, true, r);
      Publish(index, std::move(r));
    }
  }
}

bool AheadHasher::Await(const THashChoicesArray& table, size_t index, TGeneratedHashes& out) {
  if (!Active()) return HashFileMany(table, set_, files_[index], out, context_, TFileRule::RegularOnly);
  std::unique_lock<std::mutex> lock(mutex_);
  if (index != cursor_) {
    // Files before this one are no longer wanted, which also makes room.
    cursor_ = index;
    results_.erase(results_.begin(), results_.lower_bound(index));
  }
  if (waitingWorkers_ > 0) roomForWorkers_.notify_all();
  for (;;) {
    auto it = results_.find(index);
    if (stopping_ || (it != results_.end() && it->second.done)) break;
    const size_t free = std::max(next_, cursor_);
    if (free < files_.size() && results_.size() < window_) {
      // This file or one after it that no worker took: hash it here.
      next_ = free + 1;
      results_[free];
      lock.unlock();
      Result r;
      HashInto(table, free, false, r);
      Publish(free, std::move(r));
      lock.lock();
      continue;
    }
    awaited_ = index;
    resultForAwait_.wait(lock);
    awaited_ = SIZE_MAX;
  }
  auto it = results_.find(index);
  if (it == results_.end() || !it->second.done || !it->second.hashed) {
    // Skipped by the workers (or stopped): read it here, as a plain run would.
    lock.unlock();
    return HashFileMany(table, set_, files_[index], out, context_, TFileRule::RegularOnly);
  }
  for (std::string& text : out) text.clear();
  for (int m = 1; m < kHashChoiceCount; ++m)
    if (InSet(set_, ChoiceAt(m))) out[m] = it->second.texts[m];
  return !it->second.failed;
}

}  // namespace quorvid
