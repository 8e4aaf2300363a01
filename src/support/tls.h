// TLS client sessions over a connected socket: through OpenSSL on POSIX,
// through the system (SChannel) on Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/sockets.h"

namespace quorvid {

/// One TLS client session. The socket stays owned by the caller and must
/// outlive the session; the TLS layer reaches it only through
/// platform/sockets.h.
class TlsSession {
 public:
  /// Runs the handshake on `socket`: sends `host` for server name indication
  /// (names only, not address literals), verifies the certificate chain
  /// against the system trust store (with OpenSSL, SSL_CERT_FILE and
  /// SSL_CERT_DIR are honoured; on Windows, the Windows certificate store)
  /// and checks that the certificate is for `host`. Throws HttpError with
  /// "Could not initialize OpenSSL library" (POSIX), the TLS layer's message, or
  /// "Timed out reading from %s" (`peer`) when a step waits `stallMs` in vain.
  static std::unique_ptr<TlsSession> Connect(platform::Socket socket, const std::string& host,
                                             const std::string& peer, int32_t stallMs);
  ~TlsSession();
  TlsSession(const TlsSession&) = delete;
  TlsSession& operator=(const TlsSession&) = delete;

  /// Reads 1 to `size` bytes; 0 when the server ended the session or closed
  /// the connection. Throws HttpError on errors and stalls.
  size_t Read(char* buffer, size_t size);

  /// Writes all `size` bytes. Throws HttpError on errors and stalls.
  void Write(const char* data, size_t size);

 private:
  struct State;
  explicit TlsSession(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
};

}  // namespace quorvid
