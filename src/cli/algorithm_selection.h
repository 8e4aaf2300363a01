// Which algorithms a run uses, from its algorithm options.
#pragma once

#include "modes/run_settings.h"

namespace quorvid {

/// Rebuilds settings.AlgorithmTable and resolves the algorithm options
/// (HashOption, All, with Prefix, GenerateList, Compare, Verify, VerifyMany)
/// into SelectedHashes, SelectedHashCount, MaxHashLength, PrefixColumnWidth,
/// SavedPrefixColumnWidth and the selected records' Prefix and LineLabel
/// ("  {File}  "); creates the selected algorithms' hash objects unless
/// --nohash was given. -g with several algorithms stops the run
/// (StopWithError, exit code 111, HelpSections 8).
void SelectAlgorithms(RunSettings& settings);

}  // namespace quorvid
