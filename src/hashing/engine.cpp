#include "hashing/engine.h"

#include <array>
#include <memory>
#include <vector>

#include "hashing/hasher.h"
#include "platform/file_reader.h"

namespace quorvid {
namespace {

TReadAbortCheck g_abortCheck = nullptr;

// The 128-character filler; a failed computation shows its first HashLength
// characters, so the columns keep the width of a real hash text.
const std::string& FullPlaceholder() {
  static const std::string text = [] {
    std::string t = ":::DENIED:::";
    t.resize(128, ':');
    return t;
  }();
  return text;
}

// The record's own hash object, or a fresh one when the table has none yet
// (tables built without CreateHashers). nullptr for None.
IHash* HasherFor(const THashAlgorithmRec& rec, std::unique_ptr<IHash>& spare) {
  if (!rec.IsRealHash) return nullptr;
  if (rec.Hasher) return rec.Hasher.get();
  try {
    spare = MakeHasher(rec.Choice);
  } catch (...) {
    return nullptr;
  }
  return spare.get();
}

std::string DigestText(IHash& hasher) {
  uint8_t digest[kMaxDigestBytes];
  hasher.Final(digest);
  return HexText({digest, hasher.DigestSize()});
}

// Opens the file once and feeds every chunk to each hasher (already reset).
// False when the file cannot be opened or read, or the read is abandoned.
bool StreamFile(const std::string& fileName, const std::vector<IHash*>& hashers) {
  platform::FileReader reader;
  if (!reader.Open(fileName)) return false;
  // One buffer per thread, so files are streamed without an allocation each.
  thread_local std::unique_ptr<uint8_t[]> buffer(new uint8_t[kReadBufferSize]);
  for (;;) {
    if (g_abortCheck != nullptr && g_abortCheck()) return false;
    // Reading to the end (a zero count), not to the first short read, keeps
    // pipes and devices such as /dev/stdin whole.
    int64_t n = reader.Read(buffer.get(), kReadBufferSize);
    if (n < 0) return false;
    if (n == 0) break;
    for (IHash* h : hashers) h->Update(buffer.get(), static_cast<size_t>(n));
  }
  reader.Close();
  return true;
}

std::string AsciiUpper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

}  // namespace

void SetReadAbortCheck(TReadAbortCheck check) { g_abortCheck = check; }

std::string PlaceholderText(int32_t hashLength) {
  if (hashLength <= 0) return "";
  return FullPlaceholder().substr(0, static_cast<size_t>(hashLength));
}

std::string HashFileText(const THashAlgorithmRec& rec, const std::string& fileName,
                         int32_t& failed) {
  std::unique_ptr<IHash> spare;
  IHash* hasher = HasherFor(rec, spare);
  if (hasher != nullptr) {
    hasher->Reset();
    if (StreamFile(fileName, {hasher})) {
      failed = 0;
      return DigestText(*hasher);
    }
  }
  failed = 1;
  return PlaceholderText(rec.HashLength);
}

std::string HashOfText(const THashAlgorithmRec& rec, std::string_view text) {
  std::unique_ptr<IHash> spare;
  IHash* hasher = HasherFor(rec, spare);
  if (hasher == nullptr) return PlaceholderText(rec.HashLength);
  hasher->Reset();
  hasher->Update(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  return DigestText(*hasher);
}

int32_t MatchFileDigest(const THashAlgorithmRec& rec, const std::string& fileName,
                        const std::string& expected) {
  int32_t failed = 0;
  std::string text = HashFileText(rec, fileName, failed);
  if (failed != 0) return 1;
  // Hex digits match in either case; anything else (blanks, length) differs.
  return AsciiUpper(expected) == AsciiUpper(text) ? 0 : 2;
}

bool HashFileMany(const THashChoicesArray& table, THashSet set, const std::string& fileName,
                  TGeneratedHashes& out) {
  for (std::string& text : out) text.clear();
  std::array<IHash*, kHashChoiceCount> byMember{};
  std::array<std::unique_ptr<IHash>, kHashChoiceCount> spares;
  std::vector<IHash*> hashers;
  bool usable = true;
  for (int m = 1; m < kHashChoiceCount; ++m) {
    if (!InSet(set, ChoiceAt(m))) continue;
    byMember[m] = HasherFor(table[m], spares[m]);
    if (byMember[m] == nullptr) {
      usable = false;
      continue;
    }
    byMember[m]->Reset();
    hashers.push_back(byMember[m]);
  }
  bool ok = usable && StreamFile(fileName, hashers);
  for (int m = 1; m < kHashChoiceCount; ++m) {
    if (!InSet(set, ChoiceAt(m))) continue;
    out[m] = ok ? DigestText(*byMember[m]) : PlaceholderText(table[m].HashLength);
  }
  return ok;
}

}  // namespace quorvid
