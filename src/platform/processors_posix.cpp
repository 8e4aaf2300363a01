#include "platform/processors.h"

#include <sched.h>
#include <unistd.h>

namespace quorvid::platform {

size_t UsableProcessorCount() {
  cpu_set_t usable;
  CPU_ZERO(&usable);
  if (::sched_getaffinity(0, sizeof usable, &usable) == 0 && CPU_COUNT(&usable) > 0)
    return static_cast<size_t>(CPU_COUNT(&usable));
  const long online = ::sysconf(_SC_NPROCESSORS_ONLN);
  return online > 0 ? static_cast<size_t>(online) : 1;
}

}  // namespace quorvid::platform
