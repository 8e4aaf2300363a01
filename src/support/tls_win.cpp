#include "support/tls.h"

#include "platform/secure_channel.h"
#include "support/http_error.h"

namespace quorvid {

struct TlsSession::State {
  State(platform::Socket socket, const std::string& peer, int32_t stallMs)
      : channel(socket, stallMs), peer(peer) {}
  platform::SecureChannel channel;
  std::string peer;
};

namespace {

// The one-line message of a step that did not end in Done; the texts match
// the OpenSSL build's where the cause is the same.
[[noreturn]] void Fail(const platform::ChannelResult& result, const std::string& peer,
                       const char* step) {
  if (result.status == platform::ChannelStatus::TimedOut)
    throw HttpError("Timed out reading from " + peer);
  const std::string reason = result.status == platform::ChannelStatus::Closed
                                 ? "connection closed unexpectedly"
                                 : result.errorText;
  throw HttpError(std::string("TLS ") + step + " with " + peer + " failed: " + reason);
}

}  // namespace

TlsSession::TlsSession(std::unique_ptr<State> state) : state_(std::move(state)) {}
TlsSession::~TlsSession() = default;

std::unique_ptr<TlsSession> TlsSession::Connect(platform::Socket socket, const std::string& host,
                                                const std::string& peer, int32_t stallMs) {
  auto state = std::make_unique<State>(socket, peer, stallMs);
  platform::ChannelResult result = state->channel.Handshake(host);
  if (result.status != platform::ChannelStatus::Done) Fail(result, peer, "handshake");
  return std::unique_ptr<TlsSession>(new TlsSession(std::move(state)));
}

size_t TlsSession::Read(char* buffer, size_t size) {
  platform::ChannelResult result = state_->channel.Receive(buffer, size);
  if (result.status == platform::ChannelStatus::Done) return result.bytes;
  if (result.status == platform::ChannelStatus::Closed) return 0;
  Fail(result, state_->peer, "read");
}

void TlsSession::Write(const char* data, size_t size) {
  platform::ChannelResult result = state_->channel.SendAll(data, size);
  if (result.status != platform::ChannelStatus::Done) Fail(result, state_->peer, "write");
}

}  // namespace quorvid
