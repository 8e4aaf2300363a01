// Directory mode: hashing the files of a folder tree that match masks.
#pragma once

#include <string>

#include "cli/run_settings.h"

namespace quorvid {

/// Folder name clean-up: "." and ".." resolved, trailing "/" and "*" removed,
/// one "/" appended; "" stays "".
std::string NormalizeDirName(const std::string& dir);

/// Makes DirPath usable (empty means the current folder when allowed); when
/// the folder does not exist, reports through SyntaxErrorExit and stops the
/// run with `exitCode`.
void CheckDirectory(RunSettings& settings, int exitCode);

/// Walks DirPath and writes one result per matching file (also serves -g,
/// --hl and -j).
void RunDirectoryMode(RunSettings& settings);

}  // namespace quorvid
