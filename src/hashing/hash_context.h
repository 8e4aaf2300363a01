// What the hashing of a run's files may use beside the algorithms: the run's
// threads, the word to stop a read, and a count of the bytes read. The run
// sets it up once; modes hand it to every file they hash.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

namespace quorvid {

class Executor;

struct THashContext {
  /// The run's threads; nullptr hashes on the calling thread alone.
  Executor* executor = nullptr;
  /// Asked between reads (on any thread of the file's reading): true
  /// abandons the file, which then counts as unreadable. May be empty.
  std::function<bool()> abandon;
  /// Every read adds the bytes it read, on whatever thread (--progress).
  std::atomic<uint64_t>* bytesRead = nullptr;
};

}  // namespace quorvid
