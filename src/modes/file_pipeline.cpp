#include "modes/file_pipeline.h"

#include <algorithm>
#include <cstdlib>

#include "hashing/algorithm_table.h"
#include "hashing/parallel_pool.h"

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
  if (workers == 0) workers = ParallelWidth() > 1 ? ParallelWidth() : 0;
  if (set_ == 0 || files_.empty() || workers == 0) return;
  RegisterStopAtExit();
  {
    std::lock_guard<std::mutex> lock(g_liveMutex);
    g_live.push_back(this);
  }
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
  changed_.notify_all();
  for (std::thread& t : threads_)
    if (t.joinable()) t.join();
}

void FilePipeline::Work() {
  // Hash objects of this thread's own: the run's table belongs to the loop.
  THashChoicesArray table;
  BuildAlgorithmTable(table);
  bool usable = true;
  try {
    CreateHashers(table);
  } catch (...) {
    usable = false;  // the loop then reads every file itself
  }
  const auto abandon = [this] {
    std::lock_guard<std::mutex> lock(mutex_);
    return stopping_;
  };
  for (;;) {
    size_t index;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [&] {
        return stopping_ || std::max(next_, cursor_) >= files_.size() || results_.size() < window_;
      });
      // Files the loop has already passed are nobody's business any more.
      next_ = std::max(next_, cursor_);
      if (stopping_ || next_ >= files_.size()) return;
      index = next_++;
      results_[index];
    }
    Result r;
    if (usable && worth_(files_[index])) {
      r.failed = !HashFileManyUntil(table, set_, files_[index], r.texts, abandon);
      r.hashed = true;
    }
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
    changed_.notify_all();
  }
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
    changed_.notify_all();
  }
  changed_.wait(lock, [&] {
    auto it = results_.find(index);
    return stopping_ || (it != results_.end() && it->second.done);
  });
  auto it = results_.find(index);
  if (it == results_.end() || !it->second.done || !it->second.hashed) return false;
  for (int m = 1; m < kHashChoiceCount; ++m)
    if (InSet(set, ChoiceAt(m))) out[m] = it->second.texts[m];
  failed = it->second.failed;
  return true;
}

}  // namespace quorvid
