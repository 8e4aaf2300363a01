// The result-line layouts that list mode, directory mode and -g share: the
// prefix, size, hash and date columns, the labels, and the lines of a file
// or a text.
#pragma once

#include <cstdint>
#include <string>

#include "hashing/algorithm_record.h"
#include "modes/run_settings.h"

namespace quorvid {

/// The label of a selected algorithm's file lines, and of every file line
/// in list mode without -s.
inline constexpr const char* kFileLabel = "  {File}  ";

/// Calls `fn` with the table record of every selected algorithm, in table
/// order (the order lines are written in).
template <typename Fn>
void ForEachSelected(RunSettings& settings, Fn fn) {
  for (int i = 0; i < kHashChoiceCount; ++i)
    if (InSet(settings.SelectedHashes, ChoiceAt(i))) fn(settings.AlgorithmTable[i]);
}

/// Completes the line layout after the algorithm selection: -f/-g labels,
/// -s/-i/-j labels (which also withdraw -b and the separator), -p prefixes.
void SetUpLineLayout(RunSettings& settings);

/// `rec`'s Prefix right-aligned in PrefixColumnWidth (never cut).
std::string PrefixColumn(const RunSettings& settings, const THashAlgorithmRec& rec);

/// The -z size column of a file: "{%12d}" and one space.
std::string SizeColumnText(int64_t size);

/// The part of `path` after its last separator.
std::string FileNamePart(const std::string& path);

/// Writes a file's lines, one per selected algorithm: prefix, `sizeText`,
/// the digest from `digests` (the placeholder of a file that could not be
/// read) or the --nohash date, the -# date, the label ("  {File}  " with
/// `useFileLabel`) and `displayName`. Hashing is the caller's: digests
/// first, then the lines.
void WriteFileLines(RunSettings& settings, const TGeneratedHashes& digests,
                    const std::string& fileName, const std::string& displayName,
                    bool useFileLabel, const std::string& sizeText);

/// Writes a text's lines, one per selected algorithm (the bare hash with
/// -j); a text always hashes.
void WriteTextLines(RunSettings& settings, const std::string& text);

}  // namespace quorvid
