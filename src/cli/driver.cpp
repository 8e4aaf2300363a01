#include "cli/driver.h"

#include <algorithm>

#include "cli/algorithm_selection.h"
#include "cli/find_option.h"
#include "cli/help_printer.h"
#include "cli/option_table.h"
#include "cli/syntax_error.h"
#include "cli/valid_hashes.h"
#include "cli/validation.h"
#include "cli/version_info.h"
#include "hashing/executor.h"
#include "modes/base64_mode.h"
#include "modes/check_list.h"
#include "modes/compare.h"
#include "modes/date_filter.h"
#include "modes/directory_mode.h"
#include "modes/exit_codes.h"
#include "modes/folder_check.h"
#include "modes/generate_list.h"
#include "modes/hash_lookup.h"
#include "modes/line_layout.h"
#include "modes/list_mode.h"
#include "modes/run_output.h"
#include "modes/url_list.h"
#include "modes/verify.h"
#include "modes/verify_many.h"
#include "output/list_file.h"
#include "output/run_stop.h"
#include "output/streams.h"
#include "platform/console.h"
#include "platform/environment.h"
#include "platform/file_info.h"
#include "platform/path_rules.h"
#include "platform/processors.h"
#include "platform/text_encoding.h"
#include "support/date_format.h"
#include "support/file_search.h"

namespace quorvid {

namespace {

namespace hs = help_section;
namespace ec = exit_code;

// Start-up: who the program is and where it lies, the arguments, and the
// values that come from the surroundings.
void StartRun(RunSettings& s, const std::string& programPath, const std::vector<std::string>& args) {
  s.ProgramPath = programPath;
  TFileVersionInfoRec info = MakeVersionInfo(programPath, "");
  s.ProgramName = info.BaseName;
  s.ProgramFileName = info.FileName;

  std::string exe = platform::ExecutablePath();
  if (exe.empty()) exe = platform::ExpandFileName(programPath);
  std::string folder = exe.substr(0, platform::LastNameStart(exe));
  s.ProgramFolder = QuotedWhenSpaced(folder);

  s.Args = MakeArgumentList(args);
  s.LocaleDateTimeFormat = LocaleShortDatePattern() + " hh:nn AM/PM";

  std::string temp = platform::TemporaryFolder();
  if (temp.empty() || temp.back() != platform::kPathSeparator) temp += platform::kPathSeparator;
  s.SummaryPath = temp + kSummaryFileName;
}

void DeriveSettings(RunSettings& s) {
  s.TeeOn = s.Tee.Found && s.Out.Found;
  s.DirPath = NormalizeDirName(s.Dir.Value1);
  s.BlankDirAllowed = !s.NoBlankDir.Found;
  // List mode is what remains when no other mode option is present; an
  // explicit -l beside one of them is ignored.
  s.ListMode = !s.Args.empty() && !s.Dir.Found && !s.Compare.Found && !s.GenerateList.Found &&
               !s.Check.Found && !s.Verify.Found && !s.VerifyMany.Found;
  s.List.Found = s.ListMode;
  s.ErrorDelayOn = s.ErrorDelay.Found || s.Debug.Found;
  s.AudibleErrorOn = s.AudibleError.Found || s.Debug.Found;
  s.LastModeArgIndex = ComputeLastModeArgIndex(s);
}

// Help, version, info and the algorithm list end the run before anything is
// checked. Returns true when the run ends here.
bool EarlyExit(RunSettings& s) {
  if (s.Help.Found || s.Help3.Found) {
    ShowBanner(s, s.Verbose.Found, true);
    s.HelpSections = (s.Verbose.Found || s.Help3.Found) ? hs::Everything : hs::General;
    PrintHelp(s, false);
    s.ExitCode = ec::kHelpShown;
    return true;
  }
  if (s.VersionOnly.Found) {
    ShowBanner(s, true, false);
    s.ExitCode = ec::kVersionShown;
    return true;
  }
  if (s.Info.Found) {
    ShowBanner(s, true, true);
    s.ExitCode = ec::kVersionShown;
    return true;
  }
  if (s.Banner.Found || s.Verbose.Found) {
    s.Banner.Found = true;  // -v implies the banner for everyone who asks later
    ShowBanner(s, s.Verbose.Found, true);
  }
  if (s.ValidHashes.Found) {
    platform::WriteStdOut(ValidHashesModeText());
    s.ExitCode = ec::kValidHashesListed;
    return true;
  }
  return false;
}

// Opening -o truncates it before a base64 file run reads its input, so the
// same file on both sides would be lost rather than converted.
bool OutputReplacesBase64Input(const RunSettings& s) {
  if (!s.UseFile.Found || !(s.Encode64.Found || s.Decode64.Found)) return false;
  const std::string& input = s.Encode64.Found ? s.Encode64.Value1 : s.Decode64.Value1;
  auto in = FileIdentityOf(input);
  auto out = FileIdentityOf(s.Out.Value1);
  return in && out && *in == *out;
}

// The files the run reads: list-mode files, the -x, --vm, -y and --hl
// lists, the -y and -k files, the -e list.
std::vector<std::string> RunInputs(const RunSettings& s) {
  std::vector<std::string> inputs;
  if (s.ListMode)
    for (const TParamStatusRec& arg : s.Args)
      if (!arg.Recognised && !arg.IsValue) inputs.push_back(arg.Text);
  const std::pair<const TFindParamRec*, bool> named[] = {
      {&s.Check, false}, {&s.VerifyMany, false}, {&s.Verify, true},
      {&s.HashLookup, false}, {&s.Compare, true}, {&s.Exc, false}};
  for (const auto& [option, both] : named) {
    if (!option->Found) continue;
    inputs.push_back(option->Value1);
    if (both) inputs.push_back(option->Value2);
  }
  return inputs;
}

// An output file (-o, -g, -u) that is also one of the run's inputs would be
// emptied before it is read: the run is refused before anything is created
// or truncated. Returns false when it was.
bool OutputsAreNoInputs(RunSettings& s) {
  struct Output {
    const TFindParamRec& option;
    int32_t code;
    int32_t sections;
  };
  const Output outputs[] = {{s.Out, ec::kNoOutputFile, s.HelpSections},
                            {s.GenerateList, ec::kNoChecksumListFile, hs::Generate | hs::Directory},
                            {s.Summary, ec::kSummaryUnwritable, s.HelpSections}};
  std::vector<TFileIdentity> inputs;
  for (const std::string& name : RunInputs(s)) {
    if (name.empty() || !platform::FileExists(name)) continue;
    if (auto identity = FileIdentityOf(name)) inputs.push_back(*identity);
  }
  for (const Output& output : outputs) {
    if (!output.option.Found || output.option.Value1.empty()) continue;
    auto identity = FileIdentityOf(output.option.Value1);
    if (!identity || std::find(inputs.begin(), inputs.end(), *identity) == inputs.end()) continue;
    s.HelpSections = output.sections;
    SyntaxErrorExit(s, output.code,
                    "ERROR: The output file is also an input: \"" + output.option.Value1 + "\"");
    return false;
  }
  return true;
}

// Code page, legacy codes, directory kind, date texts, folder, exclusions,
// summary and output file. Returns false when the run ends.
bool PrepareSharedSettings(RunSettings& s) {
  if (s.CodePage.Found && !platform::CodePageAvailable(s.CodePageId)) {
    SyntaxErrorExit(s, ec::kInvalidParameters, "ERROR: Unsupported code page: " + std::to_string(s.CodePageId));
    return false;
  }

  if (s.LegacyMode.Found) {
    s.BlankDirAllowed = false;
    s.NoFileNameExitCode = ec::kLegacyNoFileName;
    s.AccessFailExitCode = ec::kLegacyCannotRead;
    s.OutputWriteFailExitCode = ec::kLegacyCannotWrite;
  } else {
    s.NoFileNameExitCode = ec::kFileNamesMissing;
    s.AccessFailExitCode = ec::kFilesNotAccessible;
    s.OutputWriteFailExitCode = ec::kOutputUnwritable;
  }
  s.Output->SetStandardOutputFailCode(s.OutputWriteFailExitCode);

  s.DirKind = TDirKind::None;
  if (s.Dir.Found) s.DirKind = TDirKind::Lines;
  if (s.Dir.Found && s.GenerateList.Found) s.DirKind = TDirKind::Checklist;
  if (s.Dir.Found && s.HashLookup.Found) s.DirKind = TDirKind::Lookup;
  if (s.Dir.Found && s.JustHash.Found) s.DirKind = TDirKind::BareHashes;

  SetUpDateDisplay(s);

  if (s.Dir.Found || s.Exc.Found) {
    s.HelpSections = hs::Directory;
    if (s.HashLookup.Found) s.HelpSections = hs::HashLookup | hs::Directory;
    if (s.GenerateList.Found) s.HelpSections = hs::Generate | hs::Directory;
    // An unusable folder stops the run at once.
    CheckDirectory(s, s.DirPath, ec::kNoDirectory, s.BlankDirAllowed);
    if (s.Exc.Found)
      s.ExclusionList = LoadListFile(s.Exc.Value1, FileCodePage(s), ec::kNoExclusionFile,
                                     "(-e|--exc)", ec::kExclusionFileUnreadable);
  }

  if (s.Summary.Found && s.Summary.Value1.empty()) s.Summary.Value1 = s.SummaryPath;

  s.HelpSections = hs::General;
  if (s.Out.Found) {
    if (s.ListMode) s.HelpSections = hs::List;
    if (s.Dir.Found) s.HelpSections = hs::Directory;
    if (s.HashLookup.Found) s.HelpSections = hs::HashLookup;
    if (s.GenerateList.Found) s.HelpSections = hs::Generate;
    if (s.Check.Found) s.HelpSections = hs::Check;
    if (s.Verify.Found) s.HelpSections = hs::Verify;
    if (s.VerifyMany.Found) s.HelpSections = hs::VerifyMany;
    if (s.Compare.Found) s.HelpSections = hs::Compare;
    if (s.Encode64.Found) s.HelpSections = hs::Encode;
    if (s.Decode64.Found) s.HelpSections = hs::Decode;
  }
  if (!OutputsAreNoInputs(s)) return false;
  if (s.Out.Found) {
    if (OutputReplacesBase64Input(s)) {
      SyntaxErrorExit(s, s.OutputWriteFailExitCode,
                      "ERROR: The output file is the input file: \"" + s.Out.Value1 + "\"");
      return false;
    }
    OpenOutputFile(s, s.Out.Value1, ec::kNoOutputFile, s.OutputWriteFailExitCode, "(-o|--out)");
    // The base64 file routines write the output file themselves.
    if ((s.Encode64.Found || s.Decode64.Found) && s.UseFile.Found) s.Output->CloseResult();
  }
  return true;
}

// --url, --e64 and --d64 need no hashing. Returns true when one of them ran.
bool RunModeWithoutHashing(RunSettings& s) {
  if (s.UseUrl.Found) {
    s.HelpSections = hs::Url;
    RunUrlListing(s, s.UseUrl.Value1, "(--url|--use-url)");
    return true;
  }
  if (s.Encode64.Found) {
    s.ModeTag = "(--e64|--encode64)";
    s.HelpSections = hs::Encode;
    RunBase64(s, true, s.Encode64.Value1);
    return true;
  }
  if (s.Decode64.Found) {
    s.ModeTag = "(--d64|--decode64)";
    s.HelpSections = hs::Decode;
    RunBase64(s, false, s.Decode64.Value1);
    return true;
  }
  return false;
}

void Dispatch(RunSettings& s) {
  if (s.Check.Found) {
    s.ModeTag = "(-x|--check)";
    s.HelpSections = hs::Check;
    RunCheckList(s);
    return;
  }
  if (s.VerifyMany.Found) {
    s.ModeTag = "(--vm|--verify-many)";
    s.HelpSections = hs::VerifyMany;
    RunVerifyMany(s);
    return;
  }
  if (s.Verify.Found) {
    s.ModeTag = "(-y|--verify)";
    s.HelpSections = hs::Verify;
    RunVerify(s);
    return;
  }
  if (s.HashLookup.Found) {
    s.ModeTag = "(--hl|--hash-lookup)";
    s.HelpSections = hs::HashLookup | hs::Directory;
    PrepareHashLookup(s);
    // The lookup goes on as a directory walk: no other mode may take over.
    for (TFindParamRec* rec : {&s.List, &s.Compare, &s.GenerateList, &s.Check, &s.Verify,
                               &s.VerifyMany})
      rec->Found = false;
    s.ListMode = false;
  }
  if (s.Compare.Found) {
    s.ModeTag = "(-k|--compare)";
    s.HelpSections = hs::Compare;
    RunCompareMode(s);
    return;
  }
  if (s.DirKind != TDirKind::None) {
    s.ModeTag = "(-d|--dir)";
    s.HelpSections = hs::Directory;
    RunDirectoryMode(s);
    return;
  }
  if (s.ListMode) {
    s.ModeTag = "(-l|--list)";
    s.HelpSections = hs::List;
    RunListMode(s);
  }
}

// Runs the whole sequence; returning ends the run with settings.ExitCode.
void Run(RunSettings& s) {
  ParseCommandLine(s);
  DeriveSettings(s);
  TParamStatisticsRec stats = ComputeStatistics(s);

  if (EarlyExit(s)) return;
  if (!CheckCommandLine(s, stats)) return;
  if (!PrepareSharedSettings(s)) return;
  if (RunModeWithoutHashing(s)) return;

  SetUpDateFilter(s);
  SelectAlgorithms(s);

  SetUpLineLayout(s);
  s.HelpSections = hs::Generate | hs::Directory;
  if (s.GenerateList.Found) OpenChecksumList(s);

  Dispatch(s);
}

// The error screen modes show for errors the run carries on after.
void ShowError(RunSettings& s, int32_t exitCode, const std::string& message) {
  SyntaxErrorExit(s, exitCode, message);
}

}  // namespace

int RunProgram(const std::string& programPath, const std::vector<std::string>& args) {
  RunSettings settings;
  // The run's output channels and threads (made when a file first needs
  // them); every mode reaches them through the settings.
  OutputChannels output(ec::kOutputUnwritable);
  Executor executor(platform::UsableProcessorCount());
  settings.Output = &output;
  settings.ShowError = ShowError;
  settings.Hashing.executor = &executor;
  try {
    StartRun(settings, programPath, args);
    Run(settings);
  } catch (const TRunStop& stop) {
    // A progress line must not stay behind the run's last words.
    platform::EndProgressLine();
    if (!stop.message.empty()) {
      output.Console().Flush();
      SyntaxErrorExit(settings, stop.exitCode, stop.message);
    }
    settings.ExitCode = stop.exitCode;
  }
  // The one place the result stream is closed for good: a failure to write
  // out what it holds ends the run with the writer's code.
  try {
    output.CloseResult();
  } catch (const TRunStop& stop) {
    settings.ExitCode = stop.exitCode;
  }
  return settings.ExitCode;
}

}  // namespace quorvid
