#include "support/tls.h"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include "support/http_error.h"

namespace quorvid {

struct TlsSession::State {
  platform::Socket socket;
  std::string peer;
  int32_t stallMs = 0;
  SSL_CTX* context = nullptr;
  SSL* ssl = nullptr;

  ~State() {
    if (ssl != nullptr) SSL_free(ssl);
    if (context != nullptr) SSL_CTX_free(context);
  }

  // Waits for what OpenSSL asked for after `ret`; false for any other outcome.
  bool WaitForRetry(int ret);
};

namespace {

// The newest reason on OpenSSL's error queue, with the certificate check's
// own text when verification was the cause. The queue is left empty.
std::string TlsErrorText(SSL* ssl, const std::string& peer, const char* step) {
  std::string reason;
  unsigned long code;
  while ((code = ERR_get_error()) != 0) {
    const char* text = ERR_reason_error_string(code);
    reason = text != nullptr ? text : "error " + std::to_string(code);
  }
  if (reason.empty()) reason = "connection closed unexpectedly";
  long verify = ssl != nullptr ? SSL_get_verify_result(ssl) : X509_V_OK;
  if (verify != X509_V_OK)
    reason += std::string(" (") + X509_verify_cert_error_string(verify) + ")";
  return std::string("TLS ") + step + " with " + peer + " failed: " + reason;
}

// OpenSSL reads and writes through the platform socket calls, never with
// write() on the descriptor: a server that drops the connection must fail
// the fetch, not end the process with SIGPIPE. The socket is non-blocking;
// "would block" becomes a retry, which WaitForRetry turns into a bounded wait.
int SocketBioWrite(BIO* bio, const char* data, size_t size, size_t* written) {
  auto* socket = static_cast<platform::Socket*>(BIO_get_data(bio));
  BIO_clear_retry_flags(bio);
  platform::IoResult result = platform::SendAll(*socket, data, size, 0);
  if (result.bytes > 0) {
    *written = result.bytes;
    return 1;
  }
  if (result.status == platform::IoStatus::TimedOut) BIO_set_retry_write(bio);
  return 0;
}

int SocketBioRead(BIO* bio, char* buffer, size_t size, size_t* got) {
  auto* socket = static_cast<platform::Socket*>(BIO_get_data(bio));
  BIO_clear_retry_flags(bio);
  platform::IoResult result = platform::Receive(*socket, buffer, size, 0);
  if (result.status == platform::IoStatus::Done) {
    *got = result.bytes;
    return 1;
  }
  if (result.status == platform::IoStatus::TimedOut) BIO_set_retry_read(bio);
  return 0;
}

long SocketBioControl(BIO*, int command, long, void*) { return command == BIO_CTRL_FLUSH ? 1 : 0; }

int SocketBioCreate(BIO* bio) {
  BIO_set_init(bio, 1);
  return 1;
}

const BIO_METHOD* SocketBioMethod() {
  static BIO_METHOD* method = [] {
    BIO_METHOD* m = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "platform socket");
    if (m != nullptr) {
      BIO_meth_set_write_ex(m, SocketBioWrite);
      BIO_meth_set_read_ex(m, SocketBioRead);
      BIO_meth_set_ctrl(m, SocketBioControl);
      BIO_meth_set_create(m, SocketBioCreate);
    }
    return m;
  }();
  return method;
}

bool IsAddressLiteral(const std::string& host) {
  ASN1_OCTET_STRING* address = a2i_IPADDRESS(host.c_str());
  if (address == nullptr) {
    ERR_clear_error();
    return false;
  }
  ASN1_OCTET_STRING_free(address);
  return true;
}

}  // namespace

bool TlsSession::State::WaitForRetry(int ret) {
  int error = SSL_get_error(ssl, ret);
  if (error != SSL_ERROR_WANT_READ && error != SSL_ERROR_WANT_WRITE) return false;
  platform::WaitFor what =
      error == SSL_ERROR_WANT_READ ? platform::WaitFor::Readable : platform::WaitFor::Writable;
  platform::WaitStatus wait = platform::WaitForSocket(socket, what, stallMs);
  if (wait == platform::WaitStatus::TimedOut) throw HttpError("Timed out reading from " + peer);
  if (wait == platform::WaitStatus::Failed) throw HttpError("Error reading data from socket");
  return true;
}

TlsSession::TlsSession(std::unique_ptr<State> state) : state_(std::move(state)) {}
TlsSession::~TlsSession() = default;

std::unique_ptr<TlsSession> TlsSession::Connect(platform::Socket socket, const std::string& host,
                                                const std::string& peer, int32_t stallMs) {
  auto state = std::make_unique<State>();
  state->socket = socket;
  state->peer = peer;
  state->stallMs = stallMs;
  ERR_clear_error();
  state->context = SSL_CTX_new(TLS_client_method());
  if (state->context == nullptr) throw HttpError("Could not initialize OpenSSL library");
  SSL_CTX* context = state->context;
  SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION);
  // Many servers close without a close_notify; the HTTP framing decides
  // where the body ends, as it does on a plain connection.
  SSL_CTX_set_options(context, SSL_OP_IGNORE_UNEXPECTED_EOF);
  SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);
  if (SSL_CTX_set_default_verify_paths(context) != 1)
    throw HttpError("Could not initialize OpenSSL library");

  state->ssl = SSL_new(context);
  if (state->ssl == nullptr) throw HttpError("Could not initialize OpenSSL library");
  SSL* ssl = state->ssl;
  bool literal = IsAddressLiteral(host);
  X509_VERIFY_PARAM* param = SSL_get0_param(ssl);
  X509_VERIFY_PARAM_set_hostflags(param, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
  bool named = literal ? X509_VERIFY_PARAM_set1_ip_asc(param, host.c_str()) == 1
                       : SSL_set1_host(ssl, host.c_str()) == 1 &&
                             SSL_set_tlsext_host_name(ssl, host.c_str()) == 1;
  if (!named) throw HttpError(TlsErrorText(ssl, peer, "setup"));
  const BIO_METHOD* method = SocketBioMethod();
  BIO* bio = method != nullptr ? BIO_new(method) : nullptr;
  if (bio == nullptr) throw HttpError("Could not initialize OpenSSL library");
  BIO_set_data(bio, &state->socket);  // State is heap-allocated: the address is stable
  SSL_set_bio(ssl, bio, bio);

  for (;;) {
    ERR_clear_error();
    int ret = SSL_connect(ssl);
    if (ret == 1) break;
    if (!state->WaitForRetry(ret)) throw HttpError(TlsErrorText(ssl, peer, "handshake"));
  }
  return std::unique_ptr<TlsSession>(new TlsSession(std::move(state)));
}

size_t TlsSession::Read(char* buffer, size_t size) {
  for (;;) {
    size_t got = 0;
    ERR_clear_error();
    int ret = SSL_read_ex(state_->ssl, buffer, size, &got);
    if (ret == 1) return got;
    int error = SSL_get_error(state_->ssl, ret);
    if (error == SSL_ERROR_ZERO_RETURN) return 0;
    if (!state_->WaitForRetry(ret)) throw HttpError(TlsErrorText(state_->ssl, state_->peer, "read"));
  }
}

void TlsSession::Write(const char* data, size_t size) {
  size_t sent = 0;
  while (sent < size) {
    size_t written = 0;
    ERR_clear_error();
    int ret = SSL_write_ex(state_->ssl, data + sent, size - sent, &written);
    if (ret == 1) {
      sent += written;
      continue;
    }
    if (!state_->WaitForRetry(ret))
      throw HttpError(TlsErrorText(state_->ssl, state_->peer, "write"));
  }
}

}  // namespace quorvid
