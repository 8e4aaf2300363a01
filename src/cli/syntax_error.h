// The single error routine for command-line errors and named inputs.
#pragma once

#include <cstdint>
#include <string>

#include "cli/run_settings.h"

namespace quorvid {

/// Shows the banner (once), the syntax-error screen with `message` when it is
/// not empty, the help for the current `HelpSections` in syntax-error form,
/// and sets `ExitCode`. The caller decides whether to stop or end the run.
void SyntaxErrorExit(RunSettings& settings, int32_t exitCode, const std::string& message);

/// Ends the run at once with `exitCode` by throwing TRunStop, which the run's
/// top catches; everything on the way is finished by its destructor and the
/// result stream is flushed, so no result line already written is lost.
[[noreturn]] void StopRun(RunSettings& settings, int32_t exitCode);

}  // namespace quorvid
