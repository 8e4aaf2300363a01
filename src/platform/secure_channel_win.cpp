#include "platform/secure_channel.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <wincrypt.h>
// sspi.h asks which flavour of the interface is wanted: the user-mode one.
#define SECURITY_WIN32
#include <schannel.h>
#include <security.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/windows_text.h"

namespace quorvid::platform {

namespace {

constexpr ULONG kContextRequest = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT |
                                  ISC_REQ_CONFIDENTIALITY | ISC_REQ_EXTENDED_ERROR |
                                  ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM;

// A handshake message (a long certificate chain) may need more than one
// record's room; nothing legitimate needs more than this.
constexpr size_t kMaxIncoming = size_t{1} << 20;
constexpr size_t kFirstIncoming = 16 * 1024 + 512;

constexpr unsigned char kAlertRecord = 21;  // the TLS record type

// Versions older than TLS 1.2 are refused whatever the system allows.
constexpr DWORD kOldProtocols = SP_PROT_SSL2 | SP_PROT_SSL3 | SP_PROT_TLS1_0 | SP_PROT_TLS1_1;

ChannelResult Failed(std::string text) { return {ChannelStatus::Failed, 0, std::move(text)}; }

// The system's text for `code` with the number, which is what a user can
// look up; the number alone when the system has no text for it.
std::string CodeText(uint32_t code) {
  char number[16];
  std::snprintf(number, sizeof number, "0x%08lX", static_cast<unsigned long>(code));
  std::string text = SystemErrorText(code);
  if (text.rfind("Error ", 0) == 0) return std::string("error ") + number;
  return text + " (" + number + ")";
}

std::string CertificateText(DWORD code, const std::string& host) {
  std::string reason;
  switch (static_cast<HRESULT>(code)) {
    case CERT_E_UNTRUSTEDROOT:
    case CERT_E_CHAINING:
      reason = "the issuer is not trusted";
      break;
    case CERT_E_CN_NO_MATCH:
      reason = "the certificate is not for " + host;
      break;
    case CERT_E_EXPIRED:
      reason = "the certificate has expired or is not yet valid";
      break;
    case CERT_E_REVOKED:
    case CRYPT_E_REVOKED:
      reason = "the certificate was revoked";
      break;
    case CERT_E_WRONG_USAGE:
      reason = "the certificate is not for server authentication";
      break;
    case TRUST_E_CERT_SIGNATURE:
      reason = "a signature in the chain is not valid";
      break;
    default:
      reason = CodeText(code);
  }
  return "certificate verify failed (" + reason + ")";
}

std::string StatusText(SECURITY_STATUS status, const std::string& host) {
  switch (status) {
    case SEC_E_ALGORITHM_MISMATCH:
      return "no protocol version or cipher in common with the server";
    case SEC_E_ILLEGAL_MESSAGE:
      return "the server sent a message that is not valid, or refused the handshake";
    case SEC_E_INVALID_TOKEN:
      return "the server's answer is not TLS";
    case SEC_E_DECRYPT_FAILURE:
    case SEC_E_MESSAGE_ALTERED:
      return "a record failed its integrity check";
    // These come from the system's own certificate check, should it run one.
    case SEC_E_UNTRUSTED_ROOT:
      return CertificateText(static_cast<DWORD>(CERT_E_UNTRUSTEDROOT), host);
    case SEC_E_WRONG_PRINCIPAL:
      return CertificateText(static_cast<DWORD>(CERT_E_CN_NO_MATCH), host);
    case SEC_E_CERT_EXPIRED:
      return CertificateText(static_cast<DWORD>(CERT_E_EXPIRED), host);
    default:
      return CodeText(static_cast<uint32_t>(status));
  }
}

// The chain faults that refuse a certificate; revocation is not asked for
// (see VerifyCertificate), so its "unknown" states never show.
constexpr DWORD kChainErrors =
    CERT_TRUST_IS_UNTRUSTED_ROOT | CERT_TRUST_IS_PARTIAL_CHAIN | CERT_TRUST_IS_NOT_TIME_VALID |
    CERT_TRUST_IS_NOT_SIGNATURE_VALID | CERT_TRUST_IS_REVOKED | CERT_TRUST_IS_NOT_VALID_FOR_USAGE |
    CERT_TRUST_IS_CYCLIC | CERT_TRUST_INVALID_EXTENSION | CERT_TRUST_INVALID_BASIC_CONSTRAINTS |
    CERT_TRUST_INVALID_NAME_CONSTRAINTS | CERT_TRUST_HAS_NOT_PERMITTED_NAME_CONSTRAINT |
    CERT_TRUST_HAS_EXCLUDED_NAME_CONSTRAINT;

std::string ChainErrorText(DWORD errors) {
  if ((errors & (CERT_TRUST_IS_UNTRUSTED_ROOT | CERT_TRUST_IS_PARTIAL_CHAIN)) != 0)
    return CertificateText(static_cast<DWORD>(CERT_E_UNTRUSTEDROOT), {});
  if ((errors & CERT_TRUST_IS_NOT_TIME_VALID) != 0)
    return CertificateText(static_cast<DWORD>(CERT_E_EXPIRED), {});
  if ((errors & CERT_TRUST_IS_NOT_SIGNATURE_VALID) != 0)
    return CertificateText(static_cast<DWORD>(TRUST_E_CERT_SIGNATURE), {});
  if ((errors & CERT_TRUST_IS_REVOKED) != 0)
    return CertificateText(static_cast<DWORD>(CERT_E_REVOKED), {});
  if ((errors & CERT_TRUST_IS_NOT_VALID_FOR_USAGE) != 0)
    return CertificateText(static_cast<DWORD>(CERT_E_WRONG_USAGE), {});
  char text[64];
  std::snprintf(text, sizeof text, "certificate verify failed (chain status 0x%08lX)",
                static_cast<unsigned long>(errors));
  return text;
}

// The 4 or 16 bytes of an address literal; empty for a name.
std::vector<BYTE> AddressBytes(const std::wstring& host) {
  in6_addr v6{};
  if (::InetPtonW(AF_INET6, host.c_str(), &v6) == 1) {
    const BYTE* bytes = reinterpret_cast<const BYTE*>(&v6);
    return std::vector<BYTE>(bytes, bytes + sizeof v6);
  }
  in_addr v4{};
  if (::InetPtonW(AF_INET, host.c_str(), &v4) == 1) {
    const BYTE* bytes = reinterpret_cast<const BYTE*>(&v4);
    return std::vector<BYTE>(bytes, bytes + sizeof v4);
  }
  return {};
}

// An address literal must be among the certificate's IP subject alternative
// names; the system's SSL policy matches names only.
bool CertificateHasAddress(PCCERT_CONTEXT cert, const std::vector<BYTE>& address) {
  const CERT_INFO* info = cert->pCertInfo;
  const CERT_EXTENSION* extension =
      ::CertFindExtension(szOID_SUBJECT_ALT_NAME2, info->cExtension, info->rgExtension);
  if (extension == nullptr) return false;
  CERT_ALT_NAME_INFO* names = nullptr;
  DWORD size = 0;
  if (!::CryptDecodeObjectEx(X509_ASN_ENCODING, X509_ALTERNATE_NAME, extension->Value.pbData,
                             extension->Value.cbData, CRYPT_DECODE_ALLOC_FLAG, nullptr, &names,
                             &size))
    return false;
  bool found = false;
  for (DWORD i = 0; i < names->cAltEntry && !found; ++i) {
    const CERT_ALT_NAME_ENTRY& entry = names->rgAltEntry[i];
    found = entry.dwAltNameChoice == CERT_ALT_NAME_IP_ADDRESS &&
            entry.IPAddress.cbData == address.size() &&
            std::memcmp(entry.IPAddress.pbData, address.data(), address.size()) == 0;
  }
  ::LocalFree(names);
  return found;
}

// Checks `cert` (with the intermediates the server sent in its store)
// against the system's roots and `host`; empty when it passes. Revocation
// is not asked for: the lists live on servers that may be unreachable, and
// the check would escape the stall time-out.
std::string VerifyCertificate(PCCERT_CONTEXT cert, const std::string& host,
                              const std::wstring& wideHost) {
  char serverAuth[] = szOID_PKIX_KP_SERVER_AUTH;
  LPSTR usages[] = {serverAuth};
  CERT_CHAIN_PARA chainPara{};
  chainPara.cbSize = sizeof chainPara;
  chainPara.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
  chainPara.RequestedUsage.Usage.cUsageIdentifier = 1;
  chainPara.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
  PCCERT_CHAIN_CONTEXT chain = nullptr;
  if (!::CertGetCertificateChain(nullptr, cert, nullptr, cert->hCertStore, &chainPara, 0, nullptr,
                                 &chain))
    return "certificate verify failed (" + CodeText(::GetLastError()) + ")";

  // The chain's own verdict is read first: the SSL policy of some systems
  // (Wine's) passes a chain that stops short of any root.
  const DWORD errors = chain->TrustStatus.dwErrorStatus & kChainErrors;
  if (errors != 0) {
    ::CertFreeCertificateChain(chain);
    return ChainErrorText(errors);
  }

  const std::vector<BYTE> address = AddressBytes(wideHost);
  std::wstring serverName = wideHost;
  SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl{};
  ssl.cbSize = sizeof ssl;
  ssl.dwAuthType = AUTHTYPE_SERVER;
  ssl.pwszServerName = address.empty() ? serverName.data() : nullptr;
  CERT_CHAIN_POLICY_PARA policy{};
  policy.cbSize = sizeof policy;
  policy.pvExtraPolicyPara = &ssl;
  CERT_CHAIN_POLICY_STATUS status{};
  status.cbSize = sizeof status;
  const BOOL checked =
      ::CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policy, &status);
  ::CertFreeCertificateChain(chain);
  if (!checked) return "certificate verify failed (" + CodeText(::GetLastError()) + ")";
  if (status.dwError != 0) return CertificateText(status.dwError, host);
  if (!address.empty() && !CertificateHasAddress(cert, address))
    return CertificateText(static_cast<DWORD>(CERT_E_CN_NO_MATCH), host);
  return {};
}

SecBuffer* FindBuffer(SecBuffer* buffers, size_t count, unsigned long type) {
  for (size_t i = 0; i < count; ++i)
    if (buffers[i].BufferType == type) return &buffers[i];
  return nullptr;
}

}  // namespace

struct SecureChannel::State {
  Socket socket;
  int32_t stallMs = 0;
  std::string host;
  std::wstring wideHost;
  CredHandle credentials{};
  CtxtHandle context{};
  bool haveCredentials = false;
  bool haveContext = false;
  bool established = false;  // the handshake ended well
  bool open = false;         // established, and the session not ended since
  bool closeSent = false;
  SecPkgContext_StreamSizes sizes{};
  std::vector<BYTE> verified;  // the encoding of the certificate that passed

  // Records received and not yet decrypted: the first `incomingSize` bytes.
  std::vector<char> incoming = std::vector<char>(kFirstIncoming);
  size_t incomingSize = 0;
  // Plain text decrypted and not yet handed out, from `plainOffset` on.
  std::vector<char> plain;
  size_t plainOffset = 0;

  ~State() {
    if (haveContext) ::DeleteSecurityContext(&context);
    if (haveCredentials) ::FreeCredentialsHandle(&credentials);
  }

  ChannelResult SendToken(const SecBuffer& token);
  ChannelResult ReceiveMore();
  void KeepExtra(const SecBuffer* extra);
  ChannelResult Negotiate(bool readFirst);
  ChannelResult CheckServer();
  ChannelResult DecryptNext(bool& needMore);
  void SendCloseNotify();
};

ChannelResult SecureChannel::State::SendToken(const SecBuffer& token) {
  IoResult sent =
      platform::SendAll(socket, static_cast<const char*>(token.pvBuffer), token.cbBuffer, stallMs);
  if (sent.status == IoStatus::Done) return {ChannelStatus::Done, sent.bytes, {}};
  if (sent.status == IoStatus::TimedOut) return {ChannelStatus::TimedOut, 0, {}};
  return Failed("the connection failed");
}

ChannelResult SecureChannel::State::ReceiveMore() {
  if (incomingSize == incoming.size()) {
    if (incoming.size() >= kMaxIncoming) return Failed("the server sent an oversized message");
    incoming.resize(incoming.size() * 2);
  }
  IoResult got = platform::Receive(socket, incoming.data() + incomingSize,
                                   incoming.size() - incomingSize, stallMs);
  switch (got.status) {
    case IoStatus::Done:
      incomingSize += got.bytes;
      return {ChannelStatus::Done, got.bytes, {}};
    case IoStatus::Closed:
      return {ChannelStatus::Closed, 0, {}};
    case IoStatus::TimedOut:
      return {ChannelStatus::TimedOut, 0, {}};
    case IoStatus::Failed:
      break;
  }
  return Failed("the connection failed");
}

// What the system left unread (`extra` points into `incoming`, at its end)
// moves to the front; without it everything was consumed.
void SecureChannel::State::KeepExtra(const SecBuffer* extra) {
  if (extra == nullptr || extra->cbBuffer == 0) {
    incomingSize = 0;
    return;
  }
  std::memmove(incoming.data(), incoming.data() + incomingSize - extra->cbBuffer, extra->cbBuffer);
  incomingSize = extra->cbBuffer;
}

// Runs handshake messages, the first or a renegotiation, to their end, on
// what `incoming` holds and what the server sends next; `readFirst` when
// the server has the next word. What arrives after the last message stays
// in `incoming`.
ChannelResult SecureChannel::State::Negotiate(bool readFirst) {
  bool read = readFirst;
  bool askedForCertificate = false;
  for (;;) {
    if (read) {
      ChannelResult got = ReceiveMore();
      if (got.status == ChannelStatus::Closed) return Failed("connection closed unexpectedly");
      if (got.status != ChannelStatus::Done) return got;
    }
    read = true;
    SecBuffer in[2] = {{static_cast<unsigned long>(incomingSize), SECBUFFER_TOKEN, incoming.data()},
                       {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc inDesc{SECBUFFER_VERSION, 2, in};
    SecBuffer out[1] = {{0, SECBUFFER_TOKEN, nullptr}};
    SecBufferDesc outDesc{SECBUFFER_VERSION, 1, out};
    ULONG attributes = 0;
    SECURITY_STATUS status =
        ::InitializeSecurityContextW(&credentials, &context, wideHost.data(), kContextRequest, 0, 0,
                                     &inDesc, 0, nullptr, &outDesc, &attributes, nullptr);
    // The answer goes out, and so does the alert that explains a failure.
    if (out[0].pvBuffer != nullptr) {
      ChannelResult sent = out[0].cbBuffer > 0 ? SendToken(out[0]) : ChannelResult{};
      ::FreeContextBuffer(out[0].pvBuffer);
      if (out[0].cbBuffer > 0 && !FAILED(status) && sent.status != ChannelStatus::Done) return sent;
    }
    if (status == SEC_E_INCOMPLETE_MESSAGE) continue;
    if (status == SEC_I_INCOMPLETE_CREDENTIALS && !askedForCertificate) {
      // We have no client certificate: the same input again goes on without one.
      askedForCertificate = true;
      read = false;
      continue;
    }
    if (FAILED(status)) return Failed(StatusText(status, host));
    KeepExtra(FindBuffer(in, 2, SECBUFFER_EXTRA));
    if (status == SEC_E_OK) return {ChannelStatus::Done, 0, {}};
    if (status != SEC_I_CONTINUE_NEEDED) return Failed(StatusText(status, host));
    read = incomingSize == 0;
  }
}

// The negotiated version and the server's certificate. After a
// renegotiation only a certificate other than the one already checked is
// checked again.
ChannelResult SecureChannel::State::CheckServer() {
  SecPkgContext_ConnectionInfo connection{};
  SECURITY_STATUS status =
      ::QueryContextAttributesW(&context, SECPKG_ATTR_CONNECTION_INFO, &connection);
  if (status != SEC_E_OK) return Failed(StatusText(status, host));
  if ((connection.dwProtocol & kOldProtocols) != 0)
    return Failed("the server offers no TLS version newer than 1.1");

  PCCERT_CONTEXT cert = nullptr;
  status = ::QueryContextAttributesW(&context, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &cert);
  if (status != SEC_E_OK || cert == nullptr) {
    if (!verified.empty()) return {ChannelStatus::Done, 0, {}};
    return Failed("the server sent no certificate");
  }
  const BYTE* encoded = cert->pbCertEncoded;
  if (verified.size() == cert->cbCertEncoded &&
      std::equal(verified.begin(), verified.end(), encoded)) {
    ::CertFreeCertificateContext(cert);
    return {ChannelStatus::Done, 0, {}};
  }
  std::string refused = VerifyCertificate(cert, host, wideHost);
  if (refused.empty()) verified.assign(encoded, encoded + cert->cbCertEncoded);
  ::CertFreeCertificateContext(cert);
  if (!refused.empty()) return Failed(refused);
  return {ChannelStatus::Done, 0, {}};
}

// Decrypts the next record of `incoming` into `plain`. `needMore` is set
// when `incoming` ends in the middle of a record.
ChannelResult SecureChannel::State::DecryptNext(bool& needMore) {
  needMore = false;
  const bool alert = static_cast<unsigned char>(incoming[0]) == kAlertRecord;
  SecBuffer buffers[4] = {
      {static_cast<unsigned long>(incomingSize), SECBUFFER_DATA, incoming.data()},
      {0, SECBUFFER_EMPTY, nullptr},
      {0, SECBUFFER_EMPTY, nullptr},
      {0, SECBUFFER_EMPTY, nullptr}};
  SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
  SECURITY_STATUS status = ::DecryptMessage(&context, &desc, 0, nullptr);
  if (status == SEC_E_INCOMPLETE_MESSAGE) {
    needMore = true;
    return {ChannelStatus::Done, 0, {}};
  }
  if (status != SEC_E_OK && status != SEC_I_RENEGOTIATE && status != SEC_I_CONTEXT_EXPIRED)
    return Failed(StatusText(status, host));
  // The plain text is decrypted in place: copy it out before the unread
  // rest moves to the front.
  const SecBuffer* data = FindBuffer(buffers, 4, SECBUFFER_DATA);
  if (data != nullptr) {
    const char* text = static_cast<const char*>(data->pvBuffer);
    plain.assign(text, text + data->cbBuffer);
    plainOffset = 0;
  }
  KeepExtra(FindBuffer(buffers, 4, SECBUFFER_EXTRA));
  // close_notify. Some implementations (Wine's) report it as an empty record
  // rather than as the end of the context; any other warning alert a client
  // meets comes with close_notify or answers a renegotiation it never asks for.
  const bool empty = data == nullptr || data->cbBuffer == 0;
  if (status == SEC_I_CONTEXT_EXPIRED || (status == SEC_E_OK && alert && empty)) {
    open = false;
    SendCloseNotify();  // the answer the server may be waiting for
    return {ChannelStatus::Done, 0, {}};
  }
  if (status == SEC_I_RENEGOTIATE) {
    // TLS 1.3's messages after the handshake (tickets, key updates), which
    // are in the unread rest, or a renegotiation the server asked for, where
    // the context speaks first.
    ChannelResult negotiated = Negotiate(false);
    if (negotiated.status != ChannelStatus::Done) return negotiated;
    return CheckServer();
  }
  return {ChannelStatus::Done, 0, {}};
}

// Ends the session politely when the socket takes the alert at once;
// nothing here waits.
void SecureChannel::State::SendCloseNotify() {
  closeSent = true;
  DWORD type = SCHANNEL_SHUTDOWN;
  SecBuffer control{sizeof type, SECBUFFER_TOKEN, &type};
  SecBufferDesc controlDesc{SECBUFFER_VERSION, 1, &control};
  if (::ApplyControlToken(&context, &controlDesc) != SEC_E_OK) return;
  SecBuffer out{0, SECBUFFER_TOKEN, nullptr};
  SecBufferDesc outDesc{SECBUFFER_VERSION, 1, &out};
  ULONG attributes = 0;
  SECURITY_STATUS status =
      ::InitializeSecurityContextW(&credentials, &context, wideHost.data(), kContextRequest, 0, 0,
                                   nullptr, 0, nullptr, &outDesc, &attributes, nullptr);
  if (out.pvBuffer == nullptr) return;
  if (!FAILED(status) && out.cbBuffer > 0)
    platform::SendAll(socket, static_cast<const char*>(out.pvBuffer), out.cbBuffer, 0);
  ::FreeContextBuffer(out.pvBuffer);
}

SecureChannel::SecureChannel(Socket socket, int32_t stallMs) : state_(std::make_unique<State>()) {
  state_->socket = socket;
  state_->stallMs = stallMs;
}

SecureChannel::~SecureChannel() {
  if (state_->established && !state_->closeSent) state_->SendCloseNotify();
}

ChannelResult SecureChannel::Handshake(const std::string& host) {
  State& s = *state_;
  if (s.haveContext) return Failed("the handshake was already run");
  s.host = host;
  s.wideHost = WideFromUtf8(host);

  // The certificate is checked here, after the handshake, rather than by
  // the system during it: the same check on every Windows version, and a
  // reason to report when it fails. Protocol versions are the system's
  // defaults, the old ones refused afterwards, so that a system that
  // offers TLS 1.3 uses it.
  SCHANNEL_CRED credentials{};
  credentials.dwVersion = SCHANNEL_CRED_VERSION;
  credentials.dwFlags =
      SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS | SCH_USE_STRONG_CRYPTO;
  wchar_t package[] = UNISP_NAME_W;
  SECURITY_STATUS status =
      ::AcquireCredentialsHandleW(nullptr, package, SECPKG_CRED_OUTBOUND, nullptr, &credentials,
                                  nullptr, nullptr, &s.credentials, nullptr);
  if (status != SEC_E_OK)
    return Failed("the system's TLS is not available: " + StatusText(status, host));
  s.haveCredentials = true;

  SecBuffer out[1] = {{0, SECBUFFER_TOKEN, nullptr}};
  SecBufferDesc outDesc{SECBUFFER_VERSION, 1, out};
  ULONG attributes = 0;
  status =
      ::InitializeSecurityContextW(&s.credentials, nullptr, s.wideHost.data(), kContextRequest, 0,
                                   0, nullptr, 0, &s.context, &outDesc, &attributes, nullptr);
  if (status != SEC_I_CONTINUE_NEEDED) {
    if (out[0].pvBuffer != nullptr) ::FreeContextBuffer(out[0].pvBuffer);
    if (status == SEC_E_OK) ::DeleteSecurityContext(&s.context);
    return Failed(StatusText(status, host));
  }
  s.haveContext = true;
  ChannelResult sent = s.SendToken(out[0]);
  ::FreeContextBuffer(out[0].pvBuffer);
  if (sent.status != ChannelStatus::Done) return sent;

  ChannelResult negotiated = s.Negotiate(true);
  if (negotiated.status != ChannelStatus::Done) return negotiated;
  ChannelResult checked = s.CheckServer();
  if (checked.status != ChannelStatus::Done) return checked;
  status = ::QueryContextAttributesW(&s.context, SECPKG_ATTR_STREAM_SIZES, &s.sizes);
  if (status != SEC_E_OK) return Failed(StatusText(status, host));
  s.established = true;
  s.open = true;
  return {ChannelStatus::Done, 0, {}};
}

ChannelResult SecureChannel::Receive(char* buffer, size_t size) {
  State& s = *state_;
  if (!s.haveContext) return Failed("no handshake was run");
  for (;;) {
    if (s.plainOffset < s.plain.size()) {
      const size_t n = std::min(size, s.plain.size() - s.plainOffset);
      std::memcpy(buffer, s.plain.data() + s.plainOffset, n);
      s.plainOffset += n;
      return {ChannelStatus::Done, n, {}};
    }
    if (!s.open) return {ChannelStatus::Closed, 0, {}};
    bool needMore = s.incomingSize == 0;
    if (!needMore) {
      ChannelResult decrypted = s.DecryptNext(needMore);
      if (decrypted.status != ChannelStatus::Done) return decrypted;
    }
    if (!needMore) continue;
    ChannelResult got = s.ReceiveMore();
    if (got.status == ChannelStatus::Closed) {
      // Many servers close without close_notify: the HTTP framing decides
      // where the body ends, as on a plain connection. A record cut short
      // is another matter.
      s.open = false;
      s.closeSent = true;  // nobody left to tell
      if (s.incomingSize != 0) return Failed("connection closed in the middle of a record");
      return got;
    }
    if (got.status != ChannelStatus::Done) return got;
  }
}

ChannelResult SecureChannel::SendAll(const char* data, size_t size) {
  State& s = *state_;
  if (!s.open) return Failed(s.haveContext ? "the session is closed" : "no handshake was run");
  const SecPkgContext_StreamSizes& sizes = s.sizes;
  std::vector<char> record(sizes.cbHeader + sizes.cbMaximumMessage + sizes.cbTrailer);
  size_t sent = 0;
  while (sent < size) {
    const size_t chunk = std::min<size_t>(size - sent, sizes.cbMaximumMessage);
    char* header = record.data();
    char* body = header + sizes.cbHeader;
    std::memcpy(body, data + sent, chunk);
    SecBuffer buffers[4] = {{sizes.cbHeader, SECBUFFER_STREAM_HEADER, header},
                            {static_cast<unsigned long>(chunk), SECBUFFER_DATA, body},
                            {sizes.cbTrailer, SECBUFFER_STREAM_TRAILER, body + chunk},
                            {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
    SECURITY_STATUS status = ::EncryptMessage(&s.context, 0, &desc, 0);
    if (status != SEC_E_OK) return Failed(StatusText(status, s.host));
    // Header, data and trailer lie back to back; the trailer may be shorter
    // than its room.
    const size_t length = buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer;
    IoResult written = platform::SendAll(s.socket, header, length, s.stallMs);
    if (written.status == IoStatus::TimedOut) return {ChannelStatus::TimedOut, sent, {}};
    if (written.status != IoStatus::Done) return Failed("the connection failed");
    sent += chunk;
  }
  return {ChannelStatus::Done, sent, {}};
}

}  // namespace quorvid::platform
