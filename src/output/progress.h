// --progress: what a long run has done so far, shown on standard error while
// it runs. Nothing of it reaches standard output or an output file.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace quorvid {

/// What the line shows, worked out from the counts at one moment.
struct TProgressCounts {
  uint64_t filesDone = 0;
  uint64_t filesTotal = 0;  // 0: not known
  uint64_t bytesDone = 0;
  uint64_t bytesTotal = 0;  // 0: not known
  double seconds = 0;       // since the run began
  std::string current;      // the file being hashed
};

/// The progress line for `counts`, at most `columns` - 1 characters (the
/// file name gives way first, keeping its end), such as
/// "12/340 files, 1.2 GiB, 310 MB/s, 0:42 left, photos/2024/beach.jpg".
/// The time left comes from the bytes when their total is known, else from
/// the files; it is left out while nothing is done yet.
std::string ProgressLine(const TProgressCounts& counts, size_t columns);

/// Shows the progress of a run while it lives: about every 200 ms in place
/// on a terminal, about every 5 s as a line of its own otherwise, and once
/// more at the end when standard error is no terminal. The run's own
/// messages on standard error clear the line first. Does nothing unless
/// `enabled`. The bytes are those the hashing counts through
/// `byteCounterSlot` (the hash context's), which points at the meter while
/// it lives.
class ProgressMeter {
 public:
  ProgressMeter(bool enabled, std::atomic<uint64_t>*& byteCounterSlot, uint64_t filesTotal = 0,
                uint64_t bytesTotal = 0);
  /// Stops showing, clears the line and stops the counting.
  ~ProgressMeter();
  ProgressMeter(const ProgressMeter&) = delete;
  ProgressMeter& operator=(const ProgressMeter&) = delete;

  /// The run starts on the file `name`.
  void StartFile(const std::string& name);
  /// The run is done with one more file.
  void FinishFile() { filesDone_.fetch_add(1, std::memory_order_relaxed); }

 private:
  void Tick();
  TProgressCounts Counts();

  bool enabled_;
  std::atomic<uint64_t>*& byteCounterSlot_;
  bool terminal_ = false;
  uint64_t filesTotal_;
  uint64_t bytesTotal_;
  std::chrono::steady_clock::time_point start_;
  std::atomic<uint64_t> filesDone_{0};
  std::atomic<uint64_t> bytesRead_{0};
  std::mutex mutex_;  // guards current_ and stopping_
  std::condition_variable wake_;
  std::string current_;
  bool stopping_ = false;
  std::thread ticker_;
};

}  // namespace quorvid
