// What interrupts do to a run: SIGINT, SIGTERM, SIGQUIT and SIGPIPE on
// POSIX; the console's Ctrl-C, Ctrl-Break, close, log-off and shut-down
// events on Windows.
//
// Outside the directory walk the default actions apply, with one addition:
// an output file registered with SaveOnSignal has its held bytes written
// out first, so an interrupt that ends the process never throws away results
// already computed; the process then ends as the interrupt would have ended it.
//
// During the walk, InstallInterruptHandlers turns SIGINT or Ctrl-C into the
// Ctrl-C flag and SIGQUIT, SIGTERM or Ctrl-Break into the Ctrl-Break flag;
// the handlers store the flag and nothing else, and on POSIX interrupted
// system calls are restarted. The walk polls the flags (between files and
// inside long reads) and decides how to stop.
//
// On POSIX the handlers run on the thread that started the run: threads the
// program starts must be started inside a ScopedSignalsBlocked, so they never
// take the signals. On Windows they run on a thread of the system's own.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace quorvid::platform {

/// The bytes a buffered output file holds and has not written yet. The
/// writer appends to the memory at `data` (which never moves while
/// registered) and then raises `held`; it lowers `held` only inside a
/// ScopedSignalsBlocked, after writing the bytes out.
struct PendingOutput {
  intptr_t fd = -1;  // the file's descriptor or handle (OutputTarget::fd)
  const char* data = nullptr;
  std::atomic<size_t> held{0};
};

/// Registers `output` (nullptr: none) to be written out when an interrupt
/// (or SIGPIPE) ends the process, and installs the handlers that do it
/// (outside the walk). Not owned; must stay valid while set.
void SaveOnSignal(PendingOutput* output);

/// Clears both flags and installs the flag-setting handlers of the walk.
/// Returns false when a handler could not be installed.
bool InstallInterruptHandlers();

/// Ends the walk's handling: the actions outside the walk apply again (the
/// flags keep their values).
void RestoreDefaultInterruptHandlers();

/// True once SIGINT or Ctrl-C arrived after the handlers were installed.
bool CtrlCPressed();

/// True once SIGQUIT, SIGTERM or Ctrl-Break arrived after the handlers were
/// installed.
bool CtrlBreakPressed();

/// Clears both flags.
void ClearInterruptFlags();

/// While one lives, the handler that writes out a registered file waits, so
/// bytes being written out are never written twice. On POSIX it blocks
/// SIGINT, SIGTERM, SIGQUIT and SIGPIPE on the calling thread and restores
/// the earlier mask after; threads started inside one inherit the block for
/// good. On Windows, where no thread of the program takes the events, it
/// holds the lock that handler takes (and may be nested).
class ScopedSignalsBlocked {
 public:
  ScopedSignalsBlocked();
  ~ScopedSignalsBlocked();
  ScopedSignalsBlocked(const ScopedSignalsBlocked&) = delete;
  ScopedSignalsBlocked& operator=(const ScopedSignalsBlocked&) = delete;

 private:
  // The earlier signal mask (a sigset_t) on POSIX; unused on Windows.
  [[maybe_unused]] unsigned char saved_[128];
};

}  // namespace quorvid::platform
