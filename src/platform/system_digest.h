// The system's own digests (Windows CNG): MD5, SHA1 and SHA2-256/384/512.
// Only the Windows build has them; elsewhere the crypto library provides
// the standard digests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace quorvid::platform {

class SystemDigest {
 public:
  /// The digest `name` ("MD5", "SHA1", "SHA2-256", "SHA2-384", "SHA2-512");
  /// nullptr when the system does not offer it.
  static std::unique_ptr<SystemDigest> Open(std::string_view name);
  ~SystemDigest();
  SystemDigest(const SystemDigest&) = delete;
  SystemDigest& operator=(const SystemDigest&) = delete;

  /// Starts a fresh computation; false when the system refuses.
  bool Reset();
  /// Feeds the next piece; false when the system refuses.
  bool Update(const uint8_t* data, size_t size);
  /// Writes Size() bytes; false when the system refuses.
  bool Final(uint8_t* out);
  size_t Size() const { return size_; }

 private:
  SystemDigest() = default;
  void* algorithm_ = nullptr;  // BCRYPT_ALG_HANDLE
  void* hash_ = nullptr;       // BCRYPT_HASH_HANDLE
  size_t size_ = 0;
};

}  // namespace quorvid::platform
