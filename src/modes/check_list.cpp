#include "modes/check_list.h"

#include <algorithm>

#include "hashing/engine.h"
#include "modes/exit_codes.h"
#include "modes/folder_check.h"
#include "modes/list_entry.h"
#include "modes/run_output.h"
#include "output/list_file.h"
#include "output/progress.h"
#include "platform/console.h"

namespace quorvid {

namespace {

namespace ec = exit_code;

constexpr size_t kTypeColumnWidth = 8;

std::string NotFoundLine(const std::string& fileName) {
  return "NOT FOUND    *****        " + fileName;
}

std::string CountLine(int32_t count, const char* one, const char* many) {
  return count == 1 ? std::string("1 ") + one : std::to_string(count) + " " + many;
}

}  // namespace

void CheckListEntries(RunSettings& settings, const TNextLine& nextLine, TCheckCounts& counts,
                      bool hideMatches) {
  TextStream& out = settings.Output->Result();
  ProgressMeter progress(settings.Progress.Found, settings.Hashing.bytesRead);
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
      settings.ExitCode |= ec::kChecksumPassedBit;
      ++counts.Matched;
      if (!hideMatches) out.WriteLine("OK           " + type + "     " + entry.FileName);
    } else if (outcome == 2) {
      settings.ExitCode |= ec::kChecksumFailedBit;
      ++counts.Failed;
      out.WriteLine("FAILED       " + type + "     " + entry.FileName);
    } else {
      settings.ExitCode |= ec::kFileNotReadBit;
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
  std::string folder = settings.Check.Value2;
  CheckDirectory(settings, folder, ec::kNoDirectory, settings.BlankDirAllowed);
  // The list name is taken from the current folder, before the folder
  // parameter takes effect.
  ListFile list(settings.Check.Value1, FileCodePage(settings), ec::kNoChecksumFile,
                settings.ModeTag, ec::kChecksumFileUnreadable);

  TCheckCounts counts;
  {
    CurrentFolderScope inFolder(folder);
    CheckListEntries(settings, LinesOf(list), counts, settings.HideMatches.Found);
    for (const std::string& line : CheckSummaryLines(counts, settings.ShowMatched.Found))
      settings.Output->Result().WriteLine(line);
  }
  if (counts.Matched == 0 && counts.Failed == 0 && counts.FileErrors == 0) {
    settings.ExitCode = ec::kMalformedChecksumFile;
    platform::WriteStdErr("ERROR: The provided checksum file was not properly formatted! \"" +
                          settings.Check.Value1 + "\"" + std::string(kLineEnd));
  }
  if (settings.ExitCode == ec::kChecksumPassedBit) settings.ExitCode = ec::kSuccess;
}

}  // namespace quorvid
