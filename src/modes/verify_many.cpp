#include "modes/verify_many.h"

#include "hashing/engine.h"
#include "modes/exit_codes.h"
#include "modes/folder_check.h"
#include "modes/list_entry.h"
#include "modes/run_output.h"
#include "modes/verify.h"
#include "output/progress.h"

namespace quorvid {

namespace {

namespace ec = exit_code;

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
  TextStream& out = settings.Output->Result();
  ProgressMeter progress(settings.Progress.Found, settings.Hashing.bytesRead);
  bool anyMatch = false;
  std::string line;
  while (nextLine(line)) {
    const TVerifyEntry entry = ParseVerifyEntry(line);
    if (!entry.IsEntry) continue;
    progress.StartFile(entry.FileName);
    THashChoices algorithm = THashChoices::None;
    switch (MatchEntry(settings, entry, algorithm)) {
      case EntryOutcome::Matched:
        settings.ExitCode |= ec::kChecksumPassedBit;
        anyMatch = true;
        out.WriteLine("Match found -- " +
                      settings.AlgorithmTable[static_cast<size_t>(algorithm)].PrefixName +
                      entry.HashWord + "  " + entry.FileName);
        break;
      case EntryOutcome::Failed:
        settings.ExitCode |= ec::kChecksumFailedBit;
        out.WriteLine("Match failed -- " + entry.HashWord + "  " + entry.FileName);
        break;
      case EntryOutcome::FileError:
        settings.ExitCode |= ec::kFileNotReadBit;
        out.WriteLine("File error -- " + entry.HashWord + "  " + entry.FileName);
        break;
    }
    progress.FinishFile();
  }
  if (!anyMatch) {
    settings.ExitCode |= ec::kFileNotReadBit;
    out.WriteLine("No match found.");
  }
}

void RunVerifyMany(RunSettings& settings) {
  settings.ModeTag = "(--vm|--verify-many)";
  std::string folder = settings.VerifyMany.Value2;
  CheckDirectory(settings, folder, ec::kNoDirectory, settings.BlankDirAllowed);
  // The list name is taken from the current folder, before the folder
  // parameter takes effect.
  ListFile list(settings.VerifyMany.Value1, FileCodePage(settings), ec::kNoChecksumFile,
                settings.ModeTag, ec::kChecksumFileUnreadable);
  {
    CurrentFolderScope inFolder(folder);
    VerifyManyEntries(settings, LinesOf(list));
  }
  if (settings.ExitCode == ec::kChecksumPassedBit) settings.ExitCode = ec::kSuccess;
}

}  // namespace quorvid
