#include "platform/signals.h"

#include <windows.h>

#include <algorithm>

namespace quorvid::platform {

namespace {

// Set on the system's handler thread, read on any thread.
std::atomic<int> ctrlC{0};
std::atomic<int> ctrlBreak{0};
std::atomic<bool> walking{false};
PendingOutput* pending = nullptr;  // changed and read only under SaveLock

// Taken by ScopedSignalsBlocked while the program writes a registered file's
// bytes out, by SaveOnSignal while it changes the registration, and by the
// event handler before it writes the held bytes. A critical section, since
// a thread may take it again while it holds it; never deleted, since the
// handler keeps it until the process is gone.
CRITICAL_SECTION* SaveLock() {
  struct Lock {
    CRITICAL_SECTION section;
    Lock() { ::InitializeCriticalSection(&section); }
  };
  static Lock* lock = new Lock;
  return &lock->section;
}

// Writes out what the registered file holds. The lock is not given back: a
// write-out under way finishes first and none starts after, so no byte
// reaches the file twice before the default handling ends the process.
void SaveHeldBytes() {
  ::EnterCriticalSection(SaveLock());
  const PendingOutput* output = pending;
  if (output == nullptr) return;
  const size_t held = output->held.load(std::memory_order_acquire);
  size_t done = 0;
  while (done < held) {
    DWORD n = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(held - done, 1u << 30));
    if (!::WriteFile(reinterpret_cast<HANDLE>(output->fd), output->data + done, chunk, &n,
                     nullptr) ||
        n == 0)
      break;
    done += n;
  }
}

BOOL WINAPI OnConsoleEvent(DWORD event) {
  if (walking.load(std::memory_order_acquire)) {
    if (event == CTRL_C_EVENT) {
      ctrlC.store(1, std::memory_order_relaxed);
      return TRUE;
    }
    if (event == CTRL_BREAK_EVENT) {
      ctrlBreak.store(1, std::memory_order_relaxed);
      return TRUE;
    }
  }
  // Closing the console, logging off and shutting down end the process even
  // during the walk.
  SaveHeldBytes();
  return FALSE;  // the default handling ends the process
}

bool InstallHandler() {
  static const bool installed = ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE) != 0;
  return installed;
}

}  // namespace

void SaveOnSignal(PendingOutput* output) {
  // Under the lock, so the handler never writes from an output being
  // unregistered and freed.
  ::EnterCriticalSection(SaveLock());
  pending = output;
  ::LeaveCriticalSection(SaveLock());
  if (output != nullptr) InstallHandler();
}

bool InstallInterruptHandlers() {
  ClearInterruptFlags();
  walking.store(true, std::memory_order_release);
  return InstallHandler();
}

void RestoreDefaultInterruptHandlers() { walking.store(false, std::memory_order_release); }

bool CtrlCPressed() { return ctrlC.load(std::memory_order_relaxed) != 0; }
bool CtrlBreakPressed() { return ctrlBreak.load(std::memory_order_relaxed) != 0; }

void ClearInterruptFlags() {
  ctrlC.store(0, std::memory_order_relaxed);
  ctrlBreak.store(0, std::memory_order_relaxed);
}

ScopedSignalsBlocked::ScopedSignalsBlocked() { ::EnterCriticalSection(SaveLock()); }

ScopedSignalsBlocked::~ScopedSignalsBlocked() { ::LeaveCriticalSection(SaveLock()); }

}  // namespace quorvid::platform
