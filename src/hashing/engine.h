// Turns a file or a text into hash texts. Failures never raise: a file that
// cannot be read gives the placeholder text cut to the algorithm's width.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "hashing/algorithm_record.h"
#include "hashing/hash_choices.h"

namespace quorvid {

/// ":::DENIED:::" followed by colons, cut to `hashLength` characters.
std::string PlaceholderText(int32_t hashLength);

/// Lower-case hash text of the file under `rec`'s algorithm; `failed` is set
/// to 1 (and the placeholder returned) when the file cannot be read.
std::string HashFileText(const THashAlgorithmRec& rec, const std::string& fileName,
                         int32_t& failed);

/// Lower-case hash text of the UTF-8 bytes of `text`.
std::string HashOfText(const THashAlgorithmRec& rec, std::string_view text);

/// 0 when the file's digest equals `expected` (hex digits in any case),
/// 2 when it differs, 1 when the file cannot be hashed.
int32_t MatchFileDigest(const THashAlgorithmRec& rec, const std::string& fileName,
                        const std::string& expected);

/// Reads the file once and hashes it under every member of `set` (None
/// ignored). Returns false when the file cannot be read; every text of the
/// set then holds its placeholder.
bool HashFileMany(const THashChoicesArray& table, THashSet set, const std::string& fileName,
                  TGeneratedHashes& out);

}  // namespace quorvid
