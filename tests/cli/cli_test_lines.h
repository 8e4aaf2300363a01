// Expected screen lines shared by the command-line tests.
#pragma once

#include <string>
#include <vector>

#include "cli/version_info.h"
#include "test_support.h"

namespace quorvid::test {

inline std::string Syntax(const std::string& text) { return " quorvid " + text; }

inline std::vector<std::string> BannerLines() {
  return {"quorvid v5.4.0" + ArchitectureWord() + " (" + BuildDateText() +
              ") - Generate Hashes for Files and Text Strings (MD5, SHA1, SHA2, SHA3, Blake2, "
              "Blake3, XXHash64 and more)",
          "Quorvid is owned and maintained by the Quorvid developers.",
          "Written by the Quorvid developers; the README that comes with it tells more.", ""};
}

// Names the program's file, "quorvid.exe" on Windows.
inline std::string BuildLine() {
  const std::string binary = QuorvidBinary();
  return binary.substr(binary.find_last_of('/') + 1) + " v5.4.0.1301" + ArchitectureWord() +
         " was compiled on " + BuildTimeText() + CompilerText();
}

inline std::vector<std::string> SummaryLines() {
  return {"-----------",
          "CMD SYNTAX:",
          "-----------",
          Syntax("[hash(es)]    [options]    [-l|--list] <items_to_be_hashed>"),
          Syntax("[hash(es)|-n] [options]    <-d|--dir> [drive_path] [wildcards_to_hash]"),
          Syntax("[hash(es)]    [options]    <-k|--compare> <file1> <file2>"),
          Syntax("[hash]        [options]    <-g|--generate-list> <file_list> <[-r] -d|--dir> "
                 "[drive_path] [wildcards_to_hash]"),
          Syntax("              [options]    <-x|--check> <file_list> [drive_path]"),
          Syntax("[hash(es)]    [options]    <-y|--verify> <file> <hash|hash_list|URL>"),
          Syntax("[hash(es)]    [options]  <--vm|--verify-many> <file_list> [drive_path]"),
          Syntax("[hash(es)]    [options]  <--hl|--hash-lookup> <hash|hash_list|URL> <[-r] "
                 "-d|--dir> [drive_path] [wildcards_to_hash]"),
          Syntax("                        <--url|--use-url> <URL>"),
          Syntax("              [options] <--e64|--encode64> <text|file>"),
          Syntax("              [options] <--d64|--decode64> <text|file>"),
          "",
          Syntax("<-h|-?|--h2|--?\?|--h3|--?\?\?> [-v]"),
          Syntax("<--Info|--Version-Only|--Valid-Hashes>"),
          "",
          "For more details, please type: quorvid -?  OR  quorvid --??  OR  quorvid --???"};
}

// The program's folder as it names it: with the system's separators.
inline std::string BinaryFolder() {
  std::string bin = QuorvidBinary();
  return NativePath(bin.substr(0, bin.find_last_of('/') + 1));
}

inline std::vector<std::string> Concat(std::vector<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

/// The syntax-error screen up to the empty line after the message.
inline std::vector<std::string> ScreenLines(const std::string& entered, const std::string& message) {
  return {"Invalid or incomplete syntax!", "", "Execution Path ... " + BinaryFolder(),
          "You entered ...... " + QuorvidBinary() + entered, "", message, ""};
}

}  // namespace quorvid::test
