#include "modes/directory_mode.h"

#include <optional>

#include "hashing/ahead_hasher.h"
#include "hashing/engine.h"
#include "modes/date_filter.h"
#include "modes/exit_codes.h"
#include "modes/generate_list.h"
#include "modes/hash_lookup.h"
#include "modes/line_layout.h"
#include "modes/run_output.h"
#include "output/progress.h"
#include "output/run_stop.h"
#include "platform/console.h"
#include "platform/file_info.h"
#include "platform/signals.h"
#include "support/file_search.h"
#include "support/wildcard_mask.h"

namespace quorvid {

namespace {

namespace ec = exit_code;

constexpr const char* kSeparator = "---------------";
constexpr const char* kAbortedText = "Processing Aborted...  ";

bool Interrupted() { return platform::CtrlCPressed() || platform::CtrlBreakPressed(); }

// The run's own output files: a list must never hold an entry for itself.
std::vector<TFileIdentity> OwnOutputFiles(const RunSettings& settings) {
  std::vector<TFileIdentity> own;
  for (const std::string* name : {&settings.Out.Value1, &settings.GenerateList.Value1}) {
    if (name->empty()) continue;
    if (auto identity = FileIdentityOf(*name)) own.push_back(*identity);
  }
  return own;
}

// What the walk has counted so far.
struct TWalkCounts {
  int32_t success = 0;
  int32_t errors = 0;
  int64_t listed = 0;  // the unfiltered count
};

// Ends the run on an interrupt: the abort line, a summary marked as
// aborted, and everything written so far reaches its file before the
// process stops.
[[noreturn]] void AbortRun(RunSettings& settings, const TWalkCounts& counts) {
  WriteResult(settings, std::string(kLineEnd) + kAbortedText);
  if (settings.Summary.Found)
    WriteRunSummary(settings, true, counts.success, counts.listed, counts.errors);
  StopRun(ec::kAborted);
}

// What the kind writes for one file whose digests are known. False when
// the file counts as an error.
bool WriteFileResult(RunSettings& settings, const std::string& path,
                     const std::string& displayName, const std::string& sizeText,
                     const TGeneratedHashes& digests, bool hashFailed) {
  switch (settings.DirKind) {
    case TDirKind::Lines:
    case TDirKind::Checklist:
      if (hashFailed) settings.ExitCode |= ec::kFileNotReadBit;
      WriteFileLines(settings, digests, path, displayName, false, sizeText);
      break;
    case TDirKind::Lookup:
      if (!hashFailed) LookupDigests(settings, path, digests);
      break;
    case TDirKind::BareHashes:
      if (hashFailed) {
        settings.ExitCode |= ec::kFileNotReadBit;
        break;
      }
      ForEachSelected(settings, [&](const THashAlgorithmRec& rec) {
        settings.Output->Result().WriteLine(digests[static_cast<size_t>(rec.Choice)]);
      });
      break;
    case TDirKind::None:
      break;
  }
  return !hashFailed;
}

}  // namespace

std::string MaskText(const RunSettings& settings) {
  std::string masks;
  for (size_t i = 0; i < settings.Args.size(); ++i) {
    const TParamStatusRec& arg = settings.Args[i];
    if (static_cast<int64_t>(i) <= settings.LastModeArgIndex ||
        arg.Status != TParamStatus::Unrecognised)
      continue;
    // A double quote is never part of a mask.
    std::string mask;
    for (char c : arg.Text)
      if (c != '"') mask += c;
    if (mask.empty()) continue;
    masks += (masks.empty() ? "" : ";") + mask;
  }
  return masks.empty() ? "*" : masks;
}

bool IsExcludedPath(const std::string& path, const std::vector<std::string>& lowerExclusions) {
  if (lowerExclusions.empty()) return false;
  std::string lowerPath = LowerCaseUtf8(path);
  for (const std::string& text : lowerExclusions)
    if (!text.empty() && lowerPath.find(text) != std::string::npos) return true;
  return false;
}

std::string RelativeDisplayName(const std::string& path, const std::string& folder) {
  if (folder.empty() || path.size() < folder.size()) return path;
  if (path.compare(0, folder.size(), folder) == 0 ||
      LowerCaseUtf8(path.substr(0, folder.size())) == LowerCaseUtf8(folder))
    return path.substr(folder.size());
  return path;
}

WalkFilter::WalkFilter(const RunSettings& settings)
    : settings_(settings), sizeCheck_(settings.Size.Found || settings.MaxSize.Found) {
  if (settings.Exc.Found)
    for (const std::string& text : settings.ExclusionList)
      lowerExclusions_.push_back(LowerCaseUtf8(text));
}

bool WalkFilter::Takes(const std::string& path, int64_t& size) const {
  size = 0;
  if (sizeCheck_) {
    const platform::FileStatus status = platform::StatPath(path);
    // A size that cannot be read counts as larger than any limit.
    if (status.kind != platform::FileKind::Regular ||
        static_cast<uint64_t>(status.size) > static_cast<uint64_t>(settings_.MaxSizeBytes))
      return false;
    size = status.size;
  }
  if (settings_.DateFilterActive && !InDateRange(settings_, path)) return false;
  return !IsExcludedPath(path, lowerExclusions_);
}

void RunDirectoryMode(RunSettings& settings) {
  settings.ModeTag = "(-d|--dir)";
  // -j takes over the lines from -g and --hl, not their list and report.
  if (settings.HashLookup.Found) StartHashLookup(settings);
  if (settings.GenerateList.Found) WriteChecksumListHeader(settings);

  const std::string maskText = MaskText(settings);
  // '\0': the folder is one folder even when its name holds ";".
  TMatchingFiles found = ListMatchingFiles(settings.DirPath, maskText, settings.RDir.Found,
                                           OwnOutputFiles(settings), ';', '\0');
  if (!found.maskValid) StopWithError(ec::kInvalidParameters, found.errorText);
  const std::vector<std::string>& files = found.files;

  platform::InstallInterruptHandlers();
  // An interrupt also cuts short the file being read, within one read.
  settings.Hashing.abandon = Interrupted;

  // The walk reports paths below the start folder as it cleaned it; the
  // relative names drop that text.
  std::string startFolder = settings.DirPath;
  std::vector<std::string> starts = StartFolders(settings.DirPath, '\0', settings.RDir.Found);
  if (!starts.empty() && !starts.front().empty()) startFolder = starts.front();

  const bool relativeNames = settings.FSum.Found || settings.DirKind != TDirKind::Lines;
  if (relativeNames) settings.ShowSeparator = false;
  const bool severalHashes = settings.SelectedHashCount > 1;
  const THashSet hashed = settings.SelectedHashes & kAllRealHashes;
  const WalkFilter filter(settings);
  TWalkCounts counts;
  counts.listed = static_cast<int64_t>(files.size());

  std::optional<ProgressMeter> progress;
  progress.emplace(settings.Progress.Found, settings.Hashing.bytesRead, files.size());
  // Files are hashed ahead on the run's other threads; the loop below still
  // takes every decision and writes every line in walk order.
  std::optional<AheadHasher> ahead;
  ahead.emplace(settings.Hashing, hashed, files, [&filter](const std::string& path) {
    int64_t size;
    return filter.Takes(path, size);
  });

  for (size_t index = 0; index < files.size(); ++index) {
    const std::string& path = files[index];
    // Every file listed counts as done once passed, filtered out or hashed.
    struct Passed {
      ProgressMeter& meter;
      ~Passed() { meter.FinishFile(); }
    } passed{*progress};
    int64_t size = 0;
    if (!filter.Takes(path, size)) continue;

    std::string displayName = relativeNames ? RelativeDisplayName(path, startFolder) : path;
    if (settings.HidePath.Found) displayName = FileNamePart(displayName);

    if (Interrupted()) AbortRun(settings, counts);
    progress->StartFile(displayName);

    // The file's digests first (one read for every algorithm; only a file
    // that is still a regular one is read), then what the kind writes.
    TGeneratedHashes digests;
    const bool hashFailed =
        hashed != 0 && !ahead->Await(settings.AlgorithmTable, index, digests);
    // A file whose read the interrupt cut short is left out.
    if (Interrupted()) AbortRun(settings, counts);

    const std::string sizeText = settings.Size.Found ? SizeColumnText(size) : "";
    ++(WriteFileResult(settings, path, displayName, sizeText, digests, hashFailed)
           ? counts.success
           : counts.errors);
    if (severalHashes && settings.ShowSeparator) WriteResult(settings, kSeparator);
  }
  // An interrupt during the last file ends the run like any other.
  if (Interrupted()) AbortRun(settings, counts);
  ahead.reset();
  progress.reset();
  settings.Hashing.abandon = nullptr;
  platform::RestoreDefaultInterruptHandlers();

  if (settings.Summary.Found)
    WriteRunSummary(settings, false, counts.success, counts.listed, counts.errors);
  if (settings.Count.Found)
    WriteResult(settings, "Success = " + std::to_string(counts.success) + "   Unfiltered = " +
                              std::to_string(counts.listed) +
                              "   Error = " + std::to_string(counts.errors));
  if (settings.GenerateList.Found) ReportChecksumListWritten(settings);
  if (settings.JustHash.Found && settings.Out.Found) {
    settings.Output->Result().Flush();
    WriteStatus(*settings.Output,
                "Writing \"" + settings.Out.Value1 + "\" ... Done" + std::string(kLineEnd));
  }
  if (settings.HashLookup.Found) FinishHashLookup(settings);

  if (counts.success == 0 && counts.errors == 0) {
    settings.ExitCode = ec::kNoFilesFound;
    std::string message = "No files found in \"" + settings.DirPath + "\" matching \"" + maskText +
                          "\"" + (settings.DateFilterActive ? " in selected date range" : "");
    if (settings.ShowZero.Found)
      WriteResult(settings, message);
    else
      platform::WriteStdErr(message + std::string(kLineEnd));
  }
}

}  // namespace quorvid
