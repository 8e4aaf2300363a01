// The algorithms Quorvid knows, in the order every mode processes and prints them.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace quorvid {

/// Ordinal order is the processing and printing order everywhere.
enum class THashChoices : int32_t {
  None,
  MD5,
  SHA1,
  SHA2_256,
  SHA2_384,
  SHA2_512,
  SHA3_256,
  SHA3_384,
  SHA3_512,
  Blake2S,
  Blake2B,
  Blake3,
  XXHash64,
  MurmurHash3_x86,
  MurmurHash3_x64,
};

inline constexpr int kHashChoiceCount = static_cast<int>(THashChoices::MurmurHash3_x64) + 1;

/// A set of THashChoices: bit n stands for ordinal n.
using THashSet = uint32_t;

constexpr THashSet HashBit(THashChoices c) { return THashSet{1} << static_cast<int>(c); }

/// Every real algorithm: each member but `None`.
inline constexpr THashSet kAllRealHashes =
    ((THashSet{1} << kHashChoiceCount) - 1) & ~HashBit(THashChoices::None);
constexpr bool InSet(THashSet set, THashChoices c) { return (set & HashBit(c)) != 0; }
constexpr THashChoices ChoiceAt(int ordinal) { return static_cast<THashChoices>(ordinal); }

/// One hash text per member, for one item (verify and hash lookup).
using TGeneratedHashes = std::array<std::string, kHashChoiceCount>;

}  // namespace quorvid
