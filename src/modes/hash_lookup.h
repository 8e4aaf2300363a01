// Hash lookup (--hl): the hashes to look for, then the directory walk reports matches.
#pragma once

#include <string>

#include "cli/run_settings.h"

namespace quorvid {

/// Loads the hashes to look up. Returns false when the run must end.
bool PrepareHashLookup(RunSettings& settings);

// The directory walk calls the three below for --hl (DirModeKind 3).

/// Clears the "matched" state before the walk starts.
void StartHashLookup(RunSettings& settings);

/// Hashes one file of the walk and reports it when it matches a hash being
/// looked up. `displayName` is the name the report shows. Returns false when
/// the file cannot be hashed (the walk counts it as an error).
bool LookupFile(RunSettings& settings, const std::string& path, const std::string& displayName);

/// The closing report after the walk.
void FinishHashLookup(RunSettings& settings);

}  // namespace quorvid
