#include "modes/folder_check.h"

#include <algorithm>
#include <string_view>

#include "modes/exit_codes.h"
#include "output/run_stop.h"
#include "platform/file_info.h"
#include "platform/path_rules.h"

namespace quorvid {

namespace {

constexpr char kSeparator = platform::kPathSeparator;

// The current folder with one separator appended (a root has its own).
std::string CurrentFolderWithSeparator() {
  std::string current = platform::CurrentDirectory();
  return !current.empty() && current.back() == kSeparator ? current : current + kSeparator;
}

std::string NoAccessMessage(const std::string& folder) {
  return "ERROR: Could not access the directory: \"" + folder + "\"";
}

}  // namespace

std::string NormalizeDirName(const std::string& dir) {
  const std::string separator(1, kSeparator);
  // "/" is taken for the system's separator wherever that is another one.
  std::string result = platform::NativeSeparators(dir);
  if (result == separator || result == separator + separator) return separator;
  if (result == "." || result == "." + separator) result = CurrentFolderWithSeparator();
  if (result == ".." || result == ".." + separator) {
    if (platform::ChangeCurrentDirectory(CurrentFolderWithSeparator() + ".."))
      result = CurrentFolderWithSeparator();
  }
  if (result.find(separator + "..") != std::string::npos) {
    if (platform::ChangeCurrentDirectory(result)) result = CurrentFolderWithSeparator();
  }

  return CleanFolderEnd(result);
}

std::string CleanFolderEnd(std::string folder, platform::TPathRules rules) {
  // Characters that go: separators and stars, and on a system that drops
  // them from names anyway, dots and spaces.
  const auto junk = [&](char c) {
    return platform::IsPathSeparator(c, rules) || c == '*' ||
           (rules.loseTrailingDots && (c == '.' || c == ' '));
  };
  const size_t root = platform::RootLength(folder, rules);
  for (;;) {
    if (folder.size() > root && junk(folder.back())) {
      folder.pop_back();
    } else if (folder.size() > root && folder.back() == '.' &&
               (folder.size() == 1 || platform::IsPathSeparator(folder[folder.size() - 2], rules))) {
      folder.pop_back();  // a "." component
    } else {
      break;
    }
  }
  if (folder.empty()) return "";
  if (folder.size() == root && folder.back() == rules.separator) return folder;
  return folder + rules.separator;
}

void CheckDirectory(RunSettings& settings, std::string& dirName, int32_t exitCode,
                    bool allowBlank) {
  settings.ExitCode = exit_code::kSuccess;
  if (dirName.empty() && allowBlank) dirName = NormalizeDirName(platform::CurrentDirectory());
  if (!dirName.empty() && platform::DirectoryExists(dirName)) return;
  StopWithError(exitCode, dirName.empty() ? std::string("ERROR: No directory name provided!")
                                          : NoAccessMessage(dirName));
}

std::string ResolveListedFile(const std::string& fileName) {
  if (platform::FileExists(fileName)) return fileName;
  if (fileName.find('\\') == std::string::npos) return "";
  std::string slashed = fileName;
  std::replace(slashed.begin(), slashed.end(), '\\', '/');
  return platform::FileExists(slashed) ? slashed : "";
}

CurrentFolderScope::CurrentFolderScope(const std::string& folder)
    : saved_(platform::CurrentDirectory()) {
  if (!folder.empty() && !platform::ChangeCurrentDirectory(folder))
    StopWithError(exit_code::kNoDirectory, NoAccessMessage(folder));
}

CurrentFolderScope::~CurrentFolderScope() { platform::ChangeCurrentDirectory(saved_); }

}  // namespace quorvid
