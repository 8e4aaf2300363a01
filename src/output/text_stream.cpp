#include "output/text_stream.h"

#include <utility>

#include "platform/text_encoding.h"

namespace quorvid {

TextStream::TextStream(platform::OutputTarget target, std::string name, uint16_t codePage,
                       size_t bufferSize)
    : target_(target), name_(std::move(name)), codePage_(codePage), bufferSize_(bufferSize) {}

TextStream::~TextStream() {
  StopSavingOnSignal();
  if (closed_ || failed_) return;
  std::string ignored;
  if (!buffer_.empty()) platform::WriteToTarget(target_, buffer_, ignored);
  platform::CloseTarget(target_, ignored);
}

void TextStream::SaveOnSignal() {
  if (target_.isStandardOutput || closed_ || failed_) return;
  buffer_.reserve(bufferSize_);
  pending_ = std::make_unique<platform::PendingOutput>();
  pending_->fd = target_.fd;
  pending_->data = buffer_.data();
  pending_->held.store(buffer_.size(), std::memory_order_release);
  platform::SaveOnSignal(pending_.get());
}

void TextStream::StopSavingOnSignal() {
  if (!pending_) return;
  platform::SaveOnSignal(nullptr);
  pending_.reset();
}

void TextStream::Append(std::string_view text) {
  std::string converted;
  if (codePage_ != platform::kUtf8CodePage) {
    converted = platform::Utf8ToCodePage(text, codePage_);
    text = converted;
  }
  if (!pending_) {
    buffer_.append(text);
    return;
  }
  // Registered: the buffer must not move, so what does not fit is written
  // out first, and a piece larger than the whole buffer goes out directly.
  if (buffer_.size() + text.size() > buffer_.capacity()) WriteOut();
  if (failed_) return;
  if (text.size() > buffer_.capacity()) {
    const platform::ScopedSignalsBlocked held;
    std::string errorText;
    if (!platform::WriteToTarget(target_, text, errorText)) Fail(std::move(errorText));
    return;
  }
  buffer_.append(text);
}

void TextStream::Publish() {
  if (pending_) pending_->held.store(buffer_.size(), std::memory_order_release);
}

void TextStream::Write(std::string_view text) {
  if (failed_ || closed_ || text.empty()) return;
  Append(text);
  Publish();
  if (buffer_.size() >= bufferSize_) WriteOut();
}

void TextStream::WriteLine(std::string_view line) {
  if (failed_ || closed_) return;
  Append(line);
  Append(kLineEnd);
  Publish();  // whole lines only
  if (buffer_.size() >= bufferSize_) WriteOut();
}

void TextStream::WriteOut() {
  if (buffer_.empty() || failed_) return;
  std::string errorText;
  bool ok;
  if (pending_) {
    // A signal now would write the same bytes a second time.
    const platform::ScopedSignalsBlocked held;
    ok = platform::WriteToTarget(target_, buffer_, errorText);
    buffer_.clear();
    pending_->held.store(0, std::memory_order_release);
  } else {
    ok = platform::WriteToTarget(target_, buffer_, errorText);
    buffer_.clear();
  }
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
  StopSavingOnSignal();
  closed_ = true;
  std::string errorText;
  if (!platform::CloseTarget(target_, errorText)) Fail(std::move(errorText));
}

void TextStream::Fail(std::string errorText) {
  if (failed_) return;
  failed_ = true;
  errorText_ = std::move(errorText);
  StopSavingOnSignal();
  buffer_.clear();
  if (!target_.isStandardOutput && !closed_) {
    std::string ignored;
    platform::CloseTarget(target_, ignored);
    closed_ = true;
  }
  if (onFailure_) onFailure_(*this);
}

}  // namespace quorvid
