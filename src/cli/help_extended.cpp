#include "cli/help_extended.h"

#include <cstdio>
#include <string_view>
#include <utility>

#include "cli/help_text.h"
#include "cli/valid_hashes.h"

namespace quorvid {
namespace {

constexpr std::string_view kMoreDetails = "For more details, please type: {name} --???";

// The values that stand for the braces of the fixed texts.
struct Fills {
  std::string name, path, file, folder, summary, localeFormat;
};

Fills MakeFills(const RunSettings& settings) {
  Fills fills;
  fills.name = settings.ProgramName;
  // The folder is kept quoted when it holds a space; the examples add their own quotes.
  fills.folder = settings.ProgramFolder;
  if (fills.folder.size() >= 2 && fills.folder.front() == '"' && fills.folder.back() == '"')
    fills.folder = fills.folder.substr(1, fills.folder.size() - 2);
  fills.file = settings.ProgramFileName.empty() ? settings.ProgramName : settings.ProgramFileName;
  fills.path = fills.folder + fills.file;
  fills.summary = settings.SummaryDisplayPath;
  fills.localeFormat = settings.LocaleDateTimeFormat;
  return fills;
}

// Replaces every known brace word; other braces ("{File}", "{Text}") stay.
std::string Fill(std::string_view text, const Fills& fills) {
  const std::pair<std::string_view, const std::string*> words[] = {
      {"{name}", &fills.name},       {"{path}", &fills.path},
      {"{file}", &fills.file},       {"{folder}", &fills.folder},
      {"{summary}", &fills.summary}, {"{locale date-time format}", &fills.localeFormat}};
  std::string out;
  out.reserve(text.size());
  size_t at = 0;
  while (at < text.size()) {
    bool replaced = false;
    if (text[at] == '{') {
      for (const auto& [word, value] : words) {
        if (text.substr(at, word.size()) == word) {
          out += *value;
          at += word.size();
          replaced = true;
          break;
        }
      }
    }
    if (!replaced) out += text[at++];
  }
  return out;
}

void AppendLine(std::string& out, std::string_view line) {
  out += line;
  out += '\n';
}

void AppendHeading(std::string& out, std::string_view heading) {
  const std::string rule(heading.size(), '-');
  AppendLine(out, rule);
  AppendLine(out, heading);
  AppendLine(out, rule);
}

void AppendBlock(std::string& out, std::string_view block, const Fills& fills) {
  AppendLine(out, Fill(block, fills));
}

// The definitions block minus its last `omitted` lines.
std::string_view LeadingLines(std::string_view block, int omitted) {
  size_t end = block.size();
  for (int i = 0; i < omitted && end != std::string_view::npos; ++i) end = block.rfind('\n', end - 1);
  return end == std::string_view::npos ? std::string_view() : block.substr(0, end);
}

void AppendExitCodes(std::string& out) {
  AppendLine(out, help_text::kExitCodeIntroduction);
  for (const help_text::ExitCodeText& row : help_text::ExitCodeTexts()) {
    char code[16];
    std::snprintf(code, sizeof code, "%7d", static_cast<int>(row.code));
    out += code;
    out += " - ";
    AppendLine(out, row.wording);
  }
  AppendLine(out, "");
  AppendLine(out, help_text::kExitCodeBitNotes);
}

}  // namespace

void AppendExtendedHelp(const RunSettings& settings, std::string& out) {
  const Fills fills = MakeFills(settings);
  const bool complete = settings.Help3.Found;

  AppendHeading(out, "OPTION DEFINITIONS:");
  AppendBlock(out,
              complete ? help_text::kOptionDefinitions
                       : LeadingLines(help_text::kOptionDefinitions, help_text::kCompleteOnlyDefinitions),
              fills);
  AppendLine(out, "");
  AppendBlock(out, help_text::kAddedOptionDefinitions, fills);
  AppendLine(out, "");

  if (settings.Verbose.Found || complete) {
    AppendHeading(out, "SYNTAX EXAMPLES:");
    for (std::string_view example : help_text::SyntaxExamples()) {
      AppendLine(out, " " + fills.name + " " + Fill(example, fills));
    }
    AppendLine(out, "");
    AppendHeading(out, "GENERAL USAGE NOTES:");
    AppendBlock(out, help_text::kGeneralNotes, fills);
    AppendLine(out, "");
  }

  if (!complete) {
    AppendLine(out, Fill(kMoreDetails, fills));
    return;
  }

  AppendHeading(out, "APP SPECIFIC USAGE NOTES:");
  AppendBlock(out, help_text::kAppSpecificNotes, fills);
  AppendLine(out, "");
  AppendHeading(out, "SUPPORTED HASH ALGORITHMS:");
  AppendBlock(out, help_text::kSupportedAlgorithms, fills);
  out += ValidHashesText(true);
  AppendHeading(out, "HASH SPECIFIC NOTES:");
  AppendBlock(out, help_text::kHashSpecificNotes, fills);
  AppendLine(out, "");
  AppendHeading(out, "FSUM COMPATIBILITY NOTES:");
  AppendBlock(out, help_text::kFsumNotes, fills);
  AppendLine(out, "");
  AppendHeading(out, "EXIT/RETURN CODES:");
  AppendExitCodes(out);
}

}  // namespace quorvid
