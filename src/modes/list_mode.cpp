#include "modes/list_mode.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "hashing/engine.h"
#include "modes/date_filter.h"
#include "output/progress.h"
#include "output/streams.h"
#include "platform/console.h"
#include "platform/file_info.h"

namespace quorvid {

namespace {

constexpr const char* kFileLabel = "  {File}  ";
constexpr const char* kTextSizePlaceholder = "{------------} ";
constexpr const char* kSeparator = "---------------";
constexpr const char* kNoHashFallbackFormat = "mm/dd/yyyy hh:nn AM/PM";
constexpr const char* kShowDateFallbackFormat = "yyyy.mm.dd-hh:nn";

template <typename Fn>
void ForEachSelected(RunSettings& settings, Fn fn) {
  for (int i = 0; i < kHashChoiceCount; ++i)
    if (InSet(settings.SelectedHashes, ChoiceAt(i))) fn(settings.AlgorithmTable[i]);
}

size_t CharacterCount(const std::string& text) {
  size_t count = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++count;
  return count;
}

// The hash column: left-aligned, filled with spaces to the longest selected hash.
std::string HashColumn(const RunSettings& settings, const std::string& hash) {
  size_t width = settings.MaxHashLength > 0 ? static_cast<size_t>(settings.MaxHashLength) : 0;
  size_t length = CharacterCount(hash);
  return length >= width ? hash : hash + std::string(width - length, ' ');
}

// Texts of nothing but blanks, no-break spaces and NULs would vanish on screen.
bool LooksBlank(const std::string& text) {
  for (unsigned char c : text)
    if (c != 0x00 && c != 0x20 && c != 0xA0 && c != 0xC2) return false;
  return true;
}

std::string FileNamePart(const std::string& item) {
  size_t slash = item.rfind('/');
  return slash == std::string::npos ? item : item.substr(slash + 1);
}

// One file line from a hash text already computed (or the --nohash date).
void WriteFileLineOf(RunSettings& settings, const THashAlgorithmRec& rec,
                     const std::string& fileName, const std::string& displayName,
                     bool useFileLabel, bool& itemFailed, const std::string& noHashDateFormat,
                     const std::string& sizeText, const std::string* hashText, bool hashFailed) {
  std::string hash;
  if (rec.IsRealHash) {
    if (hashText != nullptr) {
      hash = *hashText;
    } else {
      int32_t failed = 0;
      hash = HashFileText(rec, fileName, failed, settings.Hashing);
      hashFailed = failed != 0;
    }
    if (hashFailed) {
      itemFailed = true;
      settings.ExitCode |= 1;
    }
  } else {
    hash = FileDateString(settings, fileName, noHashDateFormat, kNoHashFallbackFormat, true);
  }
  std::string line = PrefixColumn(settings, rec) + sizeText + HashColumn(settings, hash);
  if (rec.IsRealHash && settings.ShowDate.Found)
    line += " " + FileDateString(settings, fileName, settings.DateStampFormat,
                                 kShowDateFallbackFormat, false);
  line += useFileLabel ? kFileLabel : rec.LineLabel;
  line += displayName;
  WriteResultLine(line, settings.TeeOn);
}

// Words that a user probably meant as a file or an option: they contain
// "/", begin with "-", name a folder, or end in a file extension.
bool LooksLikeAFileName(const std::string& word) {
  if (word.find('/') != std::string::npos || (!word.empty() && word.front() == '-')) return true;
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

void SetUpLineLayout(RunSettings& settings) {
  if (settings.FSum.Found || settings.GenerateList.Found) {
    settings.PrefixColumnWidth = 0;
    ForEachSelected(settings, [](THashAlgorithmRec& rec) {
      rec.Prefix.clear();
      rec.LineLabel = rec.ListLabel;
    });
  }
  if (settings.Simple.Found || settings.HidePath.Found || settings.JustHash.Found) {
    settings.TextLabel = settings.JustHash.Found ? "" : " ";
    settings.PrefixColumnWidth = 0;
    settings.ShowSeparator = false;
    settings.Banner.Found = false;
    ForEachSelected(settings, [&](THashAlgorithmRec& rec) {
      rec.Prefix.clear();
      rec.LineLabel = settings.TextLabel;
    });
  }
  if (settings.Prefix.Found) {
    settings.PrefixColumnWidth = settings.SavedPrefixColumnWidth;
    ForEachSelected(settings, [](THashAlgorithmRec& rec) { rec.Prefix = rec.PrefixName; });
  }
  settings.HashFormat = "%0:-" + std::to_string(settings.MaxHashLength) + "s";
}

std::string PrefixColumn(const RunSettings& settings, const THashAlgorithmRec& rec) {
  size_t width = settings.PrefixColumnWidth > 0 ? static_cast<size_t>(settings.PrefixColumnWidth) : 0;
  if (width <= rec.Prefix.size()) return rec.Prefix;
  return std::string(width - rec.Prefix.size(), ' ') + rec.Prefix;
}

std::string SizeColumnText(int64_t size) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "{%12lld} ", static_cast<long long>(size));
  return buffer;
}

void WriteFileLine(RunSettings& settings, const THashAlgorithmRec& rec,
                   const std::string& fileName, const std::string& displayName,
                   bool useFileLabel, bool& itemFailed, const std::string& noHashDateFormat,
                   const std::string& sizeText) {
  WriteFileLineOf(settings, rec, fileName, displayName, useFileLabel, itemFailed, noHashDateFormat,
                  sizeText, nullptr, false);
}

void WriteFileLineWithHash(RunSettings& settings, const THashAlgorithmRec& rec,
                           const std::string& fileName, const std::string& displayName,
                           bool useFileLabel, bool& itemFailed,
                           const std::string& noHashDateFormat, const std::string& sizeText,
                           const std::string& hashText, bool hashFailed) {
  WriteFileLineOf(settings, rec, fileName, displayName, useFileLabel, itemFailed, noHashDateFormat,
                  sizeText, &hashText, hashFailed);
}

void WriteTextLine(RunSettings& settings, const THashAlgorithmRec& rec, const std::string& text,
                   bool justHash, const std::string& label) {
  std::string hash = rec.IsRealHash ? HashOfText(rec, text) : std::string();
  std::string line = PrefixColumn(settings, rec);
  if (justHash) {
    line += HashColumn(settings, hash);
  } else {
    bool plain = settings.PlainText.Found;
    if (settings.Size.Found && !plain) line += kTextSizePlaceholder;
    line += HashColumn(settings, hash);
    if (settings.ShowDate.Found && !plain) line += settings.DateRuler;
    line += label;
    line += LooksBlank(text) ? "\"" + text + "\"" : text;
  }
  WriteResultLine(line, settings.TeeOn);
}

void RunListMode(RunSettings& settings) {
  settings.ModeTag = "(-l|--list)";
  BindOutputToRun(settings);
  const bool several = settings.SelectedHashCount > 1;
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
  ProgressMeter progress(settings.Progress.Found, settings.Hashing, items, bytes);
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
      // Several algorithms: read the file once and feed every one of them.
      TGeneratedHashes hashes;
      bool readOnce = several && (settings.SelectedHashes & HashBit(THashChoices::None)) == 0;
      bool readOk = readOnce && HashFileMany(settings.AlgorithmTable, settings.SelectedHashes,
                                             item, hashes, settings.Hashing);
      ForEachSelected(settings, [&](THashAlgorithmRec& rec) {
        const std::string* hash = readOnce ? &hashes[static_cast<int>(rec.Choice)] : nullptr;
        WriteFileLineOf(settings, rec, item, displayName, !settings.Simple.Found, itemFailed,
                        settings.DateTimeFormat, sizeText, hash, !readOk);
      });
    } else {
      // A word that looks like a mistyped name or option still hashes as
      // text; the note says so where results never go.
      if (LooksLikeAFileName(item))
        platform::WriteStdErr(settings.ProgramName + ": \"" + item +
                              "\" is not a file; hashed as text" + std::string(kLineEnd));
      // A text always hashes, so a text item is always a success.
      ForEachSelected(settings, [&](THashAlgorithmRec& rec) {
        WriteTextLine(settings, rec, item, settings.JustHash.Found, settings.TextLabel);
      });
    }
    ++(itemFailed ? errorCount : successCount);
    progress.FinishFile();
    if (several && settings.ShowSeparator) WriteResultLine(kSeparator, settings.TeeOn);
  }
  if (settings.Count.Found) WriteResultLine("Count = " + std::to_string(successCount), settings.TeeOn);
  CloseResultStream();
  if (settings.Summary.Found)
    WriteSummaryFile(settings, false, settings.Summary.Value1, successCount, successCount,
                     errorCount);
}

}  // namespace quorvid
