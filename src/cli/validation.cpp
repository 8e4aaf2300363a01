#include "cli/validation.h"

#include <algorithm>
#include <vector>

#include "cli/find_option.h"
#include "cli/option_table.h"
#include "cli/syntax_error.h"

namespace quorvid {

namespace {

constexpr std::string_view kHelpNames = "H HELP ? H2 HELP2 ?? VERSION-ONLY BUILD-ONLY INFO";

bool IsEssentialWord(const std::string& word) {
  static const std::vector<std::string> essential = SplitNameWords(kEssentialNames);
  return std::any_of(essential.begin(), essential.end(),
                     [&](const std::string& e) { return SameText(e, word); });
}

void AddEntry(std::string& list, uint16_t& count, const std::string& text) {
  list += QuotedWhenSpaced(text) + " ";
  ++count;
}

std::string Mismatch(std::string_view what) {
  return "Mismatched parameters used (e.g. " + std::string(what) + ")";
}
std::string Missing(std::string_view what) {
  return "Missing essential parameters (e.g. " + std::string(what) + ")";
}

}  // namespace

std::string QuotedWhenSpaced(std::string_view text) {
  if (text.find_first_of(" ;") != std::string_view::npos) return "\"" + std::string(text) + "\"";
  return std::string(text);
}

int64_t ComputeLastModeArgIndex(const RunSettings& s) {
  return std::max<int64_t>({s.List.ArgIndex, int64_t{s.Dir.ArgIndex} + 1, s.Compare.ArgIndex,
                            s.GenerateList.ArgIndex, s.Check.ArgIndex, s.Verify.ArgIndex,
                            s.VerifyMany.ArgIndex});
}

TParamStatisticsRec ComputeStatistics(const RunSettings& settings) {
  TParamStatisticsRec stats;
  for (size_t i = 0; i < settings.Args.size(); ++i) {
    const TParamStatusRec& arg = settings.Args[i];
    if (static_cast<int64_t>(i) > settings.LastModeArgIndex) {
      AddEntry(stats.OutsideList, stats.OutsideCount, arg.Text);
      continue;
    }
    switch (arg.Status) {
      case TParamStatus::Option:
        AddEntry(stats.OptionList, stats.OptionCount, arg.Text);
        break;
      case TParamStatus::OptionValue:
        AddEntry(stats.ValueList, stats.ValueCount, arg.Text);
        break;
      case TParamStatus::OptionWithInlineValue:
        AddEntry(stats.InlineList, stats.InlineCount, arg.Text);
        break;
      case TParamStatus::Incomplete:
        AddEntry(stats.IncompleteList, stats.IncompleteCount, arg.Text);
        break;
      case TParamStatus::Unrecognised:
        AddEntry(stats.UnrecognisedList, stats.UnrecognisedCount, arg.Text);
        break;
    }
    bool isOption = arg.Status == TParamStatus::Option ||
                    arg.Status == TParamStatus::OptionWithInlineValue;
    if (isOption && IsEssentialWord(arg.Word)) stats.EssentialFound += QuotedWhenSpaced(arg.Text) + " ";
  }
  stats.MissingEssential = stats.EssentialFound.empty();
  stats.SyntaxOk = stats.UnrecognisedCount == 0 && stats.IncompleteCount == 0 && !stats.MissingEssential;
  stats.Computed = true;
  return stats;
}

std::string HelpNamesText(const RunSettings& settings) {
  const std::vector<std::string> known = SplitNameWords(settings.KnownNames);
  std::string text;
  for (const std::string& word : SplitNameWords(kHelpNames)) {
    bool isKnown = std::any_of(known.begin(), known.end(),
                               [&](const std::string& k) { return SameText(k, word); });
    if (!isKnown) continue;
    text += (word.size() == 1 ? " -" : " --") + word;
  }
  return text.empty() ? text : text.substr(1);
}

bool CheckCommandLine(RunSettings& s, const TParamStatisticsRec& stats) {
  auto fail = [&](int32_t sections, int32_t code, const std::string& message) {
    s.HelpSections = sections;
    SyntaxErrorExit(s, code, message);
    return false;
  };
  namespace hs = help_section;
  const bool noHash = s.HashOption[static_cast<size_t>(THashChoices::None)].Found;
  const bool fewArgs = s.Args.size() < 2;

  if (stats.IncompleteCount > 0)
    return fail(hs::General, 67, "Incomplete parameters provided:" + stats.IncompleteList);
  if (!s.ListMode && stats.UnrecognisedCount > 0)
    return fail(hs::General, 65,
                "Invalid parameters provided:" + stats.UnrecognisedList + stats.IncompleteList);
  if (s.Args.empty() || (!stats.SyntaxOk && !s.ListMode))
    return fail(hs::General, 64,
                Missing("-d <directory> -l <files and/or text> " + HelpNamesText(s)));
  if (noHash && s.Compare.Found)
    return fail(hs::Compare, 66, Mismatch("-n|--nohash and -k|--compare"));
  if (noHash && s.GenerateList.Found)
    return fail(hs::Generate, 66, Mismatch("-n|--nohash and -g|--generate-list"));
  if (noHash && s.Check.Found) return fail(hs::Check, 66, Mismatch("-n|--nohash and -x|--check"));
  if (noHash && s.Verify.Found) return fail(hs::Verify, 66, Mismatch("-n|--nohash and -y|--verify"));
  if (noHash && s.VerifyMany.Found)
    return fail(hs::VerifyMany, 66, Mismatch("-n|--nohash and --vm|--verify-many"));
  if (noHash && s.HashLookup.Found)
    return fail(hs::HashLookup | hs::Directory, 66, Mismatch("-n|--nohash and --hl|--hash-lookup"));
  if (noHash && s.JustHash.Found)
    return fail(hs::General, 66, Mismatch("-n|--nohash and -j|--just-hash"));
  if (noHash && !s.Dir.Found) return fail(hs::List, 66, Mismatch("-n|--nohash and -l|--list"));
  if (s.BeforeThisDate.Found && (s.OlderThan.Found || s.NewerThan.Found))
    return fail(hs::Directory, 66, Mismatch("cannot mix --bd with either --older or --newer"));
  if (s.AfterThisDate.Found && (s.OlderThan.Found || s.NewerThan.Found))
    return fail(hs::Directory, 66, Mismatch("cannot mix --ad with either --older or --newer"));
  if (s.GenerateList.Found && !s.Dir.Found)
    return fail(hs::Generate | hs::Directory, 64,
                Missing("-d <directory> must be used with -g <output_file>"));
  if (s.HashLookup.Found && !s.Dir.Found)
    return fail(hs::HashLookup | hs::Directory, 64,
                Missing("-d <directory> must be used with --hl <hash|hash_list>"));
  if (s.PlainText.Found && stats.UnrecognisedList.empty() && fewArgs)
    return fail(hs::List, 64, Missing("-l <files and/or text> must be used with --pt"));
  if (s.ShowMatched.Found && stats.UnrecognisedList.empty() && fewArgs)
    return fail(hs::Check, 64, Missing("-x <file> must be used with --sm"));
  if (s.NoBlankDir.Found && stats.UnrecognisedList.empty() && fewArgs)
    return fail(hs::Directory, 64, Missing("-d <directory> must be used with --nb"));
  return true;
}

}  // namespace quorvid
