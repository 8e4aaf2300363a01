// The standard digests by their names: MD5, SHA1, SHA2-256/384/512,
// SHA3-256/384/512, BLAKE2S-256, BLAKE2B-512. Where they come from is the
// build's choice: the crypto library on POSIX, the system's cryptography and
// our own portable code on Windows.
#pragma once

#include <memory>
#include <string_view>

#include "hashing/hasher.h"

namespace quorvid {

/// A new hash object for the digest `name`. Throws std::runtime_error when
/// this build cannot make it.
std::unique_ptr<IHash> MakeStandardDigest(std::string_view name);

}  // namespace quorvid
