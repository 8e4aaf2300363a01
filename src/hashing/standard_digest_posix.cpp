#include "hashing/standard_digest.h"

#include <string>

#include "hashing/evp_hash.h"

namespace quorvid {

// Every standard digest comes from OpenSSL, which the distribution keeps up
// to date.
std::unique_ptr<IHash> MakeStandardDigest(std::string_view name) {
  return std::make_unique<EvpHash>(std::string(name));
}

}  // namespace quorvid
