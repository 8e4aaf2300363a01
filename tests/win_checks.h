// The checks of the stand-alone Windows test programs, which run under Wine
// without GoogleTest's runner: each group prints "ok" or the checks that
// failed, and the program's exit code is the number of failures.
#pragma once

#include <cstdio>
#include <source_location>
#include <string>

namespace quorvid::test {

inline int g_failures = 0;
inline int g_groupFailures = 0;

/// Counts a failure and names it with its line when `ok` is false.
inline void Check(bool ok, const std::string& what,
                  std::source_location where = std::source_location::current()) {
  if (ok) return;
  ++g_failures;
  ++g_groupFailures;
  std::printf("  FAILED line %u: %s\n", static_cast<unsigned>(where.line()), what.c_str());
}

/// `bytes` with every byte outside printable ASCII written as \xHH.
inline std::string Escaped(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    char hex[5];
    std::snprintf(hex, sizeof hex, "\\x%02X", c);
    out += c >= 0x20 && c < 0x7F ? std::string(1, static_cast<char>(c)) : std::string(hex);
  }
  return out;
}

/// Compares texts and shows both, escaped, when they differ.
inline void CheckEqual(const std::string& actual, const std::string& expected,
                       const std::string& what = "",
                       std::source_location where = std::source_location::current()) {
  Check(actual == expected,
        (what.empty() ? "" : what + "\n    ") + "got \"" + Escaped(actual) + "\"\n    want \"" +
            Escaped(expected) + "\"",
        where);
}

/// Runs one group of checks under its name.
inline void Group(const char* name, void (*body)()) {
  g_groupFailures = 0;
  std::printf("%s\n", name);
  std::fflush(stdout);
  body();
  std::printf("  %s\n", g_groupFailures == 0 ? "ok" : "FAILED");
  std::fflush(stdout);
}

}  // namespace quorvid::test
