// The extended and complete help: option definitions, examples, notes and
// the exit-code table, printed after the syntax blocks.
#pragma once

#include <string>

#include "modes/run_settings.h"

namespace quorvid {

/// Appends the sections that follow the syntax blocks when HelpSections has
/// the "everything" bit: extended help unless Help3 was found, then complete.
void AppendExtendedHelp(const RunSettings& settings, std::string& out);

}  // namespace quorvid
