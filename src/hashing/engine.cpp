#include "hashing/engine.h"

namespace quorvid {

std::string PlaceholderText(int32_t hashLength) {
  std::string text = ":::DENIED:::";
  text.resize(128, ':');
  return text.substr(0, static_cast<size_t>(hashLength));
}
std::string HashFileText(const THashAlgorithmRec& rec, const std::string&, int32_t& failed) {
  failed = 1;
  return PlaceholderText(rec.HashLength);
}
std::string HashOfText(const THashAlgorithmRec& rec, std::string_view) { return PlaceholderText(rec.HashLength); }
int32_t MatchFileDigest(const THashAlgorithmRec&, const std::string&, const std::string&) { return 1; }
bool HashFileMany(const THashChoicesArray&, THashSet, const std::string&, TGeneratedHashes&) { return false; }

}  // namespace quorvid
