// The console as the program needs it: the two text channels, the beep and
// the key test of the error delay.
#pragma once

#include <cstddef>
#include <string_view>

namespace quorvid::platform {

/// Writes `text` to standard error unbuffered; errors are ignored (nothing
/// useful can be said about a failing error channel). A progress line shown
/// in place is cleared first, so the text never mixes with it. On a Windows
/// console the UTF-8 text is shown as the characters it stands for. Lines
/// may end in LF: they are written with the system's line end.
void WriteStdErr(std::string_view text);

/// True when standard error is a terminal (on Windows, a console).
bool StdErrIsTerminal();

/// Columns of the terminal on standard error (80 when it cannot be told).
size_t StdErrColumns();

/// Shows `text` as the progress line on standard error: drawn over the last
/// one in place on a terminal (it must fit in one row), written as a line of
/// its own otherwise. Safe to call from another thread than WriteStdErr's.
/// Does nothing once EndProgressLine was called.
void ShowProgressLine(std::string_view text);

/// Clears a progress line shown in place; no more are shown afterwards.
void EndProgressLine();

/// Writes `text` to standard output and flushes it, lines ending in LF
/// written with the system's line end. Returns false when the write fails.
bool WriteStdOut(std::string_view text);

/// The default message beep: BEL on standard error on POSIX, the system's
/// default sound on Windows.
void Beep();

/// Key test of the error delay. While an instance lives, standard input (when
/// it is a terminal or console) takes keys one by one without echo; the old
/// mode is restored on destruction. When standard input is not a terminal no
/// key can be seen and every pause just waits.
class KeyWait {
 public:
  KeyWait();
  ~KeyWait();
  KeyWait(const KeyWait&) = delete;
  KeyWait& operator=(const KeyWait&) = delete;

  /// Waits up to `milliseconds`; returns true as soon as a key arrives (the
  /// key is consumed), false when the time ran out.
  bool Pause(int milliseconds);

 private:
  bool terminal_ = false;
  bool restore_ = false;
  unsigned char saved_[128] = {};  // the saved terminal settings or console mode
};

}  // namespace quorvid::platform
