// SHA3-256, SHA3-384 and SHA3-512 (FIPS 202) in portable C++, for builds
// whose crypto library does not offer them.
#pragma once

#include <array>

#include "hashing/hasher.h"

namespace quorvid {

/// A SHA-3 digest of 32, 48 or 64 bytes: the sponge over Keccak-f[1600] with
/// capacity twice the digest and the SHA-3 padding (0x06 ... 0x80).
class Sha3 final : public IHash {
 public:
  /// Throws std::invalid_argument unless `digestBytes` is 32, 48 or 64.
  explicit Sha3(size_t digestBytes);

  void Reset() override;
  void Update(const uint8_t* data, size_t size) override;
  void Final(uint8_t* out) override;
  size_t DigestSize() const override { return digestBytes_; }

 private:
  /// Widest rate, that of the 32-byte digest: 200 - 2 * 32 bytes.
  static constexpr size_t kMaxRate = 136;

  void Absorb(const uint8_t* block);

  size_t digestBytes_;
  size_t rate_;  // bytes absorbed per permutation
  std::array<uint64_t, 25> state_{};
  std::array<uint8_t, kMaxRate> buffer_{};  // the start of a block not yet absorbed
  size_t buffered_ = 0;
};

}  // namespace quorvid
