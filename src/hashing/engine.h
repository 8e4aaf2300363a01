// Turns a file or a text into hash texts. Failures never raise: a file that
// cannot be read gives the placeholder text cut to the algorithm's width.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "hashing/algorithm_record.h"
#include "hashing/hash_choices.h"

namespace quorvid {

/// Asked between reads of a file; returning true abandons that file, which
/// then counts as unreadable. The run driver can point it at its interrupt
/// flags so a huge file does not hold up an abort.
using TReadAbortCheck = bool (*)();

/// Installs `check` (nullptr removes it). Not owned; must stay valid.
void SetReadAbortCheck(TReadAbortCheck check);

/// True when the installed check asks reads to stop now.
bool ReadAbortRequested();

/// Which names the engine reads: any existing name that is not a folder
/// (list mode hashes /dev/stdin and pipes to their end), or, for names a
/// walk listed or a checksum list gave, regular files only: a FIFO, device
/// or socket found in such a file's place fails like a file that cannot be
/// read, and is never waited on.
enum class TFileRule { AnyFile, RegularOnly };

/// Size of the read buffer the engine streams files through.
inline constexpr size_t kReadBufferSize = 1024 * 1024;

/// ":::DENIED:::" followed by colons, cut to `hashLength` characters.
std::string PlaceholderText(int32_t hashLength);

/// Lower-case hash text of the file under `rec`'s algorithm; `failed` is 0,
/// or 1 with the placeholder returned when the name is missing, a folder,
/// cannot be opened or read, the abort check fires, or `rec` is None. Any
/// existing non-folder name is read (devices and pipes to their end). Uses
/// rec.Hasher, or a temporary hash object when the table has none.
std::string HashFileText(const THashAlgorithmRec& rec, const std::string& fileName,
                         int32_t& failed, TFileRule rule = TFileRule::AnyFile);

/// Lower-case hash text of the UTF-8 bytes of `text` (used exactly as given).
/// Never fails for a real algorithm; for None it gives the placeholder.
std::string HashOfText(const THashAlgorithmRec& rec, std::string_view text);

/// 0 when the file's digest equals `expected` (hex digits in any case),
/// 2 when it differs, 1 when the file cannot be hashed.
int32_t MatchFileDigest(const THashAlgorithmRec& rec, const std::string& fileName,
                        const std::string& expected, TFileRule rule = TFileRule::AnyFile);

/// Reads the file once and hashes it under every real member of `set`,
/// writing each text to `out[member]` (every other entry is cleared). Returns
/// false when the file cannot be read; each real member of the set then holds
/// its placeholder. Memory stays bounded whatever the file size.
bool HashFileMany(const THashChoicesArray& table, THashSet set, const std::string& fileName,
                  TGeneratedHashes& out, TFileRule rule = TFileRule::AnyFile);

/// HashFileMany without asking the digest source, abandoning the read (a
/// failure) as soon as `abandon` returns true; `abandon` may be empty. For
/// worker threads that hash files ahead of the one that writes the results.
bool HashFileManyUntil(const THashChoicesArray& table, THashSet set, const std::string& fileName,
                       TGeneratedHashes& out, const std::function<bool()>& abandon,
                       TFileRule rule = TFileRule::AnyFile);

/// Digests worked out ahead of time for the files a mode is about to hash
/// (directory mode hashes several files at once this way). HashFileText,
/// MatchFileDigest and HashFileMany ask the installed source first and read
/// the file themselves only when it has no answer, so a source can never
/// change a result, only how soon it is ready.
class IDigestSource {
 public:
  virtual ~IDigestSource() = default;
  /// True when the source holds `fileName` hashed under every member of
  /// `set`: fills those entries of `out` (placeholders when the read failed)
  /// and `failed`. May wait for a worker to finish the file.
  virtual bool Lookup(const std::string& fileName, THashSet set, TGeneratedHashes& out,
                      bool& failed) = 0;
};

/// Installs `source` for the calling thread's later engine calls (nullptr
/// removes it). Not owned.
void SetDigestSource(IDigestSource* source);

}  // namespace quorvid
