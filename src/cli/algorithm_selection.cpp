#include "cli/algorithm_selection.h"

#include "hashing/algorithm_catalogue.h"
#include "modes/exit_codes.h"
#include "modes/line_layout.h"
#include "output/run_stop.h"

namespace quorvid {
namespace {

// Raises the hash and prefix column widths to fit `rec`.
void Measure(RunSettings& settings, const THashAlgorithmRec& rec) {
  if (rec.HashLength > settings.MaxHashLength) settings.MaxHashLength = rec.HashLength;
  if (rec.PrefixWidth > settings.PrefixColumnWidth) settings.PrefixColumnWidth = rec.PrefixWidth;
}

void Select(RunSettings& settings, THashChoices choice) {
  THashAlgorithmRec& rec = settings.AlgorithmTable[static_cast<int>(choice)];
  settings.SelectedHashes |= HashBit(choice);
  ++settings.SelectedHashCount;
  rec.LineLabel = kFileLabel;
  Measure(settings, rec);
}

}  // namespace

void SelectAlgorithms(RunSettings& settings) {
  THashChoicesArray& table = settings.AlgorithmTable;
  BuildAlgorithmTable(table);
  settings.SelectedHashes = 0;
  settings.SelectedHashCount = 0;
  settings.MaxHashLength = 0;
  settings.PrefixColumnWidth = 0;
  settings.SavedPrefixColumnWidth = 0;

  const bool noHash = settings.HashOption[static_cast<int>(THashChoices::None)].Found;
  if (noHash) {
    // --nohash wins over every other algorithm option and --all.
    Select(settings, THashChoices::None);
  } else {
    for (int m = 1; m < kHashChoiceCount; ++m)
      if (settings.HashOption[m].Found || settings.All.Found) Select(settings, ChoiceAt(m));
  }

  // Prefix pass, before the defaults below, so a default set never gets a
  // prefix column.
  for (int m = 0; m < kHashChoiceCount; ++m) {
    if (!InSet(settings.SelectedHashes, ChoiceAt(m))) continue;
    if (settings.SelectedHashCount > 1 || settings.Prefix.Found)
      table[m].Prefix = table[m].PrefixName;
    else
      settings.PrefixColumnWidth = 0;
  }
  settings.SavedPrefixColumnWidth = settings.PrefixColumnWidth;

  if (settings.GenerateList.Found && settings.SelectedHashCount > 1) {
    settings.HelpSections = help_section::Generate;
    StopWithError(exit_code::kTooManyAlgorithms,
                  "Invalid parameters provided: Only one hash algorithm can be used with -g");
  }

  if (settings.SelectedHashCount == 0) {
    settings.SelectedHashes =
        HashBit(settings.Compare.Found ? THashChoices::Blake3 : THashChoices::SHA2_256);
    if (settings.Verify.Found || settings.VerifyMany.Found) settings.SelectedHashes = kAllRealHashes;
    // The column is as wide as the last member in processing order.
    for (int m = 1; m < kHashChoiceCount; ++m) {
      if (!InSet(settings.SelectedHashes, ChoiceAt(m))) continue;
      table[m].LineLabel = kFileLabel;
      settings.MaxHashLength = table[m].HashLength;
    }
    settings.PrefixColumnWidth = 0;
  } else if (settings.SelectedHashCount == 1) {
    settings.PrefixColumnWidth = 0;
  }

  if (!noHash) CreateHashers(table, settings.SelectedHashes);
}

}  // namespace quorvid
