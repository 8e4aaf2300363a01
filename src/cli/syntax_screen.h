// The screen that tells the user the command line could not be used.
#pragma once

#include <string>

#include "modes/run_settings.h"

namespace quorvid {

/// "You entered" text: the program path and every argument, separated by
/// spaces; an argument that holds a space or is empty is put in double quotes.
std::string CommandLineText(const RunSettings& settings);

/// The screen's lines up to and including the empty line after `message`.
std::string SyntaxScreenText(const RunSettings& settings, const std::string& message);

/// Writes the screen to standard error; beeps when `audible`; with
/// `errorDelay` waits up to 30 rounds of 250 ms, one "." per round, ended
/// early by a key press when standard input is a terminal.
void ShowSyntaxScreen(const RunSettings& settings, const std::string& message, bool errorDelay,
                      bool audible);

}  // namespace quorvid
