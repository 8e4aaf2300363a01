#include "output/list_file.h"

#include <cerrno>
#include <cstring>
#include <new>

#include "cli/syntax_error.h"
#include "output/streams.h"
#include "platform/file_info.h"

namespace quorvid {

namespace {

constexpr size_t kReadPieceSize = 64 * 1024;

}  // namespace

ListFile::ListFile(RunSettings& settings, const std::string& fileName, int32_t missingCode,
                   const std::string& optionLabel, int32_t readErrorCode)
    : settings_(settings),
      name_(fileName),
      readErrorCode_(readErrorCode),
      splitter_(OutputCodePage(settings)) {
  BindOutputToRun(settings);
  if (!platform::FileExists(fileName)) {
    if (fileName.empty())
      SyntaxErrorExit(settings, missingCode, "ERROR: No filename provided for input! " + optionLabel);
    else
      SyntaxErrorExit(settings, missingCode, "ERROR: Could not access file: \"" + fileName + "\"");
    StopRun(settings, missingCode);
  }
  std::string errorText;
  if (!input_.Open(fileName, errorText)) Stop(errorText);
}

bool ListFile::Next(std::string& line) {
  try {
    while (!splitter_.Next(line)) {
      if (ended_) return false;
      if (splitter_.PendingBytes() > kMaxListLineBytes)
        Stop("A line is longer than " + std::to_string(kMaxListLineBytes) + " bytes");
      char piece[kReadPieceSize];
      std::string errorText;
      const int64_t n = input_.Read(piece, sizeof piece, errorText);
      if (n < 0) Stop(errorText);
      if (n == 0) {
        ended_ = true;
        splitter_.Finish();
      } else {
        splitter_.Feed(std::string_view(piece, static_cast<size_t>(n)));
      }
    }
    return true;
  } catch (const std::bad_alloc&) {
    StopCannotHold();
  }
}

void ListFile::StopCannotHold() { Stop(std::strerror(ENOMEM)); }

void ListFile::Stop(const std::string& errorText) {
  SyntaxErrorExit(settings_, readErrorCode_,
                  "File handling error occurred with \"" + name_ + "\" -- " + errorText);
  StopRun(settings_, readErrorCode_);
}

std::vector<std::string> LoadListFile(RunSettings& settings, const std::string& fileName,
                                      int32_t missingCode, const std::string& optionLabel,
                                      int32_t readErrorCode) {
  ListFile list(settings, fileName, missingCode, optionLabel, readErrorCode);
  std::vector<std::string> lines;
  std::string line;
  while (list.Next(line)) {
    try {
      lines.push_back(std::move(line));
    } catch (const std::bad_alloc&) {
      lines = {};
      list.StopCannotHold();
    }
  }
  return lines;
}

}  // namespace quorvid
