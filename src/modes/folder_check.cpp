#include "modes/folder_check.h"

#include <algorithm>
#include <string_view>

#include "modes/exit_codes.h"
#include "output/run_stop.h"
#include "platform/file_info.h"

namespace quorvid {

namespace {

bool EndsWith(const std::string& text, std::string_view tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The current folder with one "/" appended ("/" for the root).
std::string CurrentFolderWithSlash() {
  std::string current = platform::CurrentDirectory();
  return current == "/" ? current : current + "/";
}

std::string NoAccessMessage(const std::string& folder) {
  return "ERROR: Could not access the directory: \"" + folder + "\"";
}

}  // namespace

std::string NormalizeDirName(const std::string& dir) {
  if (dir == "/" || dir == "//") return "/";
  std::string result = dir;
  if (dir == "." || dir == "./") result = CurrentFolderWithSlash();
  if (dir == ".." || dir == "../") {
    if (platform::ChangeCurrentDirectory(CurrentFolderWithSlash() + "..")) result = CurrentFolderWithSlash();
  }
  if (result.find("/..") != std::string::npos) {
    if (platform::ChangeCurrentDirectory(result)) result = CurrentFolderWithSlash();
  }

  // Dots and spaces that end a name are part of it here; only separators,
  // stars and "/." components go.
  const bool absolute = !result.empty() && result.front() == '/';
  for (;;) {
    if (!result.empty() && (result.back() == '/' || result.back() == '*')) {
      result.pop_back();
    } else if (result == "." || EndsWith(result, "/.")) {
      result.resize(result.size() - 1);
    } else {
      break;
    }
  }
  if (result.empty()) return absolute ? "/" : "";
  return result + "/";
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
