// The bytes the engine has read, for --progress: every read of a file to be
// hashed, on every thread, adds to the counter set here.
#pragma once

#include <atomic>
#include <cstdint>

namespace quorvid {

/// Points the engine at `counter` (nullptr: none). Not owned; must outlive
/// the reads, and be unset before it goes.
void SetReadCounter(std::atomic<uint64_t>* counter);

/// Adds `bytes` to the counter set, if any.
void CountRead(int64_t bytes);

}  // namespace quorvid
