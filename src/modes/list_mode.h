// List mode and the result-line layouts shared with directory mode.
#pragma once

#include <cstdint>
#include <string>

#include "cli/run_settings.h"
#include "hashing/algorithm_record.h"

namespace quorvid {

/// Completes the line layout after the algorithm selection: -f/-g labels,
/// -s/-i/-j labels (which also withdraw -b and the separator), -p prefixes,
/// and HashFormat from MaxHashLength.
void SetUpLineLayout(RunSettings& settings);

/// `rec`'s Prefix right-aligned in PrefixColumnWidth (never cut).
std::string PrefixColumn(const RunSettings& settings, const THashAlgorithmRec& rec);

/// The -z size column of a file: "{%12d}" and one space.
std::string SizeColumnText(int64_t size);

/// Writes one file line per the layout (hash or --nohash date, size, -#
/// date, label, display name) through WriteResultLine with tee. Sets
/// `itemFailed` and exit bit 1 when the file cannot be hashed.
void WriteFileLine(RunSettings& settings, const THashAlgorithmRec& rec,
                   const std::string& fileName, const std::string& displayName,
                   bool useFileLabel, bool& itemFailed, const std::string& noHashDateFormat,
                   const std::string& sizeText);

/// WriteFileLine with the file's hash text already worked out: `hashText`
/// (its placeholder when `hashFailed`) is written as the hash of a real
/// algorithm.
void WriteFileLineWithHash(RunSettings& settings, const THashAlgorithmRec& rec,
                           const std::string& fileName, const std::string& displayName,
                           bool useFileLabel, bool& itemFailed,
                           const std::string& noHashDateFormat, const std::string& sizeText,
                           const std::string& hashText, bool hashFailed);

/// Writes one text line (or the bare hash with `justHash`); cannot fail.
void WriteTextLine(RunSettings& settings, const THashAlgorithmRec& rec, const std::string& text,
                   bool justHash, const std::string& label);

/// Hashes every free word of the command line as a file or a text, then
/// writes the -c count, closes ResultStream and writes the -u summary.
void RunListMode(RunSettings& settings);

}  // namespace quorvid
