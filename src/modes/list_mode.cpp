#include "modes/list_mode.h"

#include <algorithm>
#include <cctype>

#include "hashing/engine.h"
#include "modes/exit_codes.h"
#include "modes/line_layout.h"
#include "modes/run_output.h"
#include "output/progress.h"
#include "platform/console.h"
#include "platform/file_info.h"
#include "platform/path_rules.h"

namespace quorvid {

namespace {

constexpr const char* kSeparator = "---------------";

// Words that a user probably meant as a file or an option: they contain
// "/", begin with "-", name a folder, or end in a file extension.
bool LooksLikeAFileName(const std::string& word) {
  for (char c : word)
    if (platform::IsPathSeparator(c)) return true;
  if (!word.empty() && word.front() == '-') return true;
  if (platform::DirectoryExists(word)) return true;
  // A name with an extension, such as notes.txx: a dot, then one to four
  // letters or digits, one of them a letter.
  const size_t dot = word.rfind('.');
  if (dot == std::string::npos || dot == 0 || word.size() - dot - 1 > 4 || dot + 1 == word.size())
    return false;
  bool letter = false;
  for (size_t i = dot + 1; i < word.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(word[i]);
    if (!std::isalnum(c)) return false;
    letter = letter || std::isalpha(c);
  }
  return letter && word.find(' ') == std::string::npos;
}

}  // namespace

void RunListMode(RunSettings& settings) {
  settings.ModeTag = "(-l|--list)";
  const bool several = settings.SelectedHashCount > 1;
  const THashSet hashed = settings.SelectedHashes & kAllRealHashes;
  int32_t successCount = 0;
  int32_t errorCount = 0;
  uint64_t items = 0;
  uint64_t bytes = 0;
  for (const TParamStatusRec& arg : settings.Args) {
    if (arg.Recognised || arg.IsValue) continue;
    ++items;
    if (settings.Progress.Found && platform::FileExists(arg.Text))
      bytes += static_cast<uint64_t>(std::max<int64_t>(0, platform::StatPath(arg.Text).size));
  }
  ProgressMeter progress(settings.Progress.Found, settings.Hashing.bytesRead, items, bytes);
  for (const TParamStatusRec& arg : settings.Args) {
    if (arg.Recognised || arg.IsValue) continue;
    const std::string& item = arg.Text;
    bool itemFailed = false;
    progress.StartFile(item);
    if (platform::FileExists(item)) {
      std::string sizeText =
          settings.Size.Found ? SizeColumnText(platform::StatPath(item).size) : std::string();
      std::string displayName = settings.HidePath.Found ? FileNamePart(item) : item;
      if (settings.JustHash.Found) {
        displayName.clear();
        sizeText.clear();
      }
      // The file is read once for every selected algorithm.
      TGeneratedHashes digests;
      if (hashed != 0 &&
          !HashFileMany(settings.AlgorithmTable, hashed, item, digests, settings.Hashing)) {
        itemFailed = true;
        settings.ExitCode |= exit_code::kFileNotReadBit;
      }
      WriteFileLines(settings, digests, item, displayName, !settings.Simple.Found, sizeText);
    } else {
      // A word that looks like a mistyped name or option still hashes as
      // text; the note says so where results never go.
      if (LooksLikeAFileName(item))
        platform::WriteStdErr(settings.ProgramName + ": \"" + item +
                              "\" is not a file; hashed as text" + std::string(kLineEnd));
      // A text always hashes, so a text item is always a success.
      WriteTextLines(settings, item);
    }
    ++(itemFailed ? errorCount : successCount);
    progress.FinishFile();
    if (several && settings.ShowSeparator) WriteResult(settings, kSeparator);
  }
  if (settings.Count.Found) WriteResult(settings, "Count = " + std::to_string(successCount));
  settings.Output->CloseResult();
  if (settings.Summary.Found) WriteRunSummary(settings, false, successCount, successCount, errorCount);
}

}  // namespace quorvid
