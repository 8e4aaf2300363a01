#include "modes/file_pipeline.h"

#include <algorithm>
#include <cstdlib>

#include "hashing/algorithm_table.h"
#include "hashing/parallel_pool.h"
#include "platform/signals.h"

namespace quorvid {
namespace {

std::mutex g_liveMutex;
std::vector<FilePipeline*> g_live;

void RegisterStopAtExit() {
  static const bool registered = [] {
    // Registered after the crypto library set up its own exit handler, so
    // it runs first: workers are gone before the library is torn down.
    std::atexit(FilePipeline::StopAll);
    return true;
  }();
  (void)registered;
}

}  // namespace

FilePipeline::FilePipeline(THashSet set, const std::vector<std::string>& files,
                           TWorthHashing worth, size_t workers, size_t window)
    : set_(set & kAllRealHashes), files_(files), worth_(std::move(worth)),
      window_(std::max<size_t>(1, window)) {
  if (workers == 0) workers = ParallelWidth() - 1;
  if (set_ == 0 || files_.empty() || workers == 0) return;
  RegisterStopAtExit();
  {
    std::lock_guard<std::mutex> lock(g_liveMutex);
    g_live.push_back(this);
  }
  // Signals stay with the thread that runs the walk.
  const platform::ScopedSignalsBlocked quiet;
  for (size_t i = 0; i < workers; ++i) threads_.emplace_back([this] { Work(); });
}

FilePipeline::~FilePipeline() {
  Stop();
  std::lock_guard<std::mutex> lock(g_liveMutex);
  g_live.erase(std::remove(g_live.begin(), g_live.end(), this), g_live.end());
}

void FilePipeline::StopAll() {
  std::lock_guard<std::mutex> lock(g_liveMutex);
  for (FilePipeline* p : g_live) p->Stop();
}

void FilePipeline::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  roomForWorkers_.notify_all();
  resultForLoop_.notify_all();
  for (std::thread& t : threads_)
    if (t.joinable()) t.join();
}

void FilePipeline::HashInto(THashChoicesArray& table, bool usable, size_t index, Result& r) {
  if (!usable || stopping_ || !worth_(files_[index])) return;
  // A worker lets go of its file when the pipeline stops or the walk is
  // interrupted.
  const std::function<bool()> abandon = [this] {
    return stopping_.load(std::memory_order_relaxed) || ReadAbortRequested();
  };
  r.failed = !HashFileManyUntil(table, set_, files_[index], r.texts, abandon, TFileRule::RegularOnly);
  r.hashed = true;
}

void FilePipeline::Publish(size_t index, Result&& r) {
  std::lock_guard<std::mutex> lock(mutex_);
  // A read cut short by Stop is no result: the loop would read the file.
  if (stopping_) r.hashed = false;
  r.done = true;
  auto it = results_.find(index);
  if (it != results_.end()) {
    if (index < cursor_)
      results_.erase(it);  // passed while it was hashed
    else
      it->second = std::move(r);
  }
  if (loopWaitsFor_ == index) resultForLoop_.notify_one();
}

void FilePipeline::Work() {
  // While this thread hashes, a job the loop or another worker gives the
  // pool leaves the pool's threads where the system puts them.
  const CoresShared shared;
  // Hash objects of this thread's own: the run's table belongs to the loop.
  THashChoicesArray table;
  BuildAlgorithmTable(table);
  bool usable = true;
  try {
    CreateHashers(table, set_);
  } catch (...) {
    usable = false;  // the loop then reads every file itself
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
      // Files the loop has already passed are nobody's business any more.
      next_ = std::max(next_, cursor_);
      if (stopping_ || next_ >= files_.size()) return;
      first = next_;
      last = std::min(files_.size(), next_ + batch);
      next_ = last;
      for (size_t i = first; i < last; ++i) results_[i];
    }
    for (size_t index = first; index < last; ++index) {
      Result r;
      HashInto(table, usable, index, r);
      Publish(index, std::move(r));
    }
  }
}

bool FilePipeline::LoopCanHash() {
  if (loopTableState_ == 0) {
    BuildAlgorithmTable(loopTable_);
    try {
      CreateHashers(loopTable_, set_);
      loopTableState_ = 1;
    } catch (...) {
      loopTableState_ = -1;  // the loop only waits then
    }
  }
  return loopTableState_ > 0;
}

bool FilePipeline::Lookup(const std::string& fileName, THashSet set, TGeneratedHashes& out,
                          bool& failed) {
  if (threads_.empty() || set == 0 || (set & set_) != set) return false;
  std::unique_lock<std::mutex> lock(mutex_);
  size_t index = cursor_;
  while (index < files_.size() && files_[index] != fileName) ++index;
  if (index == files_.size()) return false;  // not a file of this walk
  if (index != cursor_) {
    // The loop passed the files before this one: their results are no
    // longer wanted, which also makes room for the workers.
    cursor_ = index;
    results_.erase(results_.begin(), results_.lower_bound(index));
  }
  if (waitingWorkers_ > 0) roomForWorkers_.notify_all();
  for (;;) {
    auto it = results_.find(index);
    if (stopping_ || (it != results_.end() && it->second.done)) break;
    const size_t free = std::max(next_, cursor_);
    if (free < files_.size() && results_.size() < window_ && LoopCanHash()) {
      // This file or one after it that no worker took: hash it here.
      next_ = free + 1;
      results_[free];
      lock.unlock();
      Result r;
      HashInto(loopTable_, true, free, r);
      Publish(free, std::move(r));
      lock.lock();
      continue;
    }
    loopWaitsFor_ = index;
    resultForLoop_.wait(lock);
    loopWaitsFor_ = SIZE_MAX;
  }
  auto it = results_.find(index);
  if (it == results_.end() || !it->second.done || !it->second.hashed) return false;
  for (int m = 1; m < kHashChoiceCount; ++m)
    if (InSet(set, ChoiceAt(m))) out[m] = it->second.texts[m];
  failed = it->second.failed;
  return true;
}

}  // namespace quorvid
