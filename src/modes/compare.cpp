#include "modes/compare.h"

#include "hashing/engine.h"
#include "modes/exit_codes.h"
#include "modes/line_layout.h"
#include "modes/run_output.h"
#include "output/run_stop.h"
#include "platform/file_info.h"

namespace quorvid {

namespace {

std::string UpperCase(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

// Digest texts of one file under every selected algorithm, read once.
TGeneratedHashes HashAll(const RunSettings& settings, const std::string& fileName, bool& failed) {
  TGeneratedHashes hashes;
  failed = !HashFileMany(settings.AlgorithmTable, settings.SelectedHashes, fileName, hashes,
                         settings.Hashing);
  for (auto& text : hashes) text = UpperCase(text);
  return hashes;
}

}  // namespace

void RunCompareMode(RunSettings& settings) {
  settings.ModeTag = "(-k|--compare)";
  settings.HelpSections = help_section::Compare;
  const std::string& first = settings.Compare.Value1;
  const std::string& second = settings.Compare.Value2;
  if (first.empty() || second.empty())
    StopWithError(settings.NoFileNameExitCode, "ERROR: Two files are needed for comparison!");
  if (!platform::FileExists(first) || !platform::FileExists(second))
    StopWithError(settings.AccessFailExitCode,
                  "ERROR: Could not open one or both of the following files! -- \"" + first +
                      "\" and \"" + second + "\"");
  bool firstFailed = false;
  bool secondFailed = false;
  TGeneratedHashes firstHashes = HashAll(settings, first, firstFailed);
  // The same name twice is read once; another spelling of it is read again.
  TGeneratedHashes secondHashes =
      (second == first) ? firstHashes : HashAll(settings, second, secondFailed);
  if (second == first) secondFailed = firstFailed;
  for (int i = 0; i < kHashChoiceCount; ++i) {
    if (!InSet(settings.SelectedHashes, ChoiceAt(i))) continue;
    const THashAlgorithmRec& rec = settings.AlgorithmTable[i];
    const std::string& a = firstHashes[i];
    const std::string& b = secondHashes[i];
    std::string outcome;
    if (firstFailed || secondFailed) {
      outcome = "ERROR ";
      settings.ExitCode = exit_code::kCannotCompare;
    } else if (a == b) {
      outcome = "TRUE  ";
    } else {
      outcome = "FALSE ";
      settings.ExitCode = exit_code::kFilesDiffer;
    }
    WriteResult(settings, PrefixColumn(settings, rec) + outcome + a + " " + b);
  }
}

}  // namespace quorvid
