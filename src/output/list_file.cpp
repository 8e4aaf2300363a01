#include "output/list_file.h"

#include <cerrno>
#include <cstring>
#include <new>

#include "output/run_stop.h"
#include "output/streams.h"
#include "platform/file_info.h"

namespace quorvid {

namespace {

constexpr size_t kReadPieceSize = 64 * 1024;

}  // namespace

ListFile::ListFile(const std::string& fileName, uint16_t codePage, int32_t missingCode,
                   const std::string& optionLabel, int32_t readErrorCode)
    : name_(fileName), readErrorCode_(readErrorCode), splitter_(codePage) {
  if (!platform::FileExists(fileName)) {
    if (fileName.empty())
      StopWithError(missingCode, "ERROR: No filename provided for input! " + optionLabel);
    StopWithError(missingCode, "ERROR: Could not access file: \"" + fileName + "\"");
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
  StopWithError(readErrorCode_, FileErrorMessage(name_, errorText));
}

std::vector<std::string> LoadListFile(const std::string& fileName, uint16_t codePage,
                                      int32_t missingCode, const std::string& optionLabel,
                                      int32_t readErrorCode) {
  ListFile list(fileName, codePage, missingCode, optionLabel, readErrorCode);
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
