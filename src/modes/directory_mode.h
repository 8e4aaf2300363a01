// Directory mode: hashing the files of a folder tree that match masks. The
// same walk writes checksum lists (-g), looks up hashes (--hl) and lists bare
// hashes (-j).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "modes/run_settings.h"

namespace quorvid {

/// The masks: the words after the folder that are no options, joined with
/// ";" (a word may hold several masks itself), double quotes removed; "*"
/// when there are none. The walk and the "No files found" report use it.
std::string MaskText(const RunSettings& settings);

/// True when one of the exclusion texts occurs in `path`, letters compared
/// without regard to case. `lowerExclusions` must already be lower-cased
/// (LowerCaseUtf8); empty texts never match.
bool IsExcludedPath(const std::string& path, const std::vector<std::string>& lowerExclusions);

/// `path` with the leading `folder` removed once (compared without regard to
/// case), so a subfolder that repeats the folder's name survives; `path`
/// unchanged when it does not start with `folder`.
std::string RelativeDisplayName(const std::string& path, const std::string& folder);

/// The walk's filters: -z/--max size, the date range, -e exclusions. The
/// loop and the hashing ahead of it ask the same questions.
class WalkFilter {
 public:
  explicit WalkFilter(const RunSettings& settings);

  /// True when the walk takes `path`; `size` is its size when -z or --max
  /// asked for it (0 otherwise). Safe to call from several threads.
  bool Takes(const std::string& path, int64_t& size) const;

 private:
  const RunSettings& settings_;
  bool sizeCheck_;
  std::vector<std::string> lowerExclusions_;
};

/// Walks DirPath and writes for each file it takes what DirKind asks for,
/// then the counts, the summary file and the "No files found" report. Sets
/// ExitCode (0, bit 1 for unreadable files, 77 when nothing was processed,
/// 252 after an interrupt, which ends the run at once).
void RunDirectoryMode(RunSettings& settings);

}  // namespace quorvid
