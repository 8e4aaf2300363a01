#include "cli/syntax_error.h"

#include "cli/help_printer.h"
#include "cli/syntax_screen.h"
#include "cli/version_info.h"

namespace quorvid {

void SyntaxErrorExit(RunSettings& settings, int32_t exitCode, const std::string& message) {
  ShowBanner(settings, settings.Verbose.Found, true);
  if (!message.empty())
    ShowSyntaxScreen(settings, message, settings.ErrorDelayOn, settings.AudibleErrorOn);
  PrintHelp(settings, true);
  settings.ExitCode = exitCode;
}

}  // namespace quorvid
