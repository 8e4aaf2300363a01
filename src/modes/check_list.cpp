#include "modes/check_list.h"

#include <algorithm>

#include "cli/syntax_error.h"
#include "hashing/engine.h"
#include "modes/directory_mode.h"
#include "modes/list_entry.h"
#include "output/list_file.h"
#include "output/progress.h"
#include "output/streams.h"
#include "platform/console.h"
#include "platform/file_info.h"

namespace quorvid {

namespace {

constexpr int32_t kNoFolderCode = 100;
constexpr int32_t kNoListCode = 108;
constexpr int32_t kListReadFailCode = 104;
constexpr int32_t kUnformattedListCode = 118;
constexpr int32_t kNotFoundBit = 1;
constexpr int32_t kFailedBit = 2;
constexpr int32_t kPassedBit = 4;
constexpr size_t kTypeColumnWidth = 8;

std::string NotFoundLine(const std::string& fileName) {
  return "NOT FOUND    *****        " + fileName;
}

std::string CountLine(int32_t count, const char* one, const char* many) {
  return count == 1 ? std::string("1 ") + one : std::to_string(count) + " " + many;
}

}  // namespace

std::string ResolveListedFile(const std::string& fileName) {
  if (platform::FileExists(fileName)) return fileName;
  if (fileName.find('\\') == std::string::npos) return "";
  std::string slashed = fileName;
  std::replace(slashed.begin(), slashed.end(), '\\', '/');
  return platform::FileExists(slashed) ? slashed : "";
}

void CheckListEntries(RunSettings& settings, const TNextLine& nextLine, TCheckCounts& counts,
                      bool hideMatches) {
  TextStream& out = ResultStream();
  ProgressMeter progress(settings.Progress.Found, settings.Hashing);
  std::string line;
  while (nextLine(line)) {
    TListEntryParts entry = ParseListEntry(line);
    if (!entry.IsEntry) continue;
    progress.StartFile(entry.FileName);
    std::string file = ResolveListedFile(entry.FileName);
    int32_t outcome = 1;
    if (!file.empty())
      outcome = MatchFileDigest(settings.AlgorithmTable[static_cast<size_t>(entry.Algorithm)],
                                file, entry.HashWord, settings.Hashing, TFileRule::RegularOnly);
    const std::string type = PadRight(entry.TypeWord, kTypeColumnWidth);
    if (outcome == 0) {
      settings.ExitCode |= kPassedBit;
      ++counts.Matched;
      if (!hideMatches) out.WriteLine("OK           " + type + "     " + entry.FileName);
    } else if (outcome == 2) {
      settings.ExitCode |= kFailedBit;
      ++counts.Failed;
      out.WriteLine("FAILED       " + type + "     " + entry.FileName);
    } else {
      settings.ExitCode |= kNotFoundBit;
      ++counts.FileErrors;
      out.WriteLine(NotFoundLine(entry.FileName));
    }
    progress.FinishFile();
  }
}

std::vector<std::string> CheckSummaryLines(const TCheckCounts& counts, bool showMatched) {
  std::vector<std::string> lines;
  const int64_t problems = int64_t{counts.Failed} + counts.FileErrors;
  if (showMatched) {
    if (problems + counts.Matched > 0) lines.emplace_back();
    if (counts.Matched != 0)
      lines.push_back(CountLine(counts.Matched, "checksum matched", "checksums matched"));
  } else if (problems > 0) {
    lines.emplace_back();
  }
  if (counts.Failed != 0) lines.push_back(CountLine(counts.Failed, "checksum failed", "checksums failed"));
  if (counts.FileErrors != 0) lines.push_back(CountLine(counts.FileErrors, "file error", "file errors"));
  return lines;
}

void RunCheckList(RunSettings& settings) {
  settings.ModeTag = "(-x|--check)";
  BindOutputToRun(settings);
  std::string folder = settings.Check.Value2;
  CheckDirectory(settings, folder, kNoFolderCode, settings.BlankDirAllowed);
  // The list name is taken from the current folder, before the folder
  // parameter takes effect.
  ListFile list(settings, settings.Check.Value1, kNoListCode, settings.ModeTag, kListReadFailCode);

  TCheckCounts counts;
  const std::string savedFolder = platform::CurrentDirectory();
  if (!folder.empty() && !platform::SetCurrentDirectory(folder)) {
    SyntaxErrorExit(settings, kNoFolderCode, "ERROR: Could not access the directory: \"" + folder + "\"");
    StopRun(settings, kNoFolderCode);
  }
  CheckListEntries(settings, LinesOf(list), counts, settings.HideMatches.Found);
  for (const std::string& line : CheckSummaryLines(counts, settings.ShowMatched.Found))
    ResultStream().WriteLine(line);
  platform::SetCurrentDirectory(savedFolder);

  if (counts.Matched == 0 && counts.Failed == 0 && counts.FileErrors == 0) {
    settings.ExitCode = kUnformattedListCode;
    platform::WriteStdErr("ERROR: The provided checksum file was not properly formatted! \"" +
                          settings.Check.Value1 + "\"" + std::string(kLineEnd));
  }
  if (settings.ExitCode == kPassedBit) settings.ExitCode = 0;
  CloseResultStream();
}

}  // namespace quorvid
