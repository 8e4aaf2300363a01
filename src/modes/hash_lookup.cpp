#include "modes/hash_lookup.h"

#include <set>

#include "cli/syntax_error.h"
#include "hashing/algorithm_table.h"
#include "hashing/engine.h"
#include "modes/hash_arguments.h"
#include "modes/list_entry.h"
#include "modes/url_list.h"
#include "output/streams.h"
#include "platform/console.h"

namespace quorvid {

namespace {

constexpr int32_t kNoListCode = 108;
constexpr int32_t kNoAccessCode = 104;
constexpr int32_t kInvalidHashCode = 116;
constexpr int32_t kNoMatchCode = 119;

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string AsciiLower(std::string text) {
  for (char& c : text) c = AsciiLower(c);
  return text;
}

struct CaseInsensitiveLess {
  bool operator()(const std::string& a, const std::string& b) const {
    return AsciiLower(a) < AsciiLower(b);
  }
};

[[noreturn]] void Stop(RunSettings& settings, int32_t code, const std::string& message) {
  SyntaxErrorExit(settings, code, message);
  StopRun(settings, code);
}

}  // namespace

std::vector<std::string> ReduceToFirstColumn(const std::vector<std::string>& lines) {
  std::set<std::string, CaseInsensitiveLess> words;
  for (const std::string& line : lines)
    if (line.empty() || line.front() != ';') words.insert(ListWord(line, 1, " "));
  if (words.size() == lines.size()) return lines;
  return {words.begin(), words.end()};
}

std::vector<std::string> LookupWordsOf(const std::vector<std::string>& lines) {
  std::vector<std::string> words;
  for (const std::string& line : lines) {
    if (line.empty() || line.front() == ';') continue;
    // An empty word would be part of every digest; it matches nothing.
    std::string word = ListWord(line, 1, " ,;");
    if (!word.empty()) words.push_back(AsciiLower(std::move(word)));
  }
  return words;
}

bool PrepareHashLookup(RunSettings& settings) {
  settings.ModeTag = "(--hl|--hash-lookup)";
  BindOutputToRun(settings);
  const std::string& value = settings.HashLookup.Value1;
  if (value.empty())
    Stop(settings, kInvalidHashCode, "ERROR: Need one hash or one hash file for for evaluation!");

  std::vector<std::string> lines;
  switch (ClassifyHashArgument(value)) {
    case HashArgumentKind::Url:
      lines = ReduceToFirstColumn(LoadUrlHashList(settings, value, settings.ModeTag, false));
      break;
    case HashArgumentKind::ListFile:
      lines = ReduceToFirstColumn(
          LoadListFile(settings, value, kNoListCode, settings.ModeTag, kNoAccessCode));
      break;
    case HashArgumentKind::ListFileMissing:
      Stop(settings, kNoAccessCode, "ERROR: Could not access file: \"" + value + "\"");
    case HashArgumentKind::HashText:
      lines = {value};
      break;
    default:  // InvalidHash; the other kinds are never produced here
      Stop(settings, kInvalidHashCode, "ERROR: No valid hash provided! -- \"" + value + "\"");
  }
  settings.LookupWords = LookupWordsOf(lines);
  settings.LookupMatched = false;
  return true;
}

void StartHashLookup(RunSettings& settings) { settings.LookupMatched = false; }

bool LookupFile(RunSettings& settings, const std::string& path, const std::string&) {
  const THashChoicesArray& table = settings.AlgorithmTable;
  TGeneratedHashes digests;
  if (!HashFileMany(table, settings.SelectedHashes, path, digests)) return false;
  TextStream& out = ResultStream();
  for (int m = 1; m < kHashChoiceCount; ++m) {
    if (!InSet(settings.SelectedHashes, ChoiceAt(m))) continue;
    const std::string& digest = digests[m];
    // Containment, not equality: a list may hold parts of hashes.
    for (const std::string& word : settings.LookupWords) {
      if (digest.find(word) == std::string::npos) continue;
      settings.LookupMatched = true;
      out.WriteLine("Hash \"" + table[m].PrefixName + digest + "\" matches file \"" + path + "\"");
    }
  }
  return true;
}

void FinishHashLookup(RunSettings& settings) {
  if (settings.LookupMatched) {
    settings.ExitCode = 0;
  } else {
    settings.ExitCode = kNoMatchCode;
    platform::WriteStdErr("No files found in \"" + settings.DirPath + "\" matching \"" +
                          SelectedNamesList(settings.SelectedHashes) + "\" hashes" +
                          std::string(kLineEnd));
  }
  settings.LookupWords.clear();
  settings.LookupWords.shrink_to_fit();
}

}  // namespace quorvid
