// The single error routine for command-line errors and named inputs.
#pragma once

#include <cstdint>
#include <string>

#include "modes/run_settings.h"

namespace quorvid {

/// Shows the banner (once), the syntax-error screen with `message` when it is
/// not empty, the help for the current `HelpSections` in syntax-error form,
/// and sets `ExitCode`. The caller decides whether to stop or end the run.
void SyntaxErrorExit(RunSettings& settings, int32_t exitCode, const std::string& message);

}  // namespace quorvid
