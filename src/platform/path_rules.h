// The system's rules for names and lines: the separator, the line end,
// whether letter case tells names apart, and what starts an absolute name.
// The logic asks these, so every mode is the same code on POSIX and Windows.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quorvid::platform {

struct TPathRules {
  char separator;        // written between names
  bool ignoreCase;       // names that differ only in letter case name one file
  bool loseTrailingDots; // dots and spaces that end a name are dropped
};

inline constexpr TPathRules kPosixRules{'/', false, false};
inline constexpr TPathRules kWindowsRules{'\\', true, true};

#ifdef _WIN32
/// The rules of the system the program is built for.
inline constexpr TPathRules kSystemRules = kWindowsRules;
/// The line end written after every line of text.
inline constexpr std::string_view kLineEnd = "\r\n";
/// How the help shows the folder of the default summary file.
inline constexpr std::string_view kTempFolderShown = "%TEMP%";
#else
inline constexpr TPathRules kSystemRules = kPosixRules;
inline constexpr std::string_view kLineEnd = "\n";
inline constexpr std::string_view kTempFolderShown = "$TEMP";
#endif

inline constexpr char kPathSeparator = kSystemRules.separator;
inline constexpr bool kNamesIgnoreCase = kSystemRules.ignoreCase;
inline constexpr bool kNamesLoseTrailingDots = kSystemRules.loseTrailingDots;

/// True for a character that separates names: "/" everywhere, and "\" too
/// where it is the separator.
constexpr bool IsPathSeparator(char c, TPathRules rules = kSystemRules) {
  return c == '/' || c == rules.separator;
}

/// The length of the root `path` starts with: "/" on POSIX; on Windows "\",
/// "C:", "C:\" and "\\server\share\" (a separator may be "/" in each). 0 for
/// a relative name.
constexpr size_t RootLength(std::string_view path, TPathRules rules = kSystemRules) {
  const auto separator = [&](char c) { return IsPathSeparator(c, rules); };
  if (rules.separator == '/') return !path.empty() && path[0] == '/' ? 1 : 0;
  const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  if (path.size() >= 2 && letter(path[0]) && path[1] == ':')
    return path.size() >= 3 && separator(path[2]) ? 3 : 2;
  if (path.size() >= 2 && separator(path[0]) && separator(path[1])) {
    // \\server\share\ : the server and the share belong to the root.
    size_t at = 2;
    for (int part = 0; part < 2; ++part) {
      while (at < path.size() && !separator(path[at])) ++at;
      if (at < path.size()) ++at;
    }
    return at;
  }
  return !path.empty() && separator(path[0]) ? 1 : 0;
}

/// Where the last name of `path` starts: after its last separator, or after
/// its root ("C:"), or 0.
constexpr size_t LastNameStart(std::string_view path, TPathRules rules = kSystemRules) {
  for (size_t i = path.size(); i > 0; --i)
    if (IsPathSeparator(path[i - 1], rules)) return i;
  return RootLength(path, rules);
}

/// `path` with every "/" turned into the separator.
inline std::string NativeSeparators(std::string path, TPathRules rules = kSystemRules) {
  for (char& c : path)
    if (c == '/') c = rules.separator;
  return path;
}

/// True when `a` and `b` name the same file by their text: compared without
/// regard to (ASCII) letter case where the rules say so.
constexpr bool SameNameText(std::string_view a, std::string_view b,
                            TPathRules rules = kSystemRules) {
  if (a.size() != b.size()) return false;
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  for (size_t i = 0; i < a.size(); ++i)
    if (rules.ignoreCase ? lower(a[i]) != lower(b[i]) : a[i] != b[i]) return false;
  return true;
}

}  // namespace quorvid::platform
