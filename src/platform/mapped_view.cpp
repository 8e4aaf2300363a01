#include "platform/mapped_view.h"

#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <mutex>

namespace quorvid::platform {
namespace {

// Live views, read by the SIGBUS handler, which skips a slot while its
// `begin` is 0 (free, or claimed and not yet mapped). Enough for every
// thread of a run to hold a few views at once.
constexpr int kSlots = 64;

struct LiveView {
  std::atomic<uintptr_t> begin{0};
  std::atomic<uintptr_t> end{0};
  std::atomic<bool> faulted{false};
};

LiveView g_views[kSlots];
uintptr_t g_pageSize = 4096;

void OnBusError(int, siginfo_t* info, void*) {
  const auto address = reinterpret_cast<uintptr_t>(info->si_addr);
  for (LiveView& view : g_views) {
    const uintptr_t begin = view.begin.load(std::memory_order_acquire);
    if (begin == 0 || address < begin || address >= view.end.load(std::memory_order_acquire))
      continue;
    // A zero page in place of the lost one lets the reader run on; the
    // caller throws its result away because of the flag.
    void* page = reinterpret_cast<void*>(address & ~(g_pageSize - 1));
    if (::mmap(page, g_pageSize, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) !=
        MAP_FAILED) {
      view.faulted.store(true, std::memory_order_release);
      return;
    }
    break;
  }
  // Not a fault of ours: the default action, as if no handler were set.
  ::signal(SIGBUS, SIG_DFL);
  ::raise(SIGBUS);
}

bool InstallBusErrorHandler() {
  static const bool installed = [] {
    long page = ::sysconf(_SC_PAGESIZE);
    if (page > 0) g_pageSize = static_cast<uintptr_t>(page);
    struct sigaction action {};
    action.sa_sigaction = OnBusError;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    return ::sigaction(SIGBUS, &action, nullptr) == 0;
  }();
  return installed;
}

std::mutex g_slotMutex;  // claims and releases; the handler only reads
size_t g_liveBytes = 0;  // claimed by views, under g_slotMutex
bool g_claimed[kSlots];  // under g_slotMutex

// Claims a slot and `length` bytes of the budget before anything is mapped,
// so a view over the budget costs no mapping; -1 when there is no room.
int ClaimSlot(size_t length) {
  std::lock_guard<std::mutex> lock(g_slotMutex);
  if (g_liveBytes + length > MappedView::kLiveViewBudget) return -1;
  for (int i = 0; i < kSlots; ++i) {
    if (g_claimed[i]) continue;
    g_claimed[i] = true;
    g_liveBytes += length;
    return i;
  }
  return -1;
}

// Shows the handler the range of a claimed slot.
void Publish(int slot, uintptr_t begin, uintptr_t end) {
  g_views[slot].faulted.store(false, std::memory_order_relaxed);
  g_views[slot].end.store(end, std::memory_order_relaxed);
  // Visible to the handler only once `end` and the flag are set.
  g_views[slot].begin.store(begin, std::memory_order_release);
}

void ReleaseSlot(int slot, size_t length) {
  std::lock_guard<std::mutex> lock(g_slotMutex);
  g_views[slot].begin.store(0, std::memory_order_release);
  g_liveBytes -= length;
  g_claimed[slot] = false;
}

}  // namespace

MappedView::~MappedView() { Unmap(); }

size_t MappedView::ViewAlignment() { return static_cast<size_t>(::sysconf(_SC_PAGESIZE)); }

bool MappedView::Map(int fd, uint64_t offset, size_t length) {
  Unmap();
  if (length == 0 || !InstallBusErrorHandler()) return false;
  const int slot = ClaimSlot(length);
  if (slot < 0) return false;
  // A page that cannot be set up now is left for its first touch, where the
  // guarded fault handling sees it.
  void* p =
      ::mmap(nullptr, length, PROT_READ, MAP_SHARED | MAP_POPULATE, fd, static_cast<off_t>(offset));
  if (p == MAP_FAILED) {
    ReleaseSlot(slot, length);
    return false;
  }
  const auto begin = reinterpret_cast<uintptr_t>(p);
  Publish(slot, begin, begin + length);
  base_ = static_cast<const uint8_t*>(p);
  length_ = length;
  slot_ = slot;
  return true;
}

void MappedView::Unmap() {
  if (base_ == nullptr) return;
  // Forget the range before it is unmapped: the address may be reused at once.
  ReleaseSlot(slot_, length_);
  ::munmap(const_cast<uint8_t*>(base_), length_);
  base_ = nullptr;
  length_ = 0;
  slot_ = -1;
}

bool MappedView::Faulted() const {
  return slot_ >= 0 && g_views[slot_].faulted.load(std::memory_order_acquire);
}

}  // namespace quorvid::platform
