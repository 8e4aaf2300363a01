#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <atomic>
#include <fstream>
#include <stdexcept>

#include "servers/test_tls.h"

namespace quorvid::test {

namespace {

void AddExtension(X509* cert, X509* issuer, int nid, const char* value) {
  X509V3_CTX ctx;
  X509V3_set_ctx_nodb(&ctx);
  X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
  X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
  if (ext == nullptr) throw std::runtime_error("bad test certificate extension");
  X509_add_ext(cert, ext, -1);
  X509_EXTENSION_free(ext);
}

}  // namespace

TestIdentity::~TestIdentity() {
  if (cert != nullptr) X509_free(cert);
  if (key != nullptr) EVP_PKEY_free(key);
}

std::string TestIdentity::CertPem() const {
  BIO* bio = BIO_new(BIO_s_mem());
  PEM_write_bio_X509(bio, cert);
  char* data = nullptr;
  long size = BIO_get_mem_data(bio, &data);
  std::string pem(data, static_cast<size_t>(size));
  BIO_free(bio);
  return pem;
}

TestIdentity MakeIdentity(const std::string& commonName, const TestIdentity* issuer,
                          const std::string& altNames) {
  static std::atomic<long> serial{1000};
  TestIdentity id;
  id.key = EVP_EC_gen("P-256");
  id.cert = X509_new();
  X509_set_version(id.cert, 2);
  ASN1_INTEGER_set(X509_get_serialNumber(id.cert), serial++);
  X509_gmtime_adj(X509_getm_notBefore(id.cert), -3600);
  X509_gmtime_adj(X509_getm_notAfter(id.cert), 7 * 86400);
  X509_set_pubkey(id.cert, id.key);
  X509_NAME* name = X509_get_subject_name(id.cert);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>(commonName.c_str()), -1, -1, 0);
  X509* issuerCert = issuer != nullptr ? issuer->cert : id.cert;
  X509_set_issuer_name(id.cert, X509_get_subject_name(issuerCert));
  AddExtension(id.cert, issuerCert, NID_subject_key_identifier, "hash");
  if (issuer == nullptr) {
    AddExtension(id.cert, issuerCert, NID_basic_constraints, "critical,CA:TRUE");
    AddExtension(id.cert, issuerCert, NID_key_usage, "critical,keyCertSign,cRLSign");
  } else {
    AddExtension(id.cert, issuerCert, NID_authority_key_identifier, "keyid");
    AddExtension(id.cert, issuerCert, NID_basic_constraints, "CA:FALSE");
    AddExtension(id.cert, issuerCert, NID_ext_key_usage, "serverAuth");
    if (!altNames.empty()) AddExtension(id.cert, issuerCert, NID_subject_alt_name, altNames.c_str());
  }
  X509_sign(id.cert, issuer != nullptr ? issuer->key : id.key, EVP_sha256());
  return id;
}

void TestCertificates::WriteCaFile(const std::string& path) const {
  std::ofstream(path, std::ios::binary) << ca.CertPem();
}

namespace {

class OpenSslSession : public TlsServerSession {
 public:
  explicit OpenSslSession(SSL* ssl) : ssl_(ssl) {}
  ~OpenSslSession() override {
    SSL_shutdown(ssl_);
    SSL_free(ssl_);
  }
  int Read(char* buffer, int size) override { return SSL_read(ssl_, buffer, size); }
  int Write(const char* data, int size) override { return SSL_write(ssl_, data, size); }

 private:
  SSL* ssl_;
};

}  // namespace

struct TlsServerContext::State {
  SSL_CTX* context = nullptr;
  std::function<void(const std::string&)> onServerName;

  static int OnServerName(SSL* ssl, int*, void* arg) {
    const char* name = SSL_get_servername(ssl, TLSEXT_NAMETYPE_host_name);
    static_cast<State*>(arg)->onServerName(name != nullptr ? name : "");
    return SSL_TLSEXT_ERR_OK;
  }
};

TlsServerContext::TlsServerContext(const TestIdentity& identity,
                                   std::function<void(const std::string&)> onServerName)
    : state_(std::make_unique<State>()) {
  state_->onServerName = std::move(onServerName);
  state_->context = SSL_CTX_new(TLS_server_method());
  SSL_CTX_use_certificate(state_->context, identity.cert);
  SSL_CTX_use_PrivateKey(state_->context, identity.key);
  SSL_CTX_set_tlsext_servername_callback(state_->context, &State::OnServerName);
  SSL_CTX_set_tlsext_servername_arg(state_->context, state_.get());
}

TlsServerContext::~TlsServerContext() { SSL_CTX_free(state_->context); }

std::unique_ptr<TlsServerSession> TlsServerContext::Accept(SocketHandle client) {
  SSL* ssl = SSL_new(state_->context);
  SSL_set_fd(ssl, static_cast<int>(client));
  // A client that never finishes the handshake does not hold the server.
  timeval wait{5, 0};
  ::setsockopt(static_cast<int>(client), SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
  if (SSL_accept(ssl) != 1) {
    ERR_clear_error();
    SSL_free(ssl);
    return nullptr;
  }
  return std::make_unique<OpenSslSession>(ssl);
}

}  // namespace quorvid::test
