// Runs documented command lines (the manual page's examples, the README's
// commands) in a scratch folder that stands in for the machine: absolute
// paths and "~" lead into it, http and https URLs to a local server, and the
// files and folders a command reads are made before it runs, so each command
// runs as written and shows whether the program accepts it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "test_support.h"

namespace quorvid::test {

/// The words of a shell command line with their quotes removed, up to the
/// first unquoted operator (|, ;, &, <, >, a redirection) or comment.
std::vector<std::string> ShellWords(const std::string& line);

/// Lines of `text` that begin with `name` followed by a space, inside the
/// fenced code blocks of a Markdown text.
std::vector<std::string> CommandsInCodeBlocks(const std::string& text, const std::string& name);

/// True when `exitCode` reports the outcome of a run (hashes made, lists
/// checked, no match, files differ, help shown) rather than a command line
/// the program refused or an input it could not use.
bool IsRunOutcome(int exitCode);

/// True when `words` verify a file against a hash written on the command
/// line (-y FILE HASH): the sandbox makes the file match it.
bool VerifiesAgainstWrittenHash(const std::vector<std::string>& words);

class CommandSandbox {
 public:
  CommandSandbox();
  ~CommandSandbox();
  CommandSandbox(const CommandSandbox&) = delete;
  CommandSandbox& operator=(const CommandSandbox&) = delete;

  /// Runs the program with `words` (without the program's name) in the
  /// sandbox, after making what they read. Commands share the sandbox, so a
  /// list written by one is there for the next.
  RunResult Run(const std::vector<std::string>& words);

  /// The arguments `words` become inside the sandbox.
  std::vector<std::string> Arguments(const std::vector<std::string>& words) const;

 private:
  void MakeInputs(const std::vector<std::string>& args);
  std::string Map(const std::string& word) const;

  TempDir root_;
  struct Server;
  std::unique_ptr<Server> server_;
};

}  // namespace quorvid::test
