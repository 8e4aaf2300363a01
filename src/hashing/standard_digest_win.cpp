#include "hashing/standard_digest.h"

#include <stdexcept>
#include <string>

#include "hashing/blake2.h"
#include "hashing/sha3.h"
#include "platform/system_digest.h"

namespace quorvid {

namespace {

// MD5, SHA1 and SHA2 from the system's cryptography.
class SystemHash final : public IHash {
 public:
  explicit SystemHash(std::unique_ptr<platform::SystemDigest> digest)
      : digest_(std::move(digest)) {}
  void Reset() override { Check(digest_->Reset()); }
  void Update(const uint8_t* data, size_t size) override { Check(digest_->Update(data, size)); }
  void Final(uint8_t* out) override { Check(digest_->Final(out)); }
  size_t DigestSize() const override { return digest_->Size(); }

 private:
  // The system refusing a computation it accepted to start is no result to
  // show: the engine reports the file as not hashed.
  static void Check(bool ok) {
    if (!ok) throw std::runtime_error("the system's digest failed");
  }
  std::unique_ptr<platform::SystemDigest> digest_;
};

}  // namespace

// Windows has no SHA-3 or BLAKE2 of its own on every version: those are
// ours, checked against the crypto library's vectors.
std::unique_ptr<IHash> MakeStandardDigest(std::string_view name) {
  if (name == "SHA3-256") return std::make_unique<Sha3>(32);
  if (name == "SHA3-384") return std::make_unique<Sha3>(48);
  if (name == "SHA3-512") return std::make_unique<Sha3>(64);
  if (name == "BLAKE2S-256") return std::make_unique<Blake2s>();
  if (name == "BLAKE2B-512") return std::make_unique<Blake2b>();
  auto digest = platform::SystemDigest::Open(name);
  if (!digest) throw std::runtime_error("digest not available: " + std::string(name));
  return std::make_unique<SystemHash>(std::move(digest));
}

}  // namespace quorvid
