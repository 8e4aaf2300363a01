// A TLS client channel over a connected socket, through the system's own TLS
// (SChannel). Only the Windows build has this unit: elsewhere TLS comes from
// the crypto library, so there is no POSIX twin.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/sockets.h"

namespace quorvid::platform {

enum class ChannelStatus { Done, Closed, TimedOut, Failed };

struct ChannelResult {
  ChannelStatus status = ChannelStatus::Failed;
  size_t bytes = 0;       // bytes moved when status is Done
  std::string errorText;  // why, when status is Failed
};

/// One TLS client session on `socket`, which stays owned by the caller and
/// must outlive the channel. Every wait on the socket is bounded by the
/// stall time-out given at creation.
class SecureChannel {
 public:
  SecureChannel(Socket socket, int32_t stallMs);
  ~SecureChannel();  // sends close_notify when it can do so without waiting
  SecureChannel(const SecureChannel&) = delete;
  SecureChannel& operator=(const SecureChannel&) = delete;

  /// Runs the handshake for `host` (a name, sent for server name indication,
  /// or an address literal) and accepts only TLS 1.2 or newer. The server's
  /// certificate must chain to a root in the system store and be for `host`.
  /// Done, TimedOut, or Failed with the reason (also for a connection that
  /// closed half-way).
  ChannelResult Handshake(const std::string& host);

  /// Receives 1 to `size` bytes of plain text. Closed when the server sent
  /// close_notify or closed the connection between records.
  ChannelResult Receive(char* buffer, size_t size);

  /// Sends all `size` bytes; TimedOut when the socket accepts nothing for the
  /// stall time-out, Failed once the session has ended.
  ChannelResult SendAll(const char* data, size_t size);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace quorvid::platform
