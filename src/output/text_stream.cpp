#include "output/text_stream.h"

#include <utility>

#include "platform/text_encoding.h"

namespace quorvid {

TextStream::TextStream(platform::OutputTarget target, std::string name, uint16_t codePage,
                       size_t bufferSize)
    : target_(target), name_(std::move(name)), codePage_(codePage), bufferSize_(bufferSize) {}

TextStream::~TextStream() {
  if (closed_ || failed_) return;
  std::string ignored;
  if (!buffer_.empty()) platform::WriteToTarget(target_, buffer_, ignored);
  platform::CloseTarget(target_, ignored);
}

void TextStream::Append(std::string_view text) {
  if (codePage_ == platform::kUtf8CodePage)
    buffer_.append(text);
  else
    buffer_ += platform::Utf8ToCodePage(text, codePage_);
}

void TextStream::Write(std::string_view text) {
  if (failed_ || closed_ || text.empty()) return;
  Append(text);
  if (buffer_.size() >= bufferSize_) WriteOut();
}

void TextStream::WriteLine(std::string_view line) {
  if (failed_ || closed_) return;
  Append(line);
  Append(kLineEnd);
  if (buffer_.size() >= bufferSize_) WriteOut();
}

void TextStream::WriteOut() {
  if (buffer_.empty() || failed_) return;
  std::string errorText;
  bool ok = platform::WriteToTarget(target_, buffer_, errorText);
  buffer_.clear();
  if (!ok) Fail(std::move(errorText));
}

void TextStream::Flush() {
  if (failed_ || closed_) return;
  WriteOut();
  if (failed_) return;
  std::string errorText;
  if (!platform::FlushTarget(target_, errorText)) Fail(std::move(errorText));
}

void TextStream::Close() {
  if (failed_ || closed_) return;
  Flush();
  if (failed_) return;
  closed_ = true;
  std::string errorText;
  if (!platform::CloseTarget(target_, errorText)) Fail(std::move(errorText));
}

void TextStream::Fail(std::string errorText) {
  if (failed_) return;
  failed_ = true;
  errorText_ = std::move(errorText);
  buffer_.clear();
  if (!target_.isStandardOutput && !closed_) {
    std::string ignored;
    platform::CloseTarget(target_, ignored);
    closed_ = true;
  }
  if (onFailure_) onFailure_(*this);
}

}  // namespace quorvid
