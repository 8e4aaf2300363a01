// The algorithm catalogue and the selection of the algorithms a run uses.
#pragma once

#include <string>

#include "cli/run_settings.h"
#include "hashing/algorithm_record.h"

namespace quorvid {

/// Fills all 15 records from the catalogue: widths, names, labels (LineLabel
/// starts as FsumLabel, ListLabel is the -g/-f label), empty Prefix, no hash
/// objects.
void BuildAlgorithmTable(THashChoicesArray& table);

/// Rebuilds settings.AlgorithmTable and resolves the algorithm options
/// (HashOption, All, with Prefix, GenerateList, Compare, Verify, VerifyMany)
/// into SelectedHashes, SelectedHashCount, MaxHashLength, PrefixColumnWidth,
/// SavedPrefixColumnWidth and the selected records' Prefix and LineLabel
/// ("  {File}  "); creates the selected algorithms' hash objects unless
/// --nohash was given.
/// Returns false when the run must end: -g with several algorithms, already
/// reported through SyntaxErrorExit (exit code 111, HelpSections 8).
bool SelectAlgorithms(RunSettings& settings);

/// Creates the hash object of each real algorithm in `set`, up front, so a
/// run's files share them; the engine makes a temporary one for any other
/// algorithm it is asked for. Leaving out algorithms a run cannot use spares
/// it the crypto library's start-up (about a millisecond) when none of them
/// comes from there.
void CreateHashers(THashChoicesArray& table, THashSet set = kAllRealHashes);

/// Maps an algorithm name read from a checksum list; unknown names give SHA2_256.
THashChoices AlgorithmFromListName(const std::string& name);

/// Maps the algorithm word of a tag-form line ("SHA256 (name) = hash"):
/// MD5, SHA1, SHA256 to SHA512 (also SHA2-256 ...), SHA3-256 to SHA3-512,
/// BLAKE2s, BLAKE2b, BLAKE3 and XXH64 in any letter case, "_" or "-"; None
/// for any other word.
THashChoices AlgorithmFromTagName(const std::string& name);

/// "MD5,SHA2_256" style comma list of the real members of `set`, in
/// catalogue order; "" for an empty set.
std::string SelectedNamesList(THashSet set);

}  // namespace quorvid
