#include "modes/verify.h"

#include "hashing/engine.h"
#include "modes/exit_codes.h"
#include "modes/hash_arguments.h"
#include "modes/list_entry.h"
#include "modes/run_output.h"
#include "modes/url_list.h"
#include "output/list_file.h"
#include "output/run_stop.h"
#include "platform/file_info.h"

namespace quorvid {

namespace {

namespace ec = exit_code;

constexpr const char* kNoMatchText = "No match found.";
constexpr std::string_view kWordSeparators = " *?";

std::string AsciiLower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

std::string NoAccessMessage(const std::string& name) {
  return "ERROR: Could not access file: \"" + name + "\"";
}

// A hash text given on the command line. Only the algorithms of its length
// can match, and they all come from one read of the file.
void VerifyFileAgainstHash(RunSettings& settings, const std::string& fileName,
                           const std::string& hash) {
  const THashChoicesArray& table = settings.AlgorithmTable;
  const THashSet candidates = AlgorithmsOfLength(table, settings.SelectedHashes, hash.size());
  const std::string wanted = AsciiLower(hash);
  std::string resultText = kNoMatchText;
  bool matched = false;
  TGeneratedHashes digests;
  if (candidates != 0 && HashFileMany(table, candidates, fileName, digests, settings.Hashing)) {
    // The last matching algorithm names the line.
    for (int m = 1; m < kHashChoiceCount; ++m) {
      if (InSet(candidates, ChoiceAt(m)) && digests[m] == wanted) {
        matched = true;
        resultText = table[m].PrefixName + "Match found";
      }
    }
  }
  settings.Output->Result().WriteLine(resultText);
  settings.ExitCode = matched ? 0 : ec::kNoChecksumMatch;
}

}  // namespace

THashSet AlgorithmsOfLength(const THashChoicesArray& table, THashSet selected, size_t length) {
  THashSet result = 0;
  for (int m = 1; m < kHashChoiceCount; ++m)
    if (InSet(selected, ChoiceAt(m)) && static_cast<size_t>(table[m].HashLength) == length)
      result |= HashBit(ChoiceAt(m));
  return result;
}

void VerifyFileAgainstList(RunSettings& settings, const TNextLine& nextLine,
                           const std::string& fileName) {
  TextStream& out = settings.Output->Result();
  std::string line;
  if (!nextLine(line)) {
    settings.ExitCode = ec::kMalformedChecksumFile;
    out.WriteLine("Invalid checksum file.");
    return;
  }
  const THashChoicesArray& table = settings.AlgorithmTable;
  TGeneratedHashes digests;
  // An unreadable file has only placeholders, which no list word may match.
  const bool readable = HashFileMany(table, settings.SelectedHashes, fileName, digests, settings.Hashing);
  bool matched = false;
  do {
    if (!readable) break;
    const std::string word = AsciiLower(ListWord(line, 1, kWordSeparators));
    if (word.empty()) continue;
    for (int m = 1; m < kHashChoiceCount; ++m) {
      if (!InSet(settings.SelectedHashes, ChoiceAt(m)) || digests[m] != word) continue;
      matched = true;
      out.WriteLine("Match found -- " + table[m].PrefixName + word + "  " + fileName);
    }
  } while (nextLine(line));
  if (matched) {
    settings.ExitCode = ec::kSuccess;
  } else {
    settings.ExitCode = ec::kNoChecksumMatch;
    out.WriteLine(kNoMatchText);
  }
}

void RunVerify(RunSettings& settings) {
  settings.ModeTag = "(-y|--verify)";
  const std::string& fileName = settings.Verify.Value1;
  const std::string& hashValue = settings.Verify.Value2;

  // A missing file wins over a missing hash value; an empty file name is a
  // missing file. No folder is checked: a -y run has none.
  HashArgumentKind kind = HashArgumentKind::Missing;
  if (!platform::FileExists(fileName))
    kind = HashArgumentKind::FileMissing;
  else if (!hashValue.empty())
    kind = ClassifyHashArgument(hashValue);

  switch (kind) {
    case HashArgumentKind::Missing:
      StopWithError(ec::kNoChecksumFile,
                    "ERROR: One file and one hash (or hash file) are needed for evaluation!");
    case HashArgumentKind::FileMissing:
      StopWithError(ec::kChecksumFileUnreadable, NoAccessMessage(fileName));
    case HashArgumentKind::ListFileMissing:
      StopWithError(ec::kChecksumFileUnreadable, NoAccessMessage(hashValue));
    case HashArgumentKind::InvalidHash:
      StopWithError(ec::kNoValidHash, "ERROR: No valid hash provided! -- \"" + hashValue + "\"");
    case HashArgumentKind::ListFile: {
      ListFile list(hashValue, FileCodePage(settings), ec::kNoChecksumFile, settings.ModeTag,
                    ec::kChecksumFileUnreadable);
      VerifyFileAgainstList(settings, LinesOf(list), fileName);
      break;
    }
    case HashArgumentKind::Url: {
      const std::vector<std::string> lines =
          LoadUrlHashList(settings, hashValue, settings.ModeTag, false);
      VerifyFileAgainstList(settings, LinesOf(lines), fileName);
      break;
    }
    case HashArgumentKind::HashText:
      VerifyFileAgainstHash(settings, fileName, hashValue);
      break;
  }
}

}  // namespace quorvid
