// --vm: every line of a list names a file and its hash; the algorithm is
// found by trying the selected ones, unless the line names it.
#include "cli/syntax_error.h"
#include "hashing/engine.h"
#include "modes/check_list.h"
#include "modes/directory_mode.h"
#include "modes/list_entry.h"
#include "modes/verify.h"
#include "output/list_file.h"
#include "output/progress.h"
#include "output/streams.h"
#include "platform/file_info.h"

namespace quorvid {

namespace {

constexpr int32_t kNoFolderCode = 100;
constexpr int32_t kNoListCode = 108;
constexpr int32_t kListReadFailCode = 104;
constexpr int32_t kNotReadBit = 1;
constexpr int32_t kFailedBit = 2;
constexpr int32_t kMatchedBit = 4;

enum class EntryOutcome { Matched, FileError, Failed };

// Hashes the entry's file under the algorithms that can give its hash, all
// from one read; `algorithm` names the one that did.
EntryOutcome MatchEntry(const RunSettings& settings, const TVerifyEntry& entry,
                        THashChoices& algorithm) {
  const std::string file = ResolveListedFile(entry.FileName);
  if (file.empty()) return EntryOutcome::FileError;
  const THashChoicesArray& table = settings.AlgorithmTable;
  const THashSet candidates =
      entry.NamedAlgorithm != THashChoices::None
          ? HashBit(entry.NamedAlgorithm)
          : AlgorithmsOfLength(table, settings.SelectedHashes, entry.HashWord.size());
  // With no algorithm to try, the file is still read (by the cheapest one)
  // to tell a changed file from one that cannot be read.
  const THashSet probe = candidates != 0 ? candidates : HashBit(THashChoices::XXHash64);
  TGeneratedHashes digests;
  // A listed name is read only while it is a regular file: a FIFO or
  // device in a list is never waited on.
  if (!HashFileMany(table, probe, file, digests, settings.Hashing, TFileRule::RegularOnly))
    return EntryOutcome::FileError;
  std::string wanted = entry.HashWord;
  for (char& c : wanted)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  for (int m = 1; m < kHashChoiceCount; ++m) {
    if (InSet(candidates, ChoiceAt(m)) && digests[m] == wanted) {
      algorithm = ChoiceAt(m);
      return EntryOutcome::Matched;
    }
  }
  return EntryOutcome::Failed;
}

}  // namespace

void VerifyManyEntries(RunSettings& settings, const TNextLine& nextLine) {
  TextStream& out = ResultStream();
  ProgressMeter progress(settings.Progress.Found, settings.Hashing);
  bool anyMatch = false;
  std::string line;
  while (nextLine(line)) {
    const TVerifyEntry entry = ParseVerifyEntry(line);
    if (!entry.IsEntry) continue;
    progress.StartFile(entry.FileName);
    THashChoices algorithm = THashChoices::None;
    switch (MatchEntry(settings, entry, algorithm)) {
      case EntryOutcome::Matched:
        settings.ExitCode |= kMatchedBit;
        anyMatch = true;
        out.WriteLine("Match found -- " +
                      settings.AlgorithmTable[static_cast<size_t>(algorithm)].PrefixName +
                      entry.HashWord + "  " + entry.FileName);
        break;
      case EntryOutcome::Failed:
        settings.ExitCode |= kFailedBit;
        out.WriteLine("Match failed -- " + entry.HashWord + "  " + entry.FileName);
        break;
      case EntryOutcome::FileError:
        settings.ExitCode |= kNotReadBit;
        out.WriteLine("File error -- " + entry.HashWord + "  " + entry.FileName);
        break;
    }
    progress.FinishFile();
  }
  if (!anyMatch) {
    settings.ExitCode |= kNotReadBit;
    out.WriteLine("No match found.");
  }
}

void RunVerifyMany(RunSettings& settings) {
  settings.ModeTag = "(--vm|--verify-many)";
  BindOutputToRun(settings);
  std::string folder = settings.VerifyMany.Value2;
  CheckDirectory(settings, folder, kNoFolderCode, settings.BlankDirAllowed);
  // The list name is taken from the current folder, before the folder
  // parameter takes effect.
  ListFile list(settings, settings.VerifyMany.Value1, kNoListCode, settings.ModeTag,
                kListReadFailCode);

  const std::string savedFolder = platform::CurrentDirectory();
  if (!folder.empty() && !platform::SetCurrentDirectory(folder)) {
    SyntaxErrorExit(settings, kNoFolderCode, "ERROR: Could not access the directory: \"" + folder + "\"");
    StopRun(settings, kNoFolderCode);
  }
  VerifyManyEntries(settings, LinesOf(list));
  platform::SetCurrentDirectory(savedFolder);
  if (settings.ExitCode == kMatchedBit) settings.ExitCode = 0;
  CloseResultStream();
}

}  // namespace quorvid
