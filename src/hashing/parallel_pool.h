// A small pool of worker threads shared by every fast path that splits one
// job across the machine's cores (BLAKE3 subtrees, several algorithms over
// one read). One job at a time: a call made while the pool is busy runs on
// its caller alone, so nesting and concurrent callers never deadlock.
#pragma once

#include <cstddef>
#include <functional>

namespace quorvid {

/// Threads a job may use, the caller included: the processors this process
/// may run on, at least 1.
size_t ParallelWidth();

/// Runs fn(0) ... fn(count - 1), each exactly once, spread over the pool and
/// the calling thread; returns when all have finished. The calls for
/// different indexes may run at the same time, so `fn` must allow that.
/// When the pool is busy or only one core is present, runs them in order on
/// the caller. The pool's threads are held on processors other than the
/// caller's while they work on its job (unless a CoresShared lives); the
/// caller is never held. Exceptions from `fn` are not allowed (the program never throws
/// from a hash path).
void ParallelFor(size_t count, const std::function<void(size_t)>& fn);

/// While one lives, other threads of the program hash beside any job's
/// caller, so the pool's threads are left where the system puts them: held
/// apart from the caller, they would take those threads' processors.
class CoresShared {
 public:
  CoresShared();
  ~CoresShared();
  CoresShared(const CoresShared&) = delete;
  CoresShared& operator=(const CoresShared&) = delete;
};

}  // namespace quorvid
