// Turns a file or a text into hash texts. Failures never raise: a file that
// cannot be read gives the placeholder text cut to the algorithm's width.
// Every call does the same thing whoever makes it: it reads the file once
// for all the algorithms asked for, on the road ChooseReadRoad picks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "hashing/algorithm_record.h"
#include "hashing/hash_choices.h"
#include "hashing/hash_context.h"

namespace quorvid {

/// Which names the engine reads: any existing name that is not a folder
/// (list mode hashes /dev/stdin and pipes to their end), or, for names a
/// walk listed or a checksum list gave, regular files only: a FIFO, device
/// or socket found in such a file's place fails like a file that cannot be
/// read, and is never waited on.
enum class TFileRule { AnyFile, RegularOnly };

/// ":::DENIED:::" followed by colons, cut to `hashLength` characters.
std::string PlaceholderText(int32_t hashLength);

/// Reads the file once and hashes it under every real member of `set`,
/// writing each text to `out[member]` (every other entry is cleared). Returns
/// false when the file cannot be read (missing, a folder, a read error, cut
/// short while read, abandoned, or refused by `rule`); each real member of
/// the set then holds its placeholder. Uses the table's hash objects (a
/// temporary one for a member that has none); they must not be in use on
/// another thread. Memory stays bounded whatever the file size.
bool HashFileMany(const THashChoicesArray& table, THashSet set, const std::string& fileName,
                  TGeneratedHashes& out, const THashContext& context = {},
                  TFileRule rule = TFileRule::AnyFile);

/// Lower-case hash text of the file under `rec`'s algorithm; `failed` is 0,
/// or 1 with the placeholder returned when the file cannot be hashed (as
/// HashFileMany) or `rec` is None.
std::string HashFileText(const THashAlgorithmRec& rec, const std::string& fileName,
                         int32_t& failed, const THashContext& context = {},
                         TFileRule rule = TFileRule::AnyFile);

/// Lower-case hash text of the UTF-8 bytes of `text` (used exactly as given).
/// Never fails for a real algorithm; for None it gives the placeholder.
std::string HashOfText(const THashAlgorithmRec& rec, std::string_view text);

/// 0 when the file's digest equals `expected` (hex digits in any case),
/// 2 when it differs, 1 when the file cannot be hashed.
int32_t MatchFileDigest(const THashAlgorithmRec& rec, const std::string& fileName,
                        const std::string& expected, const THashContext& context = {},
                        TFileRule rule = TFileRule::AnyFile);

}  // namespace quorvid
