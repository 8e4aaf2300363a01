#include "platform/sockets.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <climits>

#include "platform/windows_text.h"

namespace quorvid::platform {

namespace {

// Winsock is started once, on first use, and left running for the process.
bool StartWinsock() {
  static const bool started = [] {
    WSADATA data{};
    return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return started;
}

SOCKET Sock(Socket socket) { return static_cast<SOCKET>(socket.handle); }

int Chunk(size_t size) { return static_cast<int>(std::min<size_t>(size, INT_MAX)); }

timeval Timeval(int32_t timeoutMs) {
  timeval time{};
  time.tv_sec = timeoutMs / 1000;
  time.tv_usec = (timeoutMs % 1000) * 1000;
  return time;
}

// Waits on one socket, at most `timeoutMs` (forever when negative). A
// connect under way is watched for failure too: Windows reports a refused
// connect as an exception, not as writable.
WaitStatus SelectOne(SOCKET socket, WaitFor what, bool connecting, int32_t timeoutMs) {
  fd_set readable;
  fd_set writable;
  fd_set failed;
  FD_ZERO(&readable);
  FD_ZERO(&writable);
  FD_ZERO(&failed);
  FD_SET(socket, what == WaitFor::Readable ? &readable : &writable);
  if (connecting) FD_SET(socket, &failed);
  timeval time = Timeval(timeoutMs);
  const int n = ::select(0, &readable, &writable, &failed, timeoutMs < 0 ? nullptr : &time);
  if (n > 0) return WaitStatus::Ready;
  if (n == 0) return WaitStatus::TimedOut;
  return WaitStatus::Failed;
}

}  // namespace

ConnectResult ConnectTcp(const std::string& host, uint16_t port, int32_t timeoutMs) {
  ConnectResult result;
  if (!StartWinsock()) {
    result.status = ConnectStatus::CreateFailed;
    result.errorText = SystemErrorText(static_cast<uint32_t>(::WSAGetLastError()));
    return result;
  }
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* list = nullptr;
  const std::string service = std::to_string(port);
  if (host.empty() || ::getaddrinfo(host.c_str(), service.c_str(), &hints, &list) != 0 ||
      list == nullptr) {
    result.status = ConnectStatus::ResolveFailed;
    return result;
  }

  // A connect that timed out is reported so only when no address refused
  // outright: a refusal says more.
  bool timedOut = false;
  bool refused = false;
  for (addrinfo* ai = list; ai != nullptr; ai = ai->ai_next) {
    SOCKET socket = ::WSASocketW(ai->ai_family, ai->ai_socktype, ai->ai_protocol, nullptr, 0,
                                 WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
    u_long nonBlocking = 1;
    if (socket == INVALID_SOCKET || ::ioctlsocket(socket, FIONBIO, &nonBlocking) != 0) {
      result.status = ConnectStatus::CreateFailed;
      result.errorText = SystemErrorText(static_cast<uint32_t>(::WSAGetLastError()));
      if (socket != INVALID_SOCKET) ::closesocket(socket);
      continue;
    }
    int error = 0;
    if (::connect(socket, ai->ai_addr, static_cast<int>(ai->ai_addrlen)) != 0) {
      error = ::WSAGetLastError();
      if (error == WSAEWOULDBLOCK) {
        const WaitStatus wait = SelectOne(socket, WaitFor::Writable, true, timeoutMs);
        if (wait == WaitStatus::TimedOut) {
          ::closesocket(socket);
          timedOut = true;
          continue;
        }
        int length = sizeof error;
        if (wait == WaitStatus::Failed)
          error = ::WSAGetLastError();
        else if (::getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error),
                              &length) != 0)
          error = ::WSAGetLastError();
      }
    }
    if (error == 0) {
      ::freeaddrinfo(list);
      result.status = ConnectStatus::Connected;
      result.socket.handle = static_cast<intptr_t>(socket);
      result.errorText.clear();
      return result;
    }
    ::closesocket(socket);
    refused = true;
    result.status = ConnectStatus::ConnectFailed;
    result.errorText = SystemErrorText(static_cast<uint32_t>(error));
  }
  ::freeaddrinfo(list);
  if (timedOut && !refused) result.status = ConnectStatus::TimedOut;
  return result;
}

IoResult Receive(Socket socket, char* buffer, size_t size, int32_t timeoutMs) {
  for (;;) {
    const int n = ::recv(Sock(socket), buffer, Chunk(size), 0);
    if (n > 0) return {IoStatus::Done, static_cast<size_t>(n)};
    if (n == 0) return {IoStatus::Closed, 0};
    const int error = ::WSAGetLastError();
    if (error == WSAEINTR) continue;
    if (error != WSAEWOULDBLOCK) return {IoStatus::Failed, 0};
    const WaitStatus wait = SelectOne(Sock(socket), WaitFor::Readable, false, timeoutMs);
    if (wait == WaitStatus::TimedOut) return {IoStatus::TimedOut, 0};
    if (wait == WaitStatus::Failed) return {IoStatus::Failed, 0};
  }
}

IoResult SendAll(Socket socket, const char* data, size_t size, int32_t timeoutMs) {
  size_t sent = 0;
  while (sent < size) {
    // Windows raises no signal for a peer that went away: that is an error
    // of this send and nothing more.
    const int n = ::send(Sock(socket), data + sent, Chunk(size - sent), 0);
    if (n > 0) {
      sent += static_cast<size_t>(n);
      continue;
    }
    const int error = n < 0 ? ::WSAGetLastError() : 0;
    if (error == WSAEINTR) continue;
    if (error == WSAEWOULDBLOCK) {
      const WaitStatus wait = SelectOne(Sock(socket), WaitFor::Writable, false, timeoutMs);
      if (wait == WaitStatus::TimedOut) return {IoStatus::TimedOut, sent};
      if (wait == WaitStatus::Failed) return {IoStatus::Failed, sent};
      continue;
    }
    return {IoStatus::Failed, sent};
  }
  return {IoStatus::Done, sent};
}

WaitStatus WaitForSocket(Socket socket, WaitFor what, int32_t timeoutMs) {
  return SelectOne(Sock(socket), what, false, timeoutMs);
}

void CloseSocket(Socket& socket) {
  if (socket.handle != -1) ::closesocket(Sock(socket));
  socket.handle = -1;
}

}  // namespace quorvid::platform
