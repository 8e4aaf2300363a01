// The digests that come from the OpenSSL library: MD5, SHA-1, SHA-2, SHA-3, BLAKE2.
#pragma once

#include <string>

#include "hashing/hasher.h"

struct evp_md_st;
struct evp_md_ctx_st;

namespace quorvid {

/// A library digest fetched once by name (such as "SHA2-256"); its context is
/// kept and re-initialised for each computation.
class EvpHash final : public IHash {
 public:
  /// Throws std::runtime_error when the library does not offer `name`.
  explicit EvpHash(const std::string& name);
  ~EvpHash() override;
  EvpHash(const EvpHash&) = delete;
  EvpHash& operator=(const EvpHash&) = delete;

  void Reset() override;
  void Update(const uint8_t* data, size_t size) override;
  void Final(uint8_t* out) override;
  size_t DigestSize() const override { return size_; }

 private:
  evp_md_st* md_ = nullptr;
  evp_md_ctx_st* ctx_ = nullptr;
  size_t size_ = 0;
};

}  // namespace quorvid
