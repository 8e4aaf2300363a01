#include "hashing/xxhash64.h"

#include <xxhash.h>

#include <cstring>
#include <new>

namespace quorvid {

struct XxHash64::State {
  XXH64_state_t* xxh = XXH64_createState();
  ~State() { XXH64_freeState(xxh); }
};

XxHash64::XxHash64() : state_(std::make_unique<State>()) {
  if (state_->xxh == nullptr) throw std::bad_alloc();
  Reset();
}

XxHash64::~XxHash64() = default;

void XxHash64::Reset() { XXH64_reset(state_->xxh, 0); }

void XxHash64::Update(const uint8_t* data, size_t size) {
  if (size > 0) XXH64_update(state_->xxh, data, size);
}

void XxHash64::Final(uint8_t* out) {
  XXH64_canonical_t canonical;
  XXH64_canonicalFromHash(&canonical, XXH64_digest(state_->xxh));
  std::memcpy(out, canonical.digest, sizeof canonical.digest);
}

}  // namespace quorvid
