// How many processors this process may run on, and where its helper threads
// start.
#pragma once

#include <cstddef>
#include <thread>
#include <vector>

namespace quorvid::platform {

/// Processors the process is allowed to use (its affinity mask, so a run
/// under `taskset -c 0` counts one); at least 1.
size_t UsableProcessorCount();

/// Asks that each of `threads`, about to be woken for a job, next runs on a
/// usable processor other than the calling thread's, one apiece while there
/// are enough. Some schedulers (virtual machines that pack work onto few
/// processors) queue a woken thread behind the busy thread that woke it and
/// leave the other processors idle for milliseconds. Each thread must call
/// ReleaseThisThread() once it runs, so it is held nowhere. Does nothing
/// where the system cannot.
void StartApartFromCaller(const std::vector<std::thread::native_handle_type>& threads);

/// Lets the calling thread run on every usable processor again.
void ReleaseThisThread();

}  // namespace quorvid::platform
