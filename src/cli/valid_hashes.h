// The list of valid algorithm parameters (--vh, and the complete help).
#pragma once

#include <string>

namespace quorvid {

/// The parameter list: a heading line, one line per algorithm (the NONE line
/// only when `includeNone`), then one empty line. Lines end in "\n".
std::string ValidHashesText(bool includeNone);

/// The whole --vh output: the list without NONE, then the UNIQUE LIST line,
/// an empty line and the COMPLETE LIST line.
std::string ValidHashesModeText();

/// Writes ValidHashesText(includeNone) to standard output (the console
/// stream, never the -o file). Returns false when the write fails.
bool PrintValidHashes(bool includeNone);

}  // namespace quorvid
