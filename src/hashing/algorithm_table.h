// The algorithm catalogue and the selection of the algorithms a run uses.
#pragma once

#include <string>

#include "cli/run_settings.h"
#include "hashing/algorithm_record.h"

namespace quorvid {

/// Fills all 15 records from the catalogue (no hash objects yet).
void BuildAlgorithmTable(THashChoicesArray& table);

/// Resolves the algorithm options into SelectedHashes and the first layout
/// fields. Returns false when the run must end (-g with several algorithms:
/// exit 111 already reported through SyntaxErrorExit).
bool SelectAlgorithms(RunSettings& settings);

/// Creates the hash object of each of the fourteen real algorithms.
void CreateHashers(THashChoicesArray& table);

/// Maps an algorithm name read from a checksum list; unknown names give SHA2_256.
THashChoices AlgorithmFromListName(const std::string& name);

/// "MD5,SHA2_256" style comma list of the real members of `set`.
std::string SelectedNamesList(THashSet set);

}  // namespace quorvid
