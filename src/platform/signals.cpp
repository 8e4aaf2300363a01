#include "platform/signals.h"

#include <signal.h>

namespace quorvid::platform {

namespace {

volatile sig_atomic_t ctrlC = 0;
volatile sig_atomic_t ctrlBreak = 0;

extern "C" void OnInterrupt(int sig) {
  if (sig == SIGINT)
    ctrlC = 1;
  else
    ctrlBreak = 1;
}

bool SetHandler(int sig, void (*handler)(int)) {
  struct sigaction action{};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  return ::sigaction(sig, &action, nullptr) == 0;
}

}  // namespace

bool InstallInterruptHandlers() {
  ClearInterruptFlags();
  bool ok = SetHandler(SIGINT, OnInterrupt);
  ok = SetHandler(SIGQUIT, OnInterrupt) && ok;
  ok = SetHandler(SIGTERM, OnInterrupt) && ok;
  return ok;
}

void RestoreDefaultInterruptHandlers() {
  SetHandler(SIGINT, SIG_DFL);
  SetHandler(SIGQUIT, SIG_DFL);
  SetHandler(SIGTERM, SIG_DFL);
}

bool CtrlCPressed() { return ctrlC != 0; }
bool CtrlBreakPressed() { return ctrlBreak != 0; }

void ClearInterruptFlags() {
  ctrlC = 0;
  ctrlBreak = 0;
}

}  // namespace quorvid::platform
