// The Windows build has no OpenSSL to make certificates or serve TLS with:
// the tests that would need it skip (kTlsServedOnPosixOnly), and whatever
// reaches these anyway fails loudly rather than serving plain HTTP.
#include <stdexcept>

#include "servers/test_tls.h"

namespace quorvid::test {

namespace {

[[noreturn]] void Unavailable() { throw std::logic_error(kTlsServedOnPosixOnly); }

}  // namespace

// Never filled here: MakeIdentity is the only maker.
TestIdentity::~TestIdentity() = default;

std::string TestIdentity::CertPem() const { Unavailable(); }

TestIdentity MakeIdentity(const std::string&, const TestIdentity*, const std::string&) {
  Unavailable();
}

void TestCertificates::WriteCaFile(const std::string&) const { Unavailable(); }

struct TlsServerContext::State {};

TlsServerContext::TlsServerContext(const TestIdentity&,
                                   std::function<void(const std::string&)>) {
  Unavailable();
}

TlsServerContext::~TlsServerContext() = default;

std::unique_ptr<TlsServerSession> TlsServerContext::Accept(SocketHandle) { Unavailable(); }

}  // namespace quorvid::test
