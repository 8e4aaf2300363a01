#include "modes/line_layout.h"

#include <cstdio>

#include "hashing/engine.h"
#include "modes/date_filter.h"
#include "modes/run_output.h"
#include "platform/path_rules.h"

namespace quorvid {

namespace {

constexpr const char* kTextSizePlaceholder = "{------------} ";
constexpr const char* kNoHashFallbackFormat = "mm/dd/yyyy hh:nn AM/PM";
constexpr const char* kShowDateFallbackFormat = "yyyy.mm.dd-hh:nn";

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

std::string FileNamePart(const std::string& path) {
  return path.substr(platform::LastNameStart(path));
}

void WriteFileLines(RunSettings& settings, const TGeneratedHashes& digests,
                    const std::string& fileName, const std::string& displayName,
                    bool useFileLabel, const std::string& sizeText) {
  ForEachSelected(settings, [&](const THashAlgorithmRec& rec) {
    const std::string hash =
        rec.IsRealHash ? digests[static_cast<size_t>(rec.Choice)]
                       : FileDateString(settings, fileName, settings.DateTimeFormat,
                                        kNoHashFallbackFormat, true);
    std::string line = PrefixColumn(settings, rec) + sizeText + HashColumn(settings, hash);
    if (rec.IsRealHash && settings.ShowDate.Found)
      line += " " + FileDateString(settings, fileName, settings.DateStampFormat,
                                   kShowDateFallbackFormat, false);
    line += useFileLabel ? kFileLabel : rec.LineLabel;
    line += displayName;
    WriteResult(settings, line);
  });
}

void WriteTextLines(RunSettings& settings, const std::string& text) {
  const bool justHash = settings.JustHash.Found;
  ForEachSelected(settings, [&](const THashAlgorithmRec& rec) {
    std::string hash = rec.IsRealHash ? HashOfText(rec, text) : std::string();
    std::string line = PrefixColumn(settings, rec);
    if (justHash) {
      line += HashColumn(settings, hash);
    } else {
      bool plain = settings.PlainText.Found;
      if (settings.Size.Found && !plain) line += kTextSizePlaceholder;
      line += HashColumn(settings, hash);
      if (settings.ShowDate.Found && !plain) line += settings.DateRuler;
      line += settings.TextLabel;
      line += LooksBlank(text) ? "\"" + text + "\"" : text;
    }
    WriteResult(settings, line);
  });
}

}  // namespace quorvid
