// The help printer: the command syntax, at short level or as the syntax block
// that accompanies a command-line error, continued by the extended sections.
#pragma once

#include <string>
#include <string_view>

#include "modes/run_settings.h"

namespace quorvid {

/// A heading framed by lines of "-" as long as the heading.
std::string HeadingText(std::string_view heading);

/// One syntax line: " {name} " followed by `text`, and a line end.
std::string SyntaxLine(const RunSettings& settings, std::string_view text);

/// The whole help for settings.HelpSections: the summary (0x800) or the mode
/// blocks, the two help lines, and either the "For more details" line (in
/// syntax-error form or with 0x800) or the extended sections (0x1000).
std::string HelpText(const RunSettings& settings, bool syntaxErrorForm);

/// Writes HelpText to standard error.
void PrintHelp(const RunSettings& settings, bool syntaxErrorForm);

}  // namespace quorvid
