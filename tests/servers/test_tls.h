// TLS for the test server: keys and certificates made at test time, and the
// server's side of a session. Made with OpenSSL (test_tls_posix.cpp), which
// the Windows build lacks: there the HTTPS tests skip, and the Windows TLS
// road is checked by tests/support/win/run_tls.sh instead.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "servers/test_socket.h"

// OpenSSL's names for a key and a certificate, as its own headers declare
// them; tests that adjust a certificate include those headers themselves.
typedef struct evp_pkey_st EVP_PKEY;
typedef struct x509_st X509;

namespace quorvid::test {

/// Why the tests that serve HTTPS do not run in the Windows build.
inline constexpr const char* kTlsServedOnPosixOnly =
    "the test server makes its certificates with OpenSSL, which the Windows build lacks; "
    "the Windows TLS road is checked against a trusted test authority by "
    "tests/support/win/run_tls.sh";

/// A key and a certificate, owned.
struct TestIdentity {
  EVP_PKEY* key = nullptr;
  X509* cert = nullptr;

  TestIdentity() = default;
  TestIdentity(TestIdentity&& other) noexcept : key(other.key), cert(other.cert) {
    other.key = nullptr;
    other.cert = nullptr;
  }
  TestIdentity& operator=(TestIdentity&&) = delete;
  ~TestIdentity();

  /// The certificate in PEM form.
  std::string CertPem() const;
};

/// A certificate authority (issuer == nullptr, self-signed) or a server
/// certificate for `altNames` (such as "DNS:localhost,IP:127.0.0.1").
TestIdentity MakeIdentity(const std::string& commonName, const TestIdentity* issuer,
                          const std::string& altNames = "");

/// The test CA, a server certificate it signed for localhost and 127.0.0.1,
/// one it signed for another name, and one signed by a CA nobody trusts.
struct TestCertificates {
  TestIdentity ca = MakeIdentity("Quorvid Test CA", nullptr);
  TestIdentity server = MakeIdentity("localhost", &ca, "DNS:localhost,IP:127.0.0.1");
  TestIdentity otherName = MakeIdentity("elsewhere.test", &ca, "DNS:elsewhere.test");
  TestIdentity strangerCa = MakeIdentity("Stranger CA", nullptr);
  TestIdentity stranger = MakeIdentity("localhost", &strangerCa, "DNS:localhost,IP:127.0.0.1");

  /// Writes the test CA to `path`, for SSL_CERT_FILE.
  void WriteCaFile(const std::string& path) const;
};

/// One TLS session on an accepted connection, shut down on destruction.
class TlsServerSession {
 public:
  virtual ~TlsServerSession() = default;
  /// The bytes read, or 0 or less at the end or on failure.
  virtual int Read(char* buffer, int size) = 0;
  /// The bytes written, or 0 or less on failure.
  virtual int Write(const char* data, int size) = 0;
};

/// The server's TLS settings for one identity.
class TlsServerContext {
 public:
  /// `onServerName` hears the server name each client sent ("" for none).
  TlsServerContext(const TestIdentity& identity,
                   std::function<void(const std::string&)> onServerName);
  ~TlsServerContext();
  TlsServerContext(const TlsServerContext&) = delete;
  TlsServerContext& operator=(const TlsServerContext&) = delete;

  /// The handshake on `client`; nullptr when it failed.
  std::unique_ptr<TlsServerSession> Accept(SocketHandle client);

  struct State;

 private:
  std::unique_ptr<State> state_;
};

}  // namespace quorvid::test
