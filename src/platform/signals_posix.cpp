#include "platform/signals.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quorvid::platform {

namespace {

// Lock-free atomics: safe to set in a handler and to read on any thread
// (reads of a file stop on the walk's worker threads too).
std::atomic<int> ctrlC{0};
std::atomic<int> ctrlBreak{0};
static_assert(std::atomic<int>::is_always_lock_free);
std::atomic<PendingOutput*> pending{nullptr};

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGQUIT, SIGPIPE};

extern "C" void OnInterrupt(int sig) {
  if (sig == SIGINT)
    ctrlC.store(1, std::memory_order_relaxed);
  else
    ctrlBreak.store(1, std::memory_order_relaxed);
}

// Writes out what the registered file holds, then lets the signal end the
// process as it would have: only async-signal-safe calls.
extern "C" void OnEndingSignal(int sig) {
  const int savedErrno = errno;
  if (PendingOutput* output = pending.load(std::memory_order_acquire)) {
    const size_t held = output->held.load(std::memory_order_acquire);
    size_t done = 0;
    while (done < held) {
      const ssize_t n = ::write(static_cast<int>(output->fd), output->data + done, held - done);
      if (n > 0)
        done += static_cast<size_t>(n);
      else if (n < 0 && errno == EINTR)
        continue;
      else
        break;
    }
  }
  ::signal(sig, SIG_DFL);
  errno = savedErrno;
  // Blocked while this handler runs: delivered, with its default action, on return.
  ::raise(sig);
}

bool SetHandler(int sig, void (*handler)(int)) {
  struct sigaction action{};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  // Every ending signal waits while one handler writes the file out.
  for (int other : kEndingSignals) sigaddset(&action.sa_mask, other);
  action.sa_flags = SA_RESTART;
  return ::sigaction(sig, &action, nullptr) == 0;
}

// The handlers outside the walk: save the registered file, or the defaults.
void InstallEndingHandlers() {
  void (*handler)(int) = pending.load() != nullptr ? OnEndingSignal : SIG_DFL;
  for (int sig : kEndingSignals) SetHandler(sig, handler);
}

bool walking = false;

}  // namespace

void SaveOnSignal(PendingOutput* output) {
  pending.store(output, std::memory_order_release);
  if (walking) {
    SetHandler(SIGPIPE, output != nullptr ? OnEndingSignal : SIG_DFL);
  } else {
    InstallEndingHandlers();
  }
}

bool InstallInterruptHandlers() {
  ClearInterruptFlags();
  walking = true;
  bool ok = SetHandler(SIGINT, OnInterrupt);
  ok = SetHandler(SIGQUIT, OnInterrupt) && ok;
  ok = SetHandler(SIGTERM, OnInterrupt) && ok;
  return ok;
}

void RestoreDefaultInterruptHandlers() {
  walking = false;
  InstallEndingHandlers();
}

bool CtrlCPressed() { return ctrlC.load(std::memory_order_relaxed) != 0; }
bool CtrlBreakPressed() { return ctrlBreak.load(std::memory_order_relaxed) != 0; }

void ClearInterruptFlags() {
  ctrlC.store(0, std::memory_order_relaxed);
  ctrlBreak.store(0, std::memory_order_relaxed);
}

static_assert(sizeof(sigset_t) <= 128, "ScopedSignalsBlocked keeps the earlier mask in 128 bytes");

ScopedSignalsBlocked::ScopedSignalsBlocked() {
  sigset_t block;
  sigemptyset(&block);
  for (int sig : kEndingSignals) sigaddset(&block, sig);
  sigset_t saved;
  ::pthread_sigmask(SIG_BLOCK, &block, &saved);
  std::memcpy(saved_, &saved, sizeof saved);
}

ScopedSignalsBlocked::~ScopedSignalsBlocked() {
  sigset_t saved;
  std::memcpy(&saved, saved_, sizeof saved);
  ::pthread_sigmask(SIG_SETMASK, &saved, nullptr);
}

}  // namespace quorvid::platform
