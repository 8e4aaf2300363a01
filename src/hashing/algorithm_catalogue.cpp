#include "hashing/algorithm_catalogue.h"

#include <array>
#include <exception>

#include "hashing/blake3.h"
#include "hashing/murmur3.h"
#include "hashing/read_road.h"
#include "hashing/standard_digest.h"
#include "hashing/xxhash64.h"

namespace quorvid {
namespace {

using C = THashChoices;
using Made = std::unique_ptr<IHash>;
constexpr int64_t kNeverRing = INT64_MAX;
constexpr int64_t kRingFromOnePiece = static_cast<int64_t>(kRingPiece);

// Indexed by THashChoices. bench/README.md has the measurements behind the
// costs and ring sizes.
constexpr std::array<TAlgorithmRow, kHashChoiceCount> kRows = {{
    {C::None, "NOHASH", 21, "", "NONE", "", "", [] { return Made(); }, 1.0, false, kNeverRing},
    {C::MD5, "MD5", 32, " *", "MD5", "MD5", "MD5",
     [] { return MakeStandardDigest("MD5"); }, 5.0, false, kRingFromOnePiece},
    {C::SHA1, "SHA1", 40, "", "SHA1", "SHA1", "SHA1",
     [] { return MakeStandardDigest("SHA1"); }, 1.6, false, kNeverRing},
    {C::SHA2_256, "SHA2_256", 64, " ?SHA256*", "SHA256 SHA2_256", "SHA256 SHA2-256", "SHA2_256",
     [] { return MakeStandardDigest("SHA2-256"); }, 2.0, false, kNeverRing},
    {C::SHA2_384, "SHA2_384", 96, " ?SHA384*", "SHA384 SHA2_384", "SHA384 SHA2-384", "SHA2_384",
     [] { return MakeStandardDigest("SHA2-384"); }, 5.0, false, kRingFromOnePiece},
    {C::SHA2_512, "SHA2_512", 128, " ?SHA512*", "SHA2_512 SHA512", "SHA512 SHA2-512",
     "SHA2_512", [] { return MakeStandardDigest("SHA2-512"); }, 5.0, false, kRingFromOnePiece},
    {C::SHA3_256, "SHA3_256", 64, "", "SHA3_256", "SHA3-256", "SHA3_256",
     [] { return MakeStandardDigest("SHA3-256"); }, 7.5, false, kRingFromOnePiece},
    {C::SHA3_384, "SHA3_384", 96, "", "SHA3_384", "SHA3-384", "SHA3_384",
     [] { return MakeStandardDigest("SHA3-384"); }, 9.5, false, kRingFromOnePiece},
    {C::SHA3_512, "SHA3_512", 128, "", "SHA3_512", "SHA3-512", "SHA3_512",
     [] { return MakeStandardDigest("SHA3-512"); }, 13.5, false, kRingFromOnePiece},
    {C::Blake2S, "Blake2S", 64, "", "BLK2 BLAKE2S", "BLAKE2S", "Blake2S",
     [] { return MakeStandardDigest("BLAKE2S-256"); }, 5.0, false, kRingFromOnePiece},
    {C::Blake2B, "Blake2B", 128, "", "BLAKE2B", "BLAKE2B", "Blake2B",
     [] { return MakeStandardDigest("BLAKE2B-512"); }, 3.3, false, kRingFromOnePiece},
    {C::Blake3, "Blake3", 64, "", "BLAKE3 BLK3", "BLAKE3", "Blake3",
     [] { return Made(new Blake3()); }, 0.7, true, kRingFromOnePiece},
    {C::XXHash64, "XXHash64", 16, "", "XX64 XXHASH64", "XXH64", "XXHash64",
     [] { return Made(new XxHash64()); }, 0.15, false, int64_t{32} << 20},
    {C::MurmurHash3_x86, "MurmurHash3_x86_128", 32, " ?MH3_X86*",
     "MH3 MH3_X86 MURMURHASH3_X86", "", "MurmurHash3_x86",
     [] { return Made(new Murmur3x86_128()); }, 1.0, false, kNeverRing},
    {C::MurmurHash3_x64, "MurmurHash3_x64_128", 32, " ?MH3_X64*", "MH3_X64 MURMURHASH3_X64", "",
     "MurmurHash3_x64", [] { return Made(new Murmur3x64_128()); }, 0.5, false, kNeverRing},
}};

constexpr bool RowsInMemberOrder() {
  for (int m = 0; m < kHashChoiceCount; ++m)
    if (kRows[m].member != ChoiceAt(m)) return false;
  return true;
}
static_assert(RowsInMemberOrder(), "catalogue rows must follow THashChoices");

std::string UpperCase(std::string_view text) {
  std::string upper(text);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return upper;
}

// True when `word` is one of the space-separated `names`.
bool NamedIn(std::string_view names, std::string_view word) {
  while (!names.empty()) {
    const size_t space = names.find(' ');
    if (names.substr(0, space) == word) return true;
    if (space == std::string_view::npos) break;
    names.remove_prefix(space + 1);
  }
  return false;
}

}  // namespace

std::span<const TAlgorithmRow, kHashChoiceCount> AlgorithmCatalogue() { return kRows; }

const TAlgorithmRow& AlgorithmRow(THashChoices choice) {
  return kRows[static_cast<size_t>(choice)];
}

void BuildAlgorithmTable(THashChoicesArray& table) {
  for (const TAlgorithmRow& row : kRows) {
    THashAlgorithmRec& rec = table[static_cast<size_t>(row.member)];
    rec.Choice = row.member;
    rec.IsRealHash = row.member != THashChoices::None;
    rec.HashLength = row.hashLength;
    rec.DisplayName = row.displayName;
    rec.PrefixName = rec.DisplayName + ": ";
    rec.PrefixWidth = static_cast<int32_t>(rec.PrefixName.size());
    rec.FsumLabel = " ?" + rec.DisplayName + "*";
    rec.LineLabel = rec.FsumLabel;
    rec.ListLabel = row.listLabel.empty() ? rec.FsumLabel : std::string(row.listLabel);
    rec.Prefix.clear();
    rec.Hasher.reset();
  }
}

std::unique_ptr<IHash> MakeHasher(THashChoices choice) { return AlgorithmRow(choice).make(); }

void CreateHashers(THashChoicesArray& table, THashSet set) {
  for (int m = 1; m < kHashChoiceCount; ++m) {
    if (table[m].Hasher || !InSet(set, ChoiceAt(m))) continue;
    try {
      table[m].Hasher = MakeHasher(ChoiceAt(m));
    } catch (const std::exception&) {
      // A crypto library built without this digest: the engine then reports
      // each computation of it as failed, with the placeholder text.
    }
  }
}

THashChoices AlgorithmFromListName(std::string_view name) {
  const std::string upper = UpperCase(name);
  for (const TAlgorithmRow& row : kRows)
    if (NamedIn(row.listNames, upper)) return row.member;
  return THashChoices::SHA2_256;
}

THashChoices AlgorithmFromTagName(std::string_view name) {
  std::string upper = UpperCase(name);
  for (char& c : upper)
    if (c == '_') c = '-';
  for (const TAlgorithmRow& row : kRows)
    if (NamedIn(row.tagNames, upper)) return row.member;
  return THashChoices::None;
}

std::string SelectedNamesList(THashSet set) {
  std::string list;
  for (const TAlgorithmRow& row : kRows) {
    if (row.member == THashChoices::None || !InSet(set, row.member)) continue;
    if (!list.empty()) list += ',';
    list += row.commaName;
  }
  return list;
}

bool IsDigestLength(size_t length) {
  for (const TAlgorithmRow& row : kRows)
    if (row.member != THashChoices::None && static_cast<size_t>(row.hashLength) == length)
      return true;
  return false;
}

}  // namespace quorvid
