// The algorithm catalogue: everything Quorvid knows about one algorithm, in
// one row, and what is derived from the rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "hashing/algorithm_record.h"
#include "hashing/hash_choices.h"
#include "hashing/hasher.h"

namespace quorvid {

struct TAlgorithmRow {
  THashChoices member;
  /// "MD5" ... "MurmurHash3_x64_128": result-line labels, prefixes, --vh.
  std::string_view displayName;
  /// Hex characters of a digest (None: the quoted date shown instead).
  int32_t hashLength;
  /// The -g/-f label when it is not " ?<displayName>*".
  std::string_view listLabel;
  /// Names a checksum list may give it (upper case, space-separated).
  std::string_view listNames;
  /// Words of the tag form "ALG (name) = hash" other tools write (upper
  /// case, "-" standing for "_" too, space-separated).
  std::string_view tagNames;
  /// Its name in comma lists ("MD5,SHA2_256").
  std::string_view commaName;
  /// A new hash object; nullptr for None. Throws std::runtime_error when the
  /// crypto library lacks the algorithm.
  std::unique_ptr<IHash> (*make)();
  /// Relative cycles per byte on a current x86-64 processor: an estimate,
  /// for choosing read roads and the order the ring feeds algorithms in.
  double costPerByte;
  /// Whether it hashes whole parts of a file on several threads and joins
  /// them into the file's digest.
  bool splitsFile;
  /// The file size from which, hashing a file alone, it gains from the
  /// ring; below it the file is read and hashed on one thread. An algorithm
  /// fastest on bytes the same core has just copied never gains (INT64_MAX).
  int64_t ringPaysFrom;
};

/// Every row, indexed by THashChoices.
std::span<const TAlgorithmRow, kHashChoiceCount> AlgorithmCatalogue();

/// The row of `choice`.
const TAlgorithmRow& AlgorithmRow(THashChoices choice);

/// Fills all 15 records from the catalogue: widths, names, labels (LineLabel
/// starts as FsumLabel, ListLabel is the -g/-f label), empty Prefix, no hash
/// objects.
void BuildAlgorithmTable(THashChoicesArray& table);

/// A new hash object for a real algorithm; nullptr for None. Throws
/// std::runtime_error when the crypto library lacks the algorithm.
std::unique_ptr<IHash> MakeHasher(THashChoices choice);

/// Creates the hash object of each real algorithm in `set`, up front, so a
/// run's files share them; the engine makes a temporary one for any other
/// algorithm it is asked for. Leaving out algorithms a run cannot use spares
/// it the crypto library's start-up (about a millisecond) when none of them
/// comes from there.
void CreateHashers(THashChoicesArray& table, THashSet set = kAllRealHashes);

/// Maps an algorithm name read from a checksum list; unknown names give SHA2_256.
THashChoices AlgorithmFromListName(std::string_view name);

/// Maps the algorithm word of a tag-form line ("SHA256 (name) = hash") in
/// any letter case, "_" or "-"; None for any other word.
THashChoices AlgorithmFromTagName(std::string_view name);

/// "MD5,SHA2_256" style comma list of the real members of `set`, in
/// catalogue order; "" for an empty set.
std::string SelectedNamesList(THashSet set);

/// True when some real algorithm's digest is `length` hex characters long.
bool IsDigestLength(size_t length);

}  // namespace quorvid
