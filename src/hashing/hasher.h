// The hash object: one per real algorithm, reused for every computation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "hashing/hash_choices.h"

namespace quorvid {

/// Largest digest any algorithm produces (SHA2_512, SHA3_512, Blake2B).
inline constexpr size_t kMaxDigestBytes = 64;

/// A streaming hash. Every computation is Reset, any number of Update calls
/// (pieces of any size), then Final; no state passes from one to the next.
class IHash {
 public:
  virtual ~IHash() = default;
  /// Starts a fresh computation.
  virtual void Reset() = 0;
  /// Feeds the next piece of the message.
  virtual void Update(const uint8_t* data, size_t size) = 0;
  /// Writes DigestSize() bytes, in text order, to `out`.
  virtual void Final(uint8_t* out) = 0;
  /// Digest length in bytes.
  virtual size_t DigestSize() const = 0;
};

/// Lower-case hexadecimal text of `bytes`.
std::string HexText(std::span<const uint8_t> bytes);

}  // namespace quorvid
