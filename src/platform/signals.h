// What SIGINT, SIGTERM, SIGQUIT and SIGPIPE do to a run.
//
// Outside the directory walk the default actions apply, with one addition:
// an output file registered with SaveOnSignal has its held bytes written
// out first, so a signal that ends the process never throws away results
// already computed; the process then ends as the signal would have ended it.
//
// During the walk, InstallInterruptHandlers turns SIGINT into the Ctrl-C
// flag and SIGQUIT or SIGTERM into the Ctrl-Break flag; the handlers store
// the flag and nothing else, and interrupted system calls are restarted.
// The walk polls the flags (between files and inside long reads) and
// decides how to stop.
//
// The handlers run on the thread that started the run: threads the program
// starts must be started inside a ScopedSignalsBlocked, so they never take
// the signals.
#pragma once

#include <signal.h>

#include <atomic>
#include <cstddef>

namespace quorvid::platform {

/// The bytes a buffered output file holds and has not written yet. The
/// writer appends to the memory at `data` (which never moves while
/// registered) and then raises `held`; it lowers `held` only while signals
/// are blocked (ScopedSignalsBlocked), after writing the bytes out.
struct PendingOutput {
  int fd = -1;
  const char* data = nullptr;
  std::atomic<size_t> held{0};
};

/// Registers `output` (nullptr: none) to be written out when SIGINT,
/// SIGTERM, SIGQUIT or SIGPIPE ends the process, and installs the handlers
/// that do it (outside the walk). Not owned; must stay valid while set.
void SaveOnSignal(PendingOutput* output);

/// Clears both flags and installs the flag-setting handlers of the walk.
/// Returns false when a handler could not be installed.
bool InstallInterruptHandlers();

/// Ends the walk's handling: the actions outside the walk apply again (the
/// flags keep their values).
void RestoreDefaultInterruptHandlers();

/// True once SIGINT arrived after the handlers were installed.
bool CtrlCPressed();

/// True once SIGQUIT or SIGTERM arrived after the handlers were installed.
bool CtrlBreakPressed();

/// Clears both flags.
void ClearInterruptFlags();

/// Blocks SIGINT, SIGTERM, SIGQUIT and SIGPIPE on the calling thread for its
/// lifetime, and restores the earlier mask after. Threads started inside
/// one inherit the block for good.
class ScopedSignalsBlocked {
 public:
  ScopedSignalsBlocked();
  ~ScopedSignalsBlocked();
  ScopedSignalsBlocked(const ScopedSignalsBlocked&) = delete;
  ScopedSignalsBlocked& operator=(const ScopedSignalsBlocked&) = delete;

 private:
  sigset_t saved_;
};

}  // namespace quorvid::platform
