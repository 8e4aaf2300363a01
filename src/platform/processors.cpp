#include "platform/processors.h"

#include <pthread.h>
#include <sched.h>
#include <unistd.h>

namespace quorvid::platform {
namespace {

// The processors the process may use, as at its first question: threads
// steered onto one of them are given back the whole set.
const cpu_set_t& UsableSet() {
  static const cpu_set_t set = [] {
    cpu_set_t s;
    CPU_ZERO(&s);
    if (::sched_getaffinity(0, sizeof s, &s) != 0) CPU_ZERO(&s);
    return s;
  }();
  return set;
}

}  // namespace

size_t UsableProcessorCount() {
  int count = CPU_COUNT(&UsableSet());
  if (count > 0) return static_cast<size_t>(count);
  long online = ::sysconf(_SC_NPROCESSORS_ONLN);
  return online > 0 ? static_cast<size_t>(online) : 1;
}

void StartApartFromCaller(const std::vector<std::thread::native_handle_type>& threads) {
  const cpu_set_t& usable = UsableSet();
  const int here = ::sched_getcpu();
  int cpu = -1;
  for (const std::thread::native_handle_type thread : threads) {
    do {
      ++cpu;
    } while (cpu < CPU_SETSIZE && (cpu == here || !CPU_ISSET(cpu, &usable)));
    if (cpu >= CPU_SETSIZE) return;  // more threads than other processors
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(cpu, &one);
    // A failure leaves the thread where the scheduler puts it: no harm.
    (void)::pthread_setaffinity_np(thread, sizeof one, &one);
  }
}

void ReleaseThisThread() {
  const cpu_set_t& usable = UsableSet();
  if (CPU_COUNT(&usable) > 0)
    (void)::pthread_setaffinity_np(::pthread_self(), sizeof usable, &usable);
}

}  // namespace quorvid::platform
