#include "hashing/engine.h"

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "hashing/blake3.h"
#include "hashing/blake3_file.h"
#include "hashing/hasher.h"
#include "hashing/parallel_pool.h"
#include "hashing/parallel_stream.h"
#include "hashing/read_counter.h"
#include "platform/file_reader.h"
#include "platform/read_buffer.h"

namespace quorvid {
namespace {

TReadAbortCheck g_abortCheck = nullptr;
// Per thread, so worker threads that fill the source never ask it.
thread_local IDigestSource* t_digestSource = nullptr;

bool GlobalAbort() { return g_abortCheck != nullptr && g_abortCheck(); }

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

// Parts of a lone BLAKE3's file, each hashed whole by one core: about 16 per
// core, so the cores finish close together (with four parts each, the core
// that took one more held a 64 MiB file back by a tenth), between 256 KiB and
// 4 MiB.
size_t SubtreePartSize(int64_t fileSize) {
  constexpr size_t kMinPart = 256 << 10;
  const auto wanted = static_cast<int64_t>(16 * ParallelWidth());
  size_t part = 4 << 20;
  while (part > kMinPart && fileSize / static_cast<int64_t>(part) < wanted) part /= 2;
  return part;
}

// The one algorithm of a file hashed with exactly one, else None.
THashChoices LoneAlgorithm(const std::vector<THashChoices>& choices) {
  return choices.size() == 1 ? choices[0] : THashChoices::None;
}

// A lone algorithm about as fast as the copying out of the file cache gains
// little from a reading thread beside it on a file of moderate size: the
// ring's thread and memory cost about what the overlap saves. XXHash64 on
// one thread against the ring: 4 MB 10.8 against 11.5 ms, 24 MB 14.1
// against 14.5 ms, 64 MiB 26.5 against 24.5 ms, 1 GiB 140 against 89 ms.
// Larger files, and streams of unknown length, go through the ring.
bool StaysOnTheReadingThread(THashChoices lone, int64_t fileSize) {
  constexpr int64_t kRingPaysFrom = 32 << 20;
  return lone != THashChoices::None && EstimatedCostPerByte(lone) < 0.3 && fileSize >= 0 &&
         fileSize < kRingPaysFrom;
}

// One buffer per thread, so files are streamed without an allocation each.
uint8_t* ThreadBuffer() {
  static_assert(kReadBufferSize <= platform::kThreadReadBufferSize);
  return platform::ThreadReadBuffer();
}

// Feeds what remains of the open file to every hasher on this thread, in
// pieces of kCachedReadPiece. Views of the file cache (mmap) were measured
// too: on a virtual machine each page of a fresh view cost about 1.7 us on
// first touch, more than the hashing itself for the fast algorithms, while
// the copy through the kernel's own mapping costs about 50 ms per GiB.
bool ReadToEnd(platform::FileReader& reader, const std::vector<IHash*>& hashers,
               const std::function<bool()>& abandon) {
  uint8_t* buffer = ThreadBuffer();
  for (;;) {
    if (abandon()) return false;
    // Reading to the end (a zero count), not to the first short read, keeps
    // pipes and devices such as /dev/stdin whole.
    int64_t n = reader.Read(buffer, platform::kCachedReadPiece);
    if (n < 0) return false;
    if (n == 0) return true;
    CountRead(n);
    for (IHash* h : hashers) h->Update(buffer, static_cast<size_t>(n));
  }
}

std::vector<TWeightedHasher> Weighted(const std::vector<IHash*>& hashers,
                                      const std::vector<THashChoices>& choices) {
  std::vector<TWeightedHasher> weighted;
  for (size_t i = 0; i < hashers.size(); ++i)
    weighted.push_back({hashers[i], EstimatedCostPerByte(choices[i])});
  return weighted;
}

// Keeps each BLAKE3 among several algorithms on the ring's thread that feeds
// it, for as long as it lives: the ring already spreads the algorithms over
// the cores, and a BLAKE3 that split its pieces over the pool as well took a
// core from the others (with XXHash64 over 1 GiB, 239 against 210 ms).
class Blake3OnItsRingThread {
 public:
  explicit Blake3OnItsRingThread(const std::vector<IHash*>& hashers) {
    for (IHash* h : hashers)
      if (auto* b = dynamic_cast<Blake3*>(h)) {
        held_.push_back({b, b->Threaded()});
        b->SetThreaded(false);
      }
  }
  ~Blake3OnItsRingThread() {
    for (const auto& [b, threaded] : held_) b->SetThreaded(threaded);
  }
  Blake3OnItsRingThread(const Blake3OnItsRingThread&) = delete;
  Blake3OnItsRingThread& operator=(const Blake3OnItsRingThread&) = delete;

 private:
  std::vector<std::pair<Blake3*, bool>> held_;
};

// Opens the file once and feeds every chunk to each hasher (already reset).
// Over more than one buffer the algorithms run side by side on the machine's
// cores. False when the file cannot be opened or read, or the read is
// abandoned.
bool StreamFile(const std::string& fileName, const std::vector<IHash*>& hashers,
                const std::vector<THashChoices>& choices, const std::function<bool()>& abandon,
                TFileRule rule) {
  platform::FileReader reader;
  if (!reader.Open(fileName, rule == TFileRule::RegularOnly)) return false;
  if (abandon()) return false;
  const THashChoices lone = LoneAlgorithm(choices);
  if (lone == THashChoices::Blake3 && ParallelWidth() > 1 &&
      reader.RegularSize() > static_cast<int64_t>(kReadBufferSize)) {
    // A lone BLAKE3: each core reads and hashes whole parts of its own.
    if (auto* blake3 = dynamic_cast<Blake3*>(hashers[0])) {
      const size_t part = SubtreePartSize(reader.RegularSize());
      if (!HashWholePartsInParallel(reader, *blake3, part, ParallelWidth(), abandon))
        return false;
      return ReadToEnd(reader, hashers, abandon);
    }
  }
  // A small file is read whole into the small buffer (one that grew since
  // it was opened is read on to its end on this thread).
  constexpr size_t kSmall = platform::kThreadSmallReadBufferSize;
  const bool small =
      reader.RegularSize() >= 0 && reader.RegularSize() < static_cast<int64_t>(kSmall);
  uint8_t* buffer = small ? platform::ThreadSmallReadBuffer() : ThreadBuffer();
  int64_t n = reader.Read(buffer, small ? kSmall : kReadBufferSize);
  if (n < 0) return false;
  if (n == 0) return true;
  CountRead(n);
  // A file longer than one buffer is read on this thread while the hashing
  // runs on others, so the copying out of the file cache overlaps it.
  const bool more = !small && static_cast<size_t>(n) == kReadBufferSize;
  if (!more || hashers.empty() || ParallelWidth() < 2 ||
      StaysOnTheReadingThread(lone, reader.RegularSize())) {
    for (IHash* h : hashers) h->Update(buffer, static_cast<size_t>(n));
    // A regular file read whole at its opening size needs no read to see
    // its end: the common case of many small files saves a call each.
    if (!more && n == reader.RegularSize()) return true;
    return ReadToEnd(reader, hashers, abandon);
  }
  const size_t threads = std::min(ParallelWidth(), hashers.size());
  const Blake3OnItsRingThread unthreaded(hashers);
  return StreamToHashersInParallel(
      Weighted(hashers, choices), threads,
      [&](uint8_t* p, size_t size) {
        const int64_t n = reader.Read(p, size);
        CountRead(n);
        return n;
      },
      abandon, buffer,
      static_cast<size_t>(n), kReadBufferSize);
}

std::string AsciiUpper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

}  // namespace

void SetReadAbortCheck(TReadAbortCheck check) { g_abortCheck = check; }

bool ReadAbortRequested() { return GlobalAbort(); }

void SetDigestSource(IDigestSource* source) { t_digestSource = source; }

std::string PlaceholderText(int32_t hashLength) {
  if (hashLength <= 0) return "";
  return FullPlaceholder().substr(0, static_cast<size_t>(hashLength));
}

std::string HashFileText(const THashAlgorithmRec& rec, const std::string& fileName,
                         int32_t& failed, TFileRule rule) {
  if (t_digestSource != nullptr && rec.IsRealHash) {
    TGeneratedHashes ready;
    bool readFailed = false;
    if (t_digestSource->Lookup(fileName, HashBit(rec.Choice), ready, readFailed)) {
      failed = readFailed ? 1 : 0;
      return readFailed ? PlaceholderText(rec.HashLength) : ready[static_cast<int>(rec.Choice)];
    }
  }
  std::unique_ptr<IHash> spare;
  IHash* hasher = HasherFor(rec, spare);
  if (hasher != nullptr) {
    hasher->Reset();
    if (StreamFile(fileName, {hasher}, {rec.Choice}, GlobalAbort, rule)) {
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
                        const std::string& expected, TFileRule rule) {
  int32_t failed = 0;
  std::string text = HashFileText(rec, fileName, failed, rule);
  if (failed != 0) return 1;
  // Hex digits match in either case; anything else (blanks, length) differs.
  return AsciiUpper(expected) == AsciiUpper(text) ? 0 : 2;
}

bool HashFileMany(const THashChoicesArray& table, THashSet set, const std::string& fileName,
                  TGeneratedHashes& out, TFileRule rule) {
  if (t_digestSource != nullptr && (set & kAllRealHashes) == set) {
    bool failed = false;
    for (std::string& text : out) text.clear();
    if (t_digestSource->Lookup(fileName, set, out, failed)) return !failed;
  }
  return HashFileManyUntil(table, set, fileName, out, GlobalAbort, rule);
}

bool HashFileManyUntil(const THashChoicesArray& table, THashSet set, const std::string& fileName,
                       TGeneratedHashes& out, const std::function<bool()>& abandon,
                       TFileRule rule) {
  for (std::string& text : out) text.clear();
  std::array<IHash*, kHashChoiceCount> byMember{};
  std::array<std::unique_ptr<IHash>, kHashChoiceCount> spares;
  std::vector<IHash*> hashers;
  std::vector<THashChoices> choices;
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
    choices.push_back(ChoiceAt(m));
  }
  const std::function<bool()> never = [] { return false; };
  bool ok = usable && StreamFile(fileName, hashers, choices, abandon ? abandon : never, rule);
  for (int m = 1; m < kHashChoiceCount; ++m) {
    if (!InSet(set, ChoiceAt(m))) continue;
    out[m] = ok ? DigestText(*byMember[m]) : PlaceholderText(table[m].HashLength);
  }
  return ok;
}

}  // namespace quorvid
