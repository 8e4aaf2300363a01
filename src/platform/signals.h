// Interrupt flags for the directory walk.
//
// Contract: after InstallInterruptHandlers, SIGINT sets the Ctrl-C flag and
// SIGQUIT or SIGTERM set the Ctrl-Break flag; the process keeps running and
// the handlers do nothing but store the flag. Interrupted system calls are
// restarted, so file reads in progress are not disturbed. Whoever installed
// the handlers polls the flags (between files, and optionally inside long
// reads) and decides how to stop. Until InstallInterruptHandlers is called,
// or after RestoreDefaultInterruptHandlers, the default actions apply.
#pragma once

namespace quorvid::platform {

/// Clears both flags and installs the flag-setting handlers. Returns false
/// when a handler could not be installed.
bool InstallInterruptHandlers();

/// Puts the default actions back (the flags keep their values).
void RestoreDefaultInterruptHandlers();

/// True once SIGINT arrived after the handlers were installed.
bool CtrlCPressed();

/// True once SIGQUIT or SIGTERM arrived after the handlers were installed.
bool CtrlBreakPressed();

/// Clears both flags.
void ClearInterruptFlags();

}  // namespace quorvid::platform
