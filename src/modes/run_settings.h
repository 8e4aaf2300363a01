// The one record of settings for a run: filled by the driver before any mode
// starts, read by every mode.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "hashing/algorithm_record.h"
#include "hashing/hash_choices.h"
#include "hashing/hash_context.h"
#include "modes/exit_codes.h"
#include "modes/find_param.h"
#include "output/streams.h"
#include "platform/path_rules.h"

namespace quorvid {

class LookupWordList;  // the --hl words (modes/hash_lookup.h)

/// Bits of `HelpSections`: which syntax blocks the help printer shows.
namespace help_section {
inline constexpr int32_t List = 0x1;
inline constexpr int32_t Directory = 0x2;
inline constexpr int32_t Compare = 0x4;
inline constexpr int32_t Generate = 0x8;
inline constexpr int32_t Check = 0x10;
inline constexpr int32_t Verify = 0x20;
inline constexpr int32_t VerifyMany = 0x40;
inline constexpr int32_t HashLookup = 0x80;
inline constexpr int32_t Url = 0x100;
inline constexpr int32_t Encode = 0x200;
inline constexpr int32_t Decode = 0x400;
inline constexpr int32_t General = 0x800;
inline constexpr int32_t Everything = 0x1000;
}  // namespace help_section

using THashSelections = std::array<TFindParamRec, kHashChoiceCount>;

/// The name of the default summary file, in the folder for temporary files.
inline constexpr const char* kSummaryFileName = "#Quorvid_Summary.TXT";

/// What a -d walk writes for each file.
enum class TDirKind {
  None,       // no -d
  Lines,      // result lines
  Checklist,  // -g: checksum list lines
  Lookup,     // --hl: matches of the looked-for hashes
  BareHashes  // -j: the digests alone
};

struct RunSettings;
/// Shows an error on the syntax-error screen and sets ExitCode; the run
/// goes on. The driver sets it: modes cannot reach the help printer.
using TShowError = void (*)(RunSettings& settings, int32_t exitCode, const std::string& message);

struct RunSettings {
  // --- The argument list (argv without the program path) and its statuses.
  TParamStatusArray Args;
  std::string ProgramName;    // base name of argv[0] without extension
  std::string ProgramPath;    // argv[0] as the process received it
  std::string ProgramFolder;  // with trailing "/", quoted when it holds a space or ";"
  std::string ProgramFileName;  // file name of argv[0] with its extension ("" = ProgramName)

  // --- Option records, rows 1 to 51 of the option table, in search order.
  TFindParamRec Debug, ErrorDelay, AudibleError, Help, Verbose, Help3, VersionOnly, Info,
      Banner, Count, Prefix, List, Dir, RDir, Exc, Out, Append, Tee, FSum, Simple, ShowZero,
      HidePath, ShowDate, BeforeThisDate, AfterThisDate, OlderThan, NewerThan, ExitOnBadDate,
      Size, MaxSize, Summary, Compare, GenerateList, Check, Verify, VerifyMany, HashLookup,
      JustHash, CodePage, DateFormat, PlainText, ValidHashes, NoBlankDir, LegacyMode,
      ShowMatched, HideMatches, Encode64, Decode64, UseFile, UseUrl, All;
  // Rows 52 to 66: one record per algorithm, indexed by THashChoices.
  THashSelections HashOption;
  // Row 67: --progress.
  TFindParamRec Progress;

  // --- Typed values of the numeric options.
  int32_t OlderThanDays = 0;
  int32_t NewerThanDays = 0;
  int64_t MaxSizeBytes = 4294967295LL;
  uint16_t CodePageId = 65001;

  // --- Known-names list: every name word searched so far, each once.
  std::string KnownNames;

  // --- Derived by the driver.
  bool ErrorDelayOn = false;
  bool AudibleErrorOn = false;
  bool TeeOn = false;
  std::string DirPath;
  std::vector<std::string> ExclusionList;  // -e entries, loaded by the driver
  bool BlankDirAllowed = true;
  bool ListMode = false;
  int64_t LastModeArgIndex = -1;
  TDirKind DirKind = TDirKind::None;
  std::string ModeTag;
  int32_t NoFileNameExitCode = exit_code::kFileNamesMissing;
  int32_t AccessFailExitCode = exit_code::kFilesNotAccessible;
  int32_t OutputWriteFailExitCode = exit_code::kOutputUnwritable;
  std::string SummaryPath;
  // How the help names the default summary file.
  std::string SummaryDisplayPath =
      std::string(platform::kTempFolderShown) + platform::kPathSeparator + kSummaryFileName;
  std::string LocaleDateTimeFormat;  // the locale's short date + " hh:nn AM/PM"
  std::string DateTimeFormat;
  std::string DateStampFormat;
  std::string DateRuler;
  std::string ZeroDateText;
  // Date filter (--bd, --ad, --older, --newer): bounds as local date values.
  bool DateFilterActive = false;
  double BeforeDate = 0.0;
  double AfterDate = 0.0;
  std::string BadDateText;  // the last --bd/--ad value that could not be read
  int32_t HelpSections = help_section::General;
  int32_t ExitCode = 0;

  // The banner is shown at most once per run.
  bool BannerShown = false;

  // --- The run's output channels and error screen, both the driver's.
  OutputChannels* Output = nullptr;
  TShowError ShowError = nullptr;

  // --- The run-wide algorithm table and selection (filled by SelectAlgorithms).
  THashChoicesArray AlgorithmTable;
  // What the hashing of files may use: the run's threads, its interrupt
  // check during a walk, the --progress byte count.
  THashContext Hashing;
  THashSet SelectedHashes = 0;
  int32_t SelectedHashCount = 0;
  int32_t MaxHashLength = 0;
  int32_t PrefixColumnWidth = 0;
  int32_t SavedPrefixColumnWidth = 0;  // restored by -p in the line layout

  // --- Line layout (filled by SetUpLineLayout).
  std::string TextLabel = "  {Text}  ";
  bool ShowSeparator = true;

  // --- Hash lookup (--hl): the words looked for in each digest, and
  // whether some file matched.
  std::shared_ptr<const LookupWordList> LookupWords;
  bool LookupMatched = false;
};

}  // namespace quorvid
