#include "hashing/engine.h"

#include <array>
#include <memory>
#include <vector>

#include "hashing/algorithm_catalogue.h"
#include "hashing/blake3_file.h"
#include "hashing/executor.h"
#include "hashing/hasher.h"
#include "hashing/parallel_stream.h"
#include "hashing/read_road.h"
#include "platform/file_reader.h"
#include "platform/read_buffer.h"

namespace quorvid {
namespace {

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

// The algorithms of one file and their hash objects, in catalogue order.
struct Algorithms {
  std::vector<THashChoices> choices;
  std::vector<IHash*> hashers;
};

void Count(const THashContext& context, int64_t bytes) {
  if (context.bytesRead != nullptr && bytes > 0)
    context.bytesRead->fetch_add(static_cast<uint64_t>(bytes), std::memory_order_relaxed);
}

bool Abandoned(const THashContext& context) { return context.abandon && context.abandon(); }

// --- The roads, one function each. Each feeds the rest of the open file to
// every hash object (already reset) and is false when it cannot read it all.

// Reads to the end in pieces that stay in the core's cache between the copy
// and the hashing. Reading to a zero count, not to the first short read,
// keeps pipes and devices such as /dev/stdin whole.
bool ReadOnThisThread(platform::FileReader& reader, const Algorithms& a,
                      const THashContext& context) {
  static_assert(kReadPiece <= platform::kThreadReadBufferSize);
  uint8_t* buffer = platform::ThreadReadBuffer();
  for (;;) {
    if (Abandoned(context)) return false;
    const int64_t n = reader.Read(buffer, kReadPiece);
    if (n < 0) return false;
    if (n == 0) return true;
    Count(context, n);
    for (IHash* h : a.hashers) h->Update(buffer, static_cast<size_t>(n));
  }
}

// One read fills the small buffer; a file that grew since it was opened is
// read on to its end. A regular file read whole at its opening size needs no
// read to see its end.
bool ReadSmallFile(platform::FileReader& reader, const Algorithms& a, const THashContext& context) {
  uint8_t* buffer = platform::ThreadSmallReadBuffer();
  const int64_t n = reader.Read(buffer, platform::kThreadSmallReadBufferSize);
  if (n < 0) return false;
  Count(context, n);
  for (IHash* h : a.hashers) h->Update(buffer, static_cast<size_t>(n));
  if (n == reader.RegularSize()) return true;
  return ReadOnThisThread(reader, a, context);
}

bool ReadThroughRing(platform::FileReader& reader, const Algorithms& a,
                     const THashContext& context) {
  std::vector<TWeightedHasher> weighted;
  for (size_t i = 0; i < a.hashers.size(); ++i)
    weighted.push_back({a.hashers[i], AlgorithmRow(a.choices[i]).costPerByte});
  return StreamThroughRing(
      weighted, context.executor,
      [&](uint8_t* p, size_t size) {
        const int64_t n = reader.Read(p, size);
        Count(context, n);
        return n;
      },
      context.abandon, kRingPiece);
}

// Reads the file once for every algorithm of `a`, on the road its size and
// the algorithms call for, and writes each text into `out`.
bool HashOpenFile(platform::FileReader& reader, const Algorithms& a, const THashContext& context,
                  TGeneratedHashes& out) {
  THashSet set = 0;
  for (THashChoices c : a.choices) set |= HashBit(c);
  const size_t width = context.executor != nullptr ? context.executor->Width() : 1;
  const TReadRoad road = ChooseReadRoad(reader.RegularSize(), set, width);
  if (road == TReadRoad::Parts) {
    uint8_t digest[blake3::kOutLen];
    if (!HashBlake3InParts(reader, PartSizeFor(reader.RegularSize(), width), context, digest))
      return false;
    out[static_cast<size_t>(a.choices[0])] = HexText(digest);
    return true;
  }
  for (IHash* h : a.hashers) h->Reset();
  bool ok = false;
  switch (road) {
    case TReadRoad::SmallFile: ok = ReadSmallFile(reader, a, context); break;
    case TReadRoad::OneThread: ok = ReadOnThisThread(reader, a, context); break;
    case TReadRoad::Ring: ok = ReadThroughRing(reader, a, context); break;
    case TReadRoad::Parts: break;
  }
  if (!ok) return false;
  for (size_t i = 0; i < a.hashers.size(); ++i) {
    uint8_t digest[kMaxDigestBytes];
    a.hashers[i]->Final(digest);
    out[static_cast<size_t>(a.choices[i])] = HexText({digest, a.hashers[i]->DigestSize()});
  }
  return true;
}

std::string AsciiUpper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

}  // namespace

std::string PlaceholderText(int32_t hashLength) {
  if (hashLength <= 0) return "";
  return FullPlaceholder().substr(0, static_cast<size_t>(hashLength));
}

bool HashFileMany(const THashChoicesArray& table, THashSet set, const std::string& fileName,
                  TGeneratedHashes& out, const THashContext& context, TFileRule rule) {
  for (std::string& text : out) text.clear();
  std::array<std::unique_ptr<IHash>, kHashChoiceCount> spares;
  Algorithms a;
  bool usable = true;
  for (int m = 1; m < kHashChoiceCount; ++m) {
    if (!InSet(set, ChoiceAt(m))) continue;
    IHash* hasher = HasherFor(table[m], spares[m]);
    if (hasher == nullptr) {
      usable = false;
      continue;
    }
    a.choices.push_back(ChoiceAt(m));
    a.hashers.push_back(hasher);
  }
  platform::FileReader reader;
  const bool ok = usable && reader.Open(fileName, rule == TFileRule::RegularOnly) &&
                  !Abandoned(context) && HashOpenFile(reader, a, context, out);
  if (!ok)
    for (int m = 1; m < kHashChoiceCount; ++m)
      if (InSet(set, ChoiceAt(m))) out[m] = PlaceholderText(table[m].HashLength);
  return ok;
}

std::string HashFileText(const THashAlgorithmRec& rec, const std::string& fileName,
                         int32_t& failed, const THashContext& context, TFileRule rule) {
  failed = 1;
  if (!rec.IsRealHash) return PlaceholderText(rec.HashLength);
  std::unique_ptr<IHash> spare;
  IHash* hasher = HasherFor(rec, spare);
  TGeneratedHashes out;
  platform::FileReader reader;
  if (hasher != nullptr && reader.Open(fileName, rule == TFileRule::RegularOnly) &&
      !Abandoned(context) && HashOpenFile(reader, {{rec.Choice}, {hasher}}, context, out)) {
    failed = 0;
    return out[static_cast<size_t>(rec.Choice)];
  }
  return PlaceholderText(rec.HashLength);
}

std::string HashOfText(const THashAlgorithmRec& rec, std::string_view text) {
  std::unique_ptr<IHash> spare;
  IHash* hasher = HasherFor(rec, spare);
  if (hasher == nullptr) return PlaceholderText(rec.HashLength);
  hasher->Reset();
  hasher->Update(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  uint8_t digest[kMaxDigestBytes];
  hasher->Final(digest);
  return HexText({digest, hasher->DigestSize()});
}

int32_t MatchFileDigest(const THashAlgorithmRec& rec, const std::string& fileName,
                        const std::string& expected, const THashContext& context,
                        TFileRule rule) {
  int32_t failed = 0;
  std::string text = HashFileText(rec, fileName, failed, context, rule);
  if (failed != 0) return 1;
  // Hex digits match in either case; anything else (blanks, length) differs.
  return AsciiUpper(expected) == AsciiUpper(text) ? 0 : 2;
}

}  // namespace quorvid
