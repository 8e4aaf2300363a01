// How many processors this process may run on.
#pragma once

#include <cstddef>

namespace quorvid::platform {

/// Processors the process is allowed to use (its affinity mask, so a run
/// under `taskset -c 0` or `start /affinity 1` counts one); at least 1.
size_t UsableProcessorCount();

}  // namespace quorvid::platform
