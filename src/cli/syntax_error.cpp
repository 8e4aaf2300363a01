#include "cli/syntax_error.h"


#include "cli/help_printer.h"
#include "cli/syntax_screen.h"
#include "cli/version_info.h"
#include "output/run_stop.h"
#include "output/streams.h"
#include "platform/console.h"

namespace quorvid {

void SyntaxErrorExit(RunSettings& settings, int32_t exitCode, const std::string& message) {
  ShowBanner(settings, settings.Verbose.Found, true);
  if (!message.empty())
    ShowSyntaxScreen(settings, message, settings.ErrorDelayOn, settings.AudibleErrorOn);
  PrintHelp(settings, true);
  settings.ExitCode = exitCode;
}

void StopRun(RunSettings& settings, int32_t exitCode) {
  settings.ExitCode = exitCode;
  // A progress line must not stay behind the run's last words.
  platform::EndProgressLine();
  throw TRunStop{exitCode};
}

}  // namespace quorvid
