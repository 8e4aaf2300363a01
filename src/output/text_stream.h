// A buffered text output stream with an error state: standard output, or a
// file written in the --cp code page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/file_writer.h"
#include "platform/path_rules.h"
#include "platform/signals.h"

namespace quorvid {

/// The platform line end written after every line (LF on POSIX, CR LF on
/// Windows).
inline constexpr std::string_view kLineEnd = platform::kLineEnd;

/// Output files keep up to this many bytes before writing them out.
inline constexpr size_t kOutputFileBufferSize = 10 * 1024 * 1024;

class TextStream {
 public:
  /// Called once, at the first failure of a write, flush or close; the
  /// stream then discards everything written to it.
  using FailureHandler = std::function<void(TextStream&)>;

  /// A stream on `target`, shown as `name` in messages. Text is converted
  /// from UTF-8 into `codePage` (65001: unchanged) and held until
  /// `bufferSize` bytes are waiting (0: handed on at once).
  TextStream(platform::OutputTarget target, std::string name, uint16_t codePage,
             size_t bufferSize);
  /// Writes out what is still held and closes a file; failures are ignored
  /// here, so call Close() where they matter.
  ~TextStream();
  TextStream(const TextStream&) = delete;
  TextStream& operator=(const TextStream&) = delete;

  /// Appends `text` (no line end).
  void Write(std::string_view text);
  /// Appends `line` and the line end.
  void WriteLine(std::string_view line);
  /// Hands every held byte to the device.
  void Flush();
  /// Flushes, then closes a file (standard output stays open). Idempotent.
  void Close();

  void SetFailureHandler(FailureHandler handler) { onFailure_ = std::move(handler); }

  /// From now until it is closed, a signal that ends the process first
  /// writes out what this file stream holds (one stream at a time).
  void SaveOnSignal();

  bool Failed() const { return failed_; }
  /// The system's text for the failure ("" while none happened).
  const std::string& ErrorText() const { return errorText_; }
  const std::string& Name() const { return name_; }
  bool IsStandardOutput() const { return target_.isStandardOutput; }
  bool IsClosed() const { return closed_; }

 private:
  void Append(std::string_view text);
  void Fail(std::string errorText);
  void WriteOut();
  void StopSavingOnSignal();
  void Publish();  // tells a signal handler how many bytes are held

  platform::OutputTarget target_;
  std::string name_;
  uint16_t codePage_;
  size_t bufferSize_;
  std::string buffer_;
  bool failed_ = false;
  bool closed_ = false;
  std::string errorText_;
  FailureHandler onFailure_;
  // Set while signals save the held bytes: buffer_ then never grows past
  // the capacity it had when registered, so its bytes never move.
  std::unique_ptr<platform::PendingOutput> pending_;
};

}  // namespace quorvid
