#include "cli/syntax_screen.h"

#include "platform/console.h"

namespace quorvid {

namespace {

constexpr int kDelayRounds = 30;
constexpr int kDelayRoundMs = 250;

std::string QuotedArgument(const std::string& text) {
  if (text.empty() || text.find(' ') != std::string::npos) return "\"" + text + "\"";
  return text;
}

}  // namespace

std::string CommandLineText(const RunSettings& settings) {
  std::string line = QuotedArgument(settings.ProgramPath);
  for (const TParamStatusRec& arg : settings.Args) line += " " + QuotedArgument(arg.Text);
  return line;
}

std::string SyntaxScreenText(const RunSettings& settings, const std::string& message) {
  return "Invalid or incomplete syntax!\n\n"
         "Execution Path ... " + settings.ProgramFolder + "\n"
         "You entered ...... " + CommandLineText(settings) + "\n"
         "\n" + message + "\n\n";
}

void ShowSyntaxScreen(const RunSettings& settings, const std::string& message, bool errorDelay,
                      bool audible) {
  platform::WriteStdErr(SyntaxScreenText(settings, message));
  if (audible) platform::Beep();
  if (!errorDelay) return;
  platform::WriteStdErr("Press any key to continue...");
  platform::KeyWait keys;
  for (int round = 0; round < kDelayRounds; ++round) {
    bool pressed = keys.Pause(kDelayRoundMs);
    platform::WriteStdErr(".");
    if (pressed) break;
  }
  platform::WriteStdErr("\n");
}

}  // namespace quorvid
