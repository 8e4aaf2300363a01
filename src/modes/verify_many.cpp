// --vm: every line of a list names a file and its hash; the algorithm is
// found by trying the selected ones.
#include "cli/syntax_error.h"
#include "hashing/engine.h"
#include "modes/check_list.h"
#include "modes/directory_mode.h"
#include "modes/list_entry.h"
#include "modes/verify.h"
#include "output/streams.h"
#include "platform/file_info.h"

namespace quorvid {

namespace {

constexpr int32_t kNoFolderCode = 100;
constexpr int32_t kNoListCode = 108;
constexpr int32_t kListReadFailCode = 104;
constexpr int32_t kNotReadBit = 1;
constexpr int32_t kMatchedBit = 4;
constexpr std::string_view kWordSeparators = " *?";

bool IsCommentLine(const std::string& line) { return !line.empty() && line.front() == ';'; }

// The outcome of one entry: 0 matched under `algorithm`, 1 the file cannot
// be read, 2 no selected algorithm gives the hash. Only the algorithms of
// the hash's length can give it, and they share one read of the file.
int32_t MatchEntry(const RunSettings& settings, const std::string& file, const std::string& hash,
                   THashChoices& algorithm) {
  if (file.empty()) return 1;
  const THashChoicesArray& table = settings.AlgorithmTable;
  THashSet candidates = AlgorithmsOfLength(table, settings.SelectedHashes, hash.size());
  // No algorithm can match, but a file that cannot be read still counts as
  // one: the cheapest algorithm finds out.
  const THashSet probe = candidates != 0 ? candidates : HashBit(THashChoices::XXHash64);
  TGeneratedHashes digests;
  if (!HashFileMany(table, probe, file, digests)) return 1;
  std::string wanted = hash;
  for (char& c : wanted)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  for (int m = 1; m < kHashChoiceCount; ++m) {
    if (InSet(candidates, ChoiceAt(m)) && digests[m] == wanted) {
      algorithm = ChoiceAt(m);
      return 0;
    }
  }
  return 2;
}

}  // namespace

void VerifyManyEntries(RunSettings& settings, const std::vector<std::string>& lines) {
  TextStream& out = ResultStream();
  bool anyMatch = false;
  for (const std::string& line : lines) {
    // Comment lines (the header of a list written by -g -s) are no entries.
    if (line.find(' ') == std::string::npos || IsCommentLine(line)) continue;
    const std::string hash = ListWord(line, 1, kWordSeparators);
    const std::string name = ListWord(line, 2, kWordSeparators);
    THashChoices algorithm = THashChoices::None;
    const int32_t outcome = MatchEntry(settings, ResolveListedFile(name), hash, algorithm);
    if (outcome == 0) {
      settings.ExitCode |= kMatchedBit;
      anyMatch = true;
      out.WriteLine("Match found -- " +
                    settings.AlgorithmTable[static_cast<size_t>(algorithm)].PrefixName + hash +
                    "  " + name);
    } else if (outcome == 1) {
      settings.ExitCode |= kNotReadBit;
    }
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
  std::vector<std::string> lines = LoadListFile(settings, settings.VerifyMany.Value1, kNoListCode,
                                                settings.ModeTag, kListReadFailCode);

  const std::string savedFolder = platform::CurrentDirectory();
  if (!folder.empty() && !platform::SetCurrentDirectory(folder)) {
    SyntaxErrorExit(settings, kNoFolderCode, "ERROR: Could not access the directory: \"" + folder + "\"");
    StopRun(settings, kNoFolderCode);
  }
  VerifyManyEntries(settings, lines);
  platform::SetCurrentDirectory(savedFolder);
  if (settings.ExitCode == kMatchedBit) settings.ExitCode = 0;
  CloseResultStream();
}

}  // namespace quorvid
