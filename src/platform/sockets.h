// TCP client sockets: what the HTTP fetch needs and nothing more. Sockets are
// non-blocking underneath; every wait is bounded by the caller's time-out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quorvid::platform {

/// An open TCP connection; `handle` is the system's descriptor or SOCKET
/// (-1 when closed).
struct Socket {
  intptr_t handle = -1;
};

enum class ConnectStatus { Connected, ResolveFailed, CreateFailed, ConnectFailed, TimedOut };

struct ConnectResult {
  ConnectStatus status = ConnectStatus::ConnectFailed;
  Socket socket;          // open only when status is Connected
  std::string errorText;  // the system's text for CreateFailed and ConnectFailed
};

/// Resolves `host` (a name or an address literal, without brackets) and
/// connects to `port`, trying each address in turn; each attempt is abandoned
/// after `timeoutMs`. TimedOut is reported only when no address refused outright.
ConnectResult ConnectTcp(const std::string& host, uint16_t port, int32_t timeoutMs);

enum class IoStatus { Done, Closed, TimedOut, Failed };

struct IoResult {
  IoStatus status = IoStatus::Failed;
  size_t bytes = 0;  // bytes moved when status is Done
};

/// Receives up to `size` bytes, waiting at most `timeoutMs` for the first one
/// (0: only what has arrived). Closed when the peer ended the connection.
IoResult Receive(Socket socket, char* buffer, size_t size, int32_t timeoutMs);

/// Sends all `size` bytes; TimedOut (with `bytes` sent so far) when no byte
/// could be sent for `timeoutMs`. A closed peer is Failed, never a signal.
IoResult SendAll(Socket socket, const char* data, size_t size, int32_t timeoutMs);

enum class WaitFor { Readable, Writable };
enum class WaitStatus { Ready, TimedOut, Failed };

/// Waits until `socket` can be read or written, at most `timeoutMs`.
WaitStatus WaitForSocket(Socket socket, WaitFor what, int32_t timeoutMs);

/// Closes the connection (nothing happens when it is already closed).
void CloseSocket(Socket& socket);

}  // namespace quorvid::platform
