#include "modes/directory_mode.h"

#include <cstdio>
#include <optional>

#include "cli/syntax_error.h"
#include "cli/validation.h"
#include "hashing/ahead_hasher.h"
#include "hashing/engine.h"
#include "modes/date_filter.h"
#include "modes/generate_list.h"
#include "modes/hash_lookup.h"
#include "modes/list_mode.h"
#include "output/progress.h"
#include "output/streams.h"
#include "platform/console.h"
#include "platform/file_info.h"
#include "platform/signals.h"
#include "support/file_search.h"
#include "support/wildcard_mask.h"

namespace quorvid {

namespace {

constexpr const char* kSeparator = "---------------";
constexpr const char* kAbortedText = "Processing Aborted...  ";
constexpr int32_t kNoFilesExitCode = 77;
constexpr int32_t kAbortExitCode = 252;
constexpr int32_t kInvalidMaskExitCode = 65;

bool EndsWith(const std::string& text, std::string_view tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The current folder with one "/" appended ("/" for the root).
std::string CurrentFolderWithSlash() {
  std::string current = platform::CurrentDirectory();
  return current == "/" ? current : current + "/";
}

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

bool DateFilterGiven(const RunSettings& settings) {
  return settings.BeforeThisDate.Found || settings.AfterThisDate.Found ||
         settings.OlderThan.Found || settings.NewerThan.Found;
}

std::string FileNamePart(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The wildcard arguments: the free words after the folder, in the
// validation's outside-list form. Options and their values found there are
// acted on as options, so they are no masks.
std::string WildcardArguments(const RunSettings& settings) {
  std::string list;
  for (size_t i = 0; i < settings.Args.size(); ++i) {
    const TParamStatusRec& arg = settings.Args[i];
    if (static_cast<int64_t>(i) > settings.LastModeArgIndex && arg.Status == TParamStatus::Unrecognised)
      list += QuotedWhenSpaced(arg.Text) + " ";
  }
  return list;
}

template <typename Fn>
void ForEachSelected(RunSettings& settings, Fn fn) {
  for (int i = 0; i < kHashChoiceCount; ++i)
    if (InSet(settings.SelectedHashes, ChoiceAt(i))) fn(settings.AlgorithmTable[i]);
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
  WriteResultLine(std::string(kLineEnd) + kAbortedText, settings.TeeOn);
  if (settings.Summary.Found)
    WriteSummaryFile(settings, true, settings.Summary.Value1, counts.success, counts.listed,
                     counts.errors);
  settings.ExitCode = kAbortExitCode;
  StopRun(settings, kAbortExitCode);
}

}  // namespace

std::string NormalizeDirName(const std::string& dir) {
  if (dir == "/" || dir == "//") return "/";
  std::string result = dir;
  if (dir == "." || dir == "./") result = CurrentFolderWithSlash();
  if (dir == ".." || dir == "../") {
    if (platform::SetCurrentDirectory(CurrentFolderWithSlash() + "..")) result = CurrentFolderWithSlash();
  }
  if (result.find("/..") != std::string::npos) {
    if (platform::SetCurrentDirectory(result)) result = CurrentFolderWithSlash();
  }

  // Dots and spaces that end a name are part of it here; only separators,
  // stars and "/." components go.
  const bool absolute = !result.empty() && result.front() == '/';
  for (;;) {
    if (!result.empty() && (result.back() == '/' || result.back() == '*')) {
      result.pop_back();
    } else if (result == "." || EndsWith(result, "/.")) {
      result.resize(result.size() - 1);
    } else {
      break;
    }
  }
  if (result.empty()) return absolute ? "/" : "";
  return result + "/";
}

void CheckDirectory(RunSettings& settings, std::string& dirName, int exitCode, bool allowBlank) {
  settings.ExitCode = 0;
  if (dirName.empty() && allowBlank) dirName = NormalizeDirName(platform::CurrentDirectory());
  if (!dirName.empty() && platform::DirectoryExists(dirName)) return;
  SyntaxErrorExit(settings, exitCode,
                  dirName.empty() ? std::string("ERROR: No directory name provided!")
                                  : "ERROR: Could not access the directory: \"" + dirName + "\"");
  StopRun(settings, exitCode);
}

void CheckDirectory(RunSettings& settings, int exitCode) {
  CheckDirectory(settings, settings.DirPath, exitCode, settings.BlankDirAllowed);
}

std::string MaskTextFromOutsideList(std::string_view outsideList) {
  std::vector<std::string> pieces;
  std::string piece;
  bool quoted = false;
  for (char c : outsideList) {
    if (c == '"') {
      quoted = !quoted;
    } else if (c == ' ' && !quoted) {
      if (!piece.empty()) pieces.push_back(piece);
      piece.clear();
    } else {
      piece += c;
    }
  }
  if (!piece.empty()) pieces.push_back(piece);
  if (pieces.empty()) return "*";
  std::string mask;
  for (const std::string& p : pieces) mask += (mask.empty() ? "" : ";") + p;
  return mask;
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

void RunDirectoryMode(RunSettings& settings) {
  settings.ModeTag = "(-d|--dir)";
  BindOutputToRun(settings);
  const int32_t kind = settings.DirModeKind;
  if (settings.HashLookup.Found) StartHashLookup(settings);
  if (settings.GenerateList.Found) WriteChecksumListHeader(settings);

  const std::string maskText = MaskTextFromOutsideList(WildcardArguments(settings));
  // '\0': the folder is one folder even when its name holds ";".
  TMatchingFiles found = ListMatchingFiles(settings.DirPath, maskText, settings.RDir.Found,
                                           OwnOutputFiles(settings), ';', '\0');
  if (!found.maskValid) {
    SyntaxErrorExit(settings, kInvalidMaskExitCode, found.errorText);
    StopRun(settings, kInvalidMaskExitCode);
  }
  const std::vector<std::string>& files = found.files;

  platform::InstallInterruptHandlers();
  // An interrupt also cuts short the file being read, within one read.
  settings.Hashing.abandon = Interrupted;

  // The walk reports paths below the start folder as it cleaned it; the
  // relative names drop that text.
  std::string startFolder = settings.DirPath;
  std::vector<std::string> starts = StartFolders(settings.DirPath, '\0', settings.RDir.Found);
  if (!starts.empty() && !starts.front().empty()) startFolder = starts.front();

  std::vector<std::string> lowerExclusions;
  if (settings.Exc.Found)
    for (const std::string& text : settings.ExclusionList) lowerExclusions.push_back(LowerCaseUtf8(text));

  const bool sizeCheck = settings.Size.Found || settings.MaxSize.Found;
  const bool dateFilter = DateFilterGiven(settings);
  const bool relativeNames = settings.FSum.Found || kind > 1;
  const bool severalHashes = settings.SelectedHashCount > 1;
  const THashSet hashed = settings.SelectedHashes & kAllRealHashes;
  TWalkCounts counts;
  counts.listed = static_cast<int64_t>(files.size());

  std::optional<ProgressMeter> progress;
  progress.emplace(settings.Progress.Found, settings.Hashing, files.size());
  // Files are hashed ahead on the run's other threads; the loop below still
  // takes every decision and writes every line in walk order.
  std::optional<AheadHasher> ahead;
  ahead.emplace(settings.Hashing, hashed, files, [&](const std::string& path) {
    if (sizeCheck) {
      platform::FileStatus status = platform::StatPath(path);
      if (status.kind != platform::FileKind::Regular ||
          static_cast<uint64_t>(status.size) > static_cast<uint64_t>(settings.MaxSizeBytes))
        return false;
    }
    if (dateFilter && !InDateRange(settings, path)) return false;
    return !IsExcludedPath(path, lowerExclusions);
  });

  for (size_t index = 0; index < files.size(); ++index) {
    const std::string& path = files[index];
    // Every file listed counts as done once passed, filtered out or hashed.
    struct Passed {
      ProgressMeter& meter;
      ~Passed() { meter.FinishFile(); }
    } passed{*progress};
    int64_t size = 0;
    if (sizeCheck) {
      platform::FileStatus status = platform::StatPath(path);
      // A size that cannot be read counts as larger than any limit.
      bool readable = status.kind == platform::FileKind::Regular;
      size = status.size;
      if (!readable || static_cast<uint64_t>(size) > static_cast<uint64_t>(settings.MaxSizeBytes))
        continue;
    }
    if (dateFilter && !InDateRange(settings, path)) continue;
    if (IsExcludedPath(path, lowerExclusions)) continue;

    std::string displayName = path;
    if (relativeNames) {
      displayName = RelativeDisplayName(path, startFolder);
      settings.ShowSeparator = false;
    }
    if (settings.HidePath.Found) displayName = FileNamePart(displayName);

    if (Interrupted()) AbortRun(settings, counts);
    progress->StartFile(displayName);

    // The file's digests first (one read for every algorithm; only a file
    // that is still a regular one is read), then the lines of the kind.
    TGeneratedHashes digests;
    bool hashFailed = false;
    if (hashed != 0) hashFailed = !ahead->Await(settings.AlgorithmTable, index, digests);
    // A file whose read the interrupt cut short is left out.
    if (Interrupted()) AbortRun(settings, counts);

    bool itemFailed = false;
    const std::string sizeText = settings.Size.Found ? SizeColumnText(size) : "";
    if (kind == 1 || kind == 2) {
      ForEachSelected(settings, [&](const THashAlgorithmRec& rec) {
        WriteFileLineWithHash(settings, rec, path, displayName, false, itemFailed,
                              settings.DateTimeFormat, sizeText,
                              digests[static_cast<size_t>(rec.Choice)], hashFailed);
      });
    } else if (kind == 3) {
      if (hashFailed)
        itemFailed = true;
      else
        LookupDigests(settings, path, digests);
    } else if (kind == 4) {
      if (hashFailed) {
        itemFailed = true;
        settings.ExitCode |= 1;
      } else {
        ForEachSelected(settings, [&](const THashAlgorithmRec& rec) {
          ResultStream().WriteLine(digests[static_cast<size_t>(rec.Choice)]);
        });
      }
    }
    if (itemFailed)
      ++counts.errors;
    else
      ++counts.success;
    if (severalHashes && settings.ShowSeparator) WriteResultLine(kSeparator, settings.TeeOn);
  }
  // An interrupt during the last file ends the run like any other.
  if (Interrupted()) AbortRun(settings, counts);
  ahead.reset();
  progress.reset();
  settings.Hashing.abandon = nullptr;
  platform::RestoreDefaultInterruptHandlers();

  const int32_t successCount = counts.success;
  const int32_t errorCount = counts.errors;
  const int64_t unfiltered = counts.listed;
  if (settings.Summary.Found)
    WriteSummaryFile(settings, false, settings.Summary.Value1, successCount, unfiltered,
                     errorCount);
  if (settings.Count.Found)
    WriteResultLine("Success = " + std::to_string(successCount) + "   Unfiltered = " +
                        std::to_string(unfiltered) + "   Error = " + std::to_string(errorCount),
                    settings.TeeOn);
  if (settings.GenerateList.Found) ReportChecksumListWritten(settings);
  if (settings.JustHash.Found && settings.Out.Found) {
    ResultStream().Flush();
    WriteStatus("Writing \"" + settings.Out.Value1 + "\" ... Done" + std::string(kLineEnd));
  }
  if (settings.HashLookup.Found) FinishHashLookup(settings);

  if (successCount == 0 && errorCount == 0) {
    settings.ExitCode = kNoFilesExitCode;
    std::string message = "No files found in \"" + settings.DirPath + "\" matching \"" + maskText +
                          "\"" + (dateFilter ? " in selected date range" : "");
    if (settings.ShowZero.Found)
      WriteResultLine(message, settings.TeeOn);
    else
      platform::WriteStdErr(message + std::string(kLineEnd));
  }
  CloseResultStream();
}

}  // namespace quorvid
