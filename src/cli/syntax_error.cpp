#include "cli/syntax_error.h"

#include <cstdlib>

#include "cli/help_printer.h"
#include "cli/syntax_screen.h"
#include "cli/version_info.h"
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

void StopRun(RunSettings&, int32_t exitCode) {
  // Result lines already written must reach their file before the process
  // ends, and a progress line must not stay behind.
  platform::EndProgressLine();
  CloseResultStream();
  std::exit(exitCode);
}

}  // namespace quorvid
