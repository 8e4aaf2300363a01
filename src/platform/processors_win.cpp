#include "platform/processors.h"

#include <windows.h>

#include <bit>
#include <cstdint>

namespace quorvid::platform {

size_t UsableProcessorCount() {
  DWORD_PTR process = 0;
  DWORD_PTR system = 0;
  if (::GetProcessAffinityMask(::GetCurrentProcess(), &process, &system) && process != 0) {
    // A mask spans one group of at most 64 processors; a process left free on
    // a machine of several groups may use them all.
    if (process == system && ::GetActiveProcessorGroupCount() > 1) {
      const DWORD all = ::GetActiveProcessorCount(ALL_PROCESSOR_GROUPS);
      if (all > 0) return all;
    }
    return static_cast<size_t>(std::popcount(static_cast<uint64_t>(process)));
  }
  const DWORD all = ::GetActiveProcessorCount(ALL_PROCESSOR_GROUPS);
  return all > 0 ? all : 1;
}

}  // namespace quorvid::platform
