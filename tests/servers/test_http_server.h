// A small HTTP/HTTPS server for tests: listens on 127.0.0.1 on a free port,
// serves each connection on a thread of its own, and lets each test
// script the raw bytes of every answer. Certificates are made at test time.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace quorvid::test {

// ---------------------------------------------------------------- certificates

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
  ~TestIdentity() {
    if (cert != nullptr) X509_free(cert);
    if (key != nullptr) EVP_PKEY_free(key);
  }

  /// The certificate in PEM form.
  std::string CertPem() const {
    BIO* bio = BIO_new(BIO_s_mem());
    PEM_write_bio_X509(bio, cert);
    char* data = nullptr;
    long size = BIO_get_mem_data(bio, &data);
    std::string pem(data, static_cast<size_t>(size));
    BIO_free(bio);
    return pem;
  }
};

inline void AddExtension(X509* cert, X509* issuer, int nid, const char* value) {
  X509V3_CTX ctx;
  X509V3_set_ctx_nodb(&ctx);
  X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
  X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
  if (ext == nullptr) throw std::runtime_error("bad test certificate extension");
  X509_add_ext(cert, ext, -1);
  X509_EXTENSION_free(ext);
}

/// A certificate authority (issuer == nullptr, self-signed) or a server
/// certificate for `altNames` (such as "DNS:localhost,IP:127.0.0.1").
inline TestIdentity MakeIdentity(const std::string& commonName, const TestIdentity* issuer,
                                 const std::string& altNames = "") {
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

/// The test CA, a server certificate it signed for localhost and 127.0.0.1,
/// one it signed for another name, and one signed by a CA nobody trusts.
struct TestCertificates {
  TestIdentity ca = MakeIdentity("Quorvid Test CA", nullptr);
  TestIdentity server = MakeIdentity("localhost", &ca, "DNS:localhost,IP:127.0.0.1");
  TestIdentity otherName = MakeIdentity("elsewhere.test", &ca, "DNS:elsewhere.test");
  TestIdentity strangerCa = MakeIdentity("Stranger CA", nullptr);
  TestIdentity stranger = MakeIdentity("localhost", &strangerCa, "DNS:localhost,IP:127.0.0.1");

  /// Writes the test CA to `path`, for SSL_CERT_FILE.
  void WriteCaFile(const std::string& path) const {
    std::ofstream(path, std::ios::binary) << ca.CertPem();
  }
};

// ---------------------------------------------------------------- server

/// One request as the server saw it, and the means to answer it.
class Exchange {
 public:
  std::string request;  // the request head, up to and including the empty line
  std::string target;   // the request target of the request line

  /// Sends raw bytes to the client.
  void Send(std::string_view bytes) { send_(bytes); }
  /// Holds the connection open, sending nothing, until the server stops.
  void Stall() { stall_(); }

  std::function<void(std::string_view)> send_;
  std::function<void()> stall_;
};

using Handler = std::function<void(Exchange&)>;

/// "HTTP/1.1 200 OK" with Content-Length and `body`.
inline std::string OkResponse(std::string_view body) {
  return "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
         std::to_string(body.size()) + "\r\n\r\n" + std::string(body);
}

class TestHttpServer {
 public:
  /// Serves plain HTTP, or TLS with `identity` when it is given.
  explicit TestHttpServer(Handler handler, const TestIdentity* identity = nullptr)
      : handler_(std::move(handler)) {
    if (identity != nullptr) {
      context_ = SSL_CTX_new(TLS_server_method());
      SSL_CTX_use_certificate(context_, identity->cert);
      SSL_CTX_use_PrivateKey(context_, identity->key);
      SSL_CTX_set_tlsext_servername_callback(context_, &TestHttpServer::OnServerName);
      SSL_CTX_set_tlsext_servername_arg(context_, this);
    }
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener_, 16) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
      throw std::runtime_error("test server cannot listen");
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }

  ~TestHttpServer() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    stopped_.notify_all();
    thread_.join();
    ::close(listener_);
    if (context_ != nullptr) SSL_CTX_free(context_);
  }

  int port() const { return port_; }
  /// "http://127.0.0.1:<port>" (or https) followed by `path`.
  std::string Url(const std::string& path, const std::string& host = "127.0.0.1") const {
    return std::string(context_ != nullptr ? "https" : "http") + "://" + host + ":" +
           std::to_string(port_) + path;
  }
  /// Every request head received so far, in order.
  std::vector<std::string> Requests() {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
  }
  /// The server names the TLS clients sent ("" when a client sent none).
  std::vector<std::string> ServerNames() {
    std::lock_guard<std::mutex> lock(mutex_);
    return serverNames_;
  }

 private:
  static int OnServerName(SSL* ssl, int*, void* arg) {
    auto* self = static_cast<TestHttpServer*>(arg);
    const char* name = SSL_get_servername(ssl, TLSEXT_NAMETYPE_host_name);
    std::lock_guard<std::mutex> lock(self->mutex_);
    self->serverNames_.push_back(name != nullptr ? name : "");
    return SSL_TLSEXT_ERR_OK;
  }

  bool Stopping() {
    std::lock_guard<std::mutex> lock(mutex_);
    return stopping_;
  }

  void Serve() {
    while (!Stopping()) {
      pollfd entry{listener_, POLLIN, 0};
      if (::poll(&entry, 1, 20) <= 0) continue;
      int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (client < 0) continue;
      // Each connection on its own thread, so a stalling answer does not
      // hold up the next request.
      workers_.emplace_back([this, client] {
        ServeOne(client);
        ::close(client);
      });
    }
    for (std::thread& worker : workers_) worker.join();
  }

  void ServeOne(int client) {
    SSL* ssl = nullptr;
    if (context_ != nullptr) {
      ssl = SSL_new(context_);
      SSL_set_fd(ssl, client);
      timeval wait{5, 0};
      ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
      if (SSL_accept(ssl) != 1) {
        ERR_clear_error();
        SSL_free(ssl);
        return;
      }
    }
    auto receive = [&](char* buffer, int size) -> int {
      if (ssl != nullptr) return SSL_read(ssl, buffer, size);
      for (int waited = 0;; waited += 50) {
        pollfd entry{client, POLLIN, 0};
        if (::poll(&entry, 1, 50) > 0) break;
        if (waited >= 5000 || Stopping()) return -1;
      }
      return static_cast<int>(::recv(client, buffer, static_cast<size_t>(size), 0));
    };
    Exchange exchange;
    char buffer[4096];
    while (exchange.request.find("\r\n\r\n") == std::string::npos) {
      int n = receive(buffer, sizeof buffer);
      if (n <= 0) break;
      exchange.request.append(buffer, static_cast<size_t>(n));
    }
    size_t space = exchange.request.find(' ');
    if (space != std::string::npos)
      exchange.target = exchange.request.substr(space + 1,
                                                exchange.request.find(' ', space + 1) - space - 1);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      requests_.push_back(exchange.request);
    }
    exchange.send_ = [&](std::string_view bytes) {
      size_t sent = 0;
      while (sent < bytes.size()) {
        long n = ssl != nullptr
                     ? SSL_write(ssl, bytes.data() + sent, static_cast<int>(bytes.size() - sent))
                     : ::send(client, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return;
        sent += static_cast<size_t>(n);
      }
    };
    exchange.stall_ = [this] {
      std::unique_lock<std::mutex> lock(mutex_);
      stopped_.wait_for(lock, std::chrono::seconds(20), [this] { return stopping_; });
    };
    handler_(exchange);
    if (ssl != nullptr) {
      SSL_shutdown(ssl);
      SSL_free(ssl);
    }
  }

  Handler handler_;
  SSL_CTX* context_ = nullptr;
  int listener_ = -1;
  int port_ = 0;
  std::thread thread_;
  std::vector<std::thread> workers_;
  std::mutex mutex_;
  std::condition_variable stopped_;
  bool stopping_ = false;
  std::vector<std::string> requests_;
  std::vector<std::string> serverNames_;
};

}  // namespace quorvid::test
