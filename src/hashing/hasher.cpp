#include "hashing/hasher.h"

#include "hashing/blake3.h"
#include "hashing/evp_hash.h"
#include "hashing/murmur3.h"
#include "hashing/xxhash64.h"

namespace quorvid {

std::unique_ptr<IHash> MakeHasher(THashChoices choice) {
  switch (choice) {
    case THashChoices::None: return nullptr;
    case THashChoices::MD5: return std::make_unique<EvpHash>("MD5");
    case THashChoices::SHA1: return std::make_unique<EvpHash>("SHA1");
    case THashChoices::SHA2_256: return std::make_unique<EvpHash>("SHA2-256");
    case THashChoices::SHA2_384: return std::make_unique<EvpHash>("SHA2-384");
    case THashChoices::SHA2_512: return std::make_unique<EvpHash>("SHA2-512");
    case THashChoices::SHA3_256: return std::make_unique<EvpHash>("SHA3-256");
    case THashChoices::SHA3_384: return std::make_unique<EvpHash>("SHA3-384");
    case THashChoices::SHA3_512: return std::make_unique<EvpHash>("SHA3-512");
    case THashChoices::Blake2S: return std::make_unique<EvpHash>("BLAKE2S-256");
    case THashChoices::Blake2B: return std::make_unique<EvpHash>("BLAKE2B-512");
    case THashChoices::Blake3: return std::make_unique<Blake3>();
    case THashChoices::XXHash64: return std::make_unique<XxHash64>();
    case THashChoices::MurmurHash3_x86: return std::make_unique<Murmur3x86_128>();
    case THashChoices::MurmurHash3_x64: return std::make_unique<Murmur3x64_128>();
  }
  return nullptr;
}

std::string HexText(std::span<const uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (uint8_t b : bytes) {
    text.push_back(kDigits[b >> 4]);
    text.push_back(kDigits[b & 0x0F]);
  }
  return text;
}

}  // namespace quorvid
