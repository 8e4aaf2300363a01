// XXH64 with seed 0, through the xxHash library (or its header compiled in,
// where the build has no library).
#pragma once

#include "hashing/hasher.h"

#include <memory>

namespace quorvid {

/// Digest: the 64-bit result, most significant byte first (canonical form).
class XxHash64 final : public IHash {
 public:
  XxHash64();
  ~XxHash64() override;
  XxHash64(const XxHash64&) = delete;
  XxHash64& operator=(const XxHash64&) = delete;

  void Reset() override;
  void Update(const uint8_t* data, size_t size) override;
  void Final(uint8_t* out) override;
  size_t DigestSize() const override { return 8; }

 private:
  struct State;  // the library's state; its name depends on how it is built
  std::unique_ptr<State> state_;
};

}  // namespace quorvid
