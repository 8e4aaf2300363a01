#include "hashing/xxhash64.h"

#include <xxhash.h>

#include <cstring>
#include <new>

namespace quorvid {

XxHash64::XxHash64() : state_(XXH64_createState()) {
  if (state_ == nullptr) throw std::bad_alloc();
  Reset();
}

XxHash64::~XxHash64() { XXH64_freeState(state_); }

void XxHash64::Reset() { XXH64_reset(state_, 0); }

void XxHash64::Update(const uint8_t* data, size_t size) {
  if (size > 0) XXH64_update(state_, data, size);
}

void XxHash64::Final(uint8_t* out) {
  XXH64_canonical_t canonical;
  XXH64_canonicalFromHash(&canonical, XXH64_digest(state_));
  std::memcpy(out, canonical.digest, sizeof canonical.digest);
}

}  // namespace quorvid
