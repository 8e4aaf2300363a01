#include "modes/directory_mode.h"

#include <cstdio>

#include "cli/syntax_error.h"
#include "cli/validation.h"
#include "hashing/engine.h"
#include "modes/date_filter.h"
#include "modes/file_pipeline.h"
#include "modes/generate_list.h"
#include "modes/hash_lookup.h"
#include "modes/list_mode.h"
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

// Ends the run on an interrupt: the abort line, and everything written so
// far reaches its file before the process stops.
[[noreturn]] void AbortRun(RunSettings& settings) {
  WriteResultLine(std::string(kLineEnd) + kAbortedText, settings.TeeOn);
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
  int32_t successCount = 0;
  int32_t errorCount = 0;

  // Files are hashed ahead on the other cores; the loop below still takes
  // every decision and writes every line in walk order.
  FilePipeline ahead(settings.SelectedHashes, files, [&](const std::string& path) {
    if (sizeCheck) {
      platform::FileStatus status = platform::StatPath(path);
      if (status.kind != platform::FileKind::Regular ||
          static_cast<uint64_t>(status.size) > static_cast<uint64_t>(settings.MaxSizeBytes))
        return false;
    }
    if (dateFilter && !InDateRange(settings, path)) return false;
    return !IsExcludedPath(path, lowerExclusions);
  });
  ScopedDigestSource aheadSource(ahead);

  for (const std::string& path : files) {
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

    if (Interrupted()) AbortRun(settings);

    bool itemFailed = false;
    const std::string sizeText = settings.Size.Found ? SizeColumnText(size) : "";
    if (kind == 1 || kind == 2) {
      ForEachSelected(settings, [&](const THashAlgorithmRec& rec) {
        WriteFileLine(settings, rec, path, displayName, false, itemFailed,
                      settings.DateTimeFormat, sizeText);
      });
    } else if (kind == 3) {
      if (!LookupFile(settings, path, displayName)) itemFailed = true;
    } else if (kind == 4) {
      ForEachSelected(settings, [&](const THashAlgorithmRec& rec) {
        int32_t failed = 0;
        std::string hash = HashFileText(rec, path, failed);
        if (failed != 0) {
          itemFailed = true;
          settings.ExitCode |= 1;
        } else {
          ResultStream().WriteLine(hash);
        }
      });
    }
    if (itemFailed)
      ++errorCount;
    else
      ++successCount;
    if (severalHashes && settings.ShowSeparator) WriteResultLine(kSeparator, settings.TeeOn);
  }

  const int64_t unfiltered = static_cast<int64_t>(files.size());
  // An interrupt during the last file: every file was still processed, so
  // the run reports it and finishes normally, with the summary marked so.
  const bool interrupted = Interrupted();
  if (interrupted)
    WriteResultLine("Success = " + std::to_string(unfiltered - 1) + " of " +
                        std::to_string(unfiltered) + " (Max Unfiltered)   Error = " +
                        std::to_string(errorCount),
                    settings.TeeOn);

  if (settings.Summary.Found)
    WriteSummaryFile(settings, interrupted, settings.Summary.Value1, successCount, unfiltered,
                     errorCount);
  if (settings.Count.Found)
    WriteResultLine("Success = " + std::to_string(successCount) + "   Unfiltered = " +
                        std::to_string(unfiltered) + "   Error = " + std::to_string(errorCount),
                    settings.TeeOn);
  if (settings.GenerateList.Found) ReportChecksumListWritten(settings);
  if (settings.JustHash.Found && settings.Out.Found) {
    ResultStream().Flush();
    ConsoleStream().WriteLine("Writing \"" + settings.Out.Value1 + "\" ... Done");
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
