// BLAKE2s-256 and BLAKE2b-512 (RFC 7693), unkeyed, in portable C++, for
// builds whose crypto library does not offer them.
#pragma once

#include "hashing/hasher.h"

namespace quorvid {

/// The running state of one BLAKE2 computation: Word is uint32_t for
/// BLAKE2s and uint64_t for BLAKE2b.
template <typename Word>
struct Blake2State {
  static constexpr size_t kBlockBytes = 16 * sizeof(Word);
  Word h[8] = {};
  Word counter[2] = {};  // message bytes compressed so far, low word first
  // Bytes not yet compressed. The last block is compressed with a flag only
  // Final can set, so a full block waits here until more bytes follow.
  uint8_t buffer[kBlockBytes] = {};
  size_t buffered = 0;
};

/// BLAKE2s with a 32-byte digest.
class Blake2s final : public IHash {
 public:
  Blake2s() { Reset(); }
  void Reset() override;
  void Update(const uint8_t* data, size_t size) override;
  void Final(uint8_t* out) override;
  size_t DigestSize() const override { return 32; }

 private:
  Blake2State<uint32_t> state_;
};

/// BLAKE2b with a 64-byte digest.
class Blake2b final : public IHash {
 public:
  Blake2b() { Reset(); }
  void Reset() override;
  void Update(const uint8_t* data, size_t size) override;
  void Final(uint8_t* out) override;
  size_t DigestSize() const override { return 64; }

 private:
  Blake2State<uint64_t> state_;
};

}  // namespace quorvid
