#include <winsock2.h>
#include <windows.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <climits>
#include <cwchar>
#include <stdexcept>

#include "servers/test_socket.h"

namespace quorvid::test {

namespace {

// Winsock is started on first use and left running for the test program.
void StartWinsock() {
  static const bool started = [] {
    WSADATA data{};
    return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  if (!started) throw std::runtime_error("Winsock did not start");
}

SOCKET Sock(SocketHandle socket) { return static_cast<SOCKET>(socket); }

int Chunk(size_t size) { return static_cast<int>(std::min<size_t>(size, INT_MAX)); }

sockaddr_in Loopback(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<u_short>(port));
  return address;
}

// The test helpers start quorvid.exe with inheritable handles passed on:
// sockets must not be among them.
SOCKET NewSocket() {
  StartWinsock();
  return ::WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0,
                      WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
}

}  // namespace

SocketHandle ListenOnLoopback(int backlog, int& port) {
  const SOCKET listener = NewSocket();
  sockaddr_in address = Loopback(0);
  int length = sizeof address;
  if (listener == INVALID_SOCKET ||
      ::bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      ::listen(listener, backlog) != 0 ||
      ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    if (listener != INVALID_SOCKET) ::closesocket(listener);
    throw std::runtime_error("test server cannot listen");
  }
  port = ntohs(address.sin_port);
  return static_cast<SocketHandle>(listener);
}

SocketHandle AcceptConnection(SocketHandle listener) {
  const SOCKET client = ::accept(Sock(listener), nullptr, nullptr);
  if (client == INVALID_SOCKET) return kNoSocket;
  // An accepted socket is inheritable whatever the listener was.
  ::SetHandleInformation(reinterpret_cast<HANDLE>(client), HANDLE_FLAG_INHERIT, 0);
  return static_cast<SocketHandle>(client);
}

bool WaitReadable(SocketHandle socket, int timeoutMs) {
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(Sock(socket), &readable);
  timeval time{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
  return ::select(0, &readable, nullptr, nullptr, &time) > 0;
}

long ReceiveSome(SocketHandle socket, char* buffer, size_t size) {
  return ::recv(Sock(socket), buffer, Chunk(size), 0);
}

long SendSome(SocketHandle socket, const char* data, size_t size) {
  return ::send(Sock(socket), data, Chunk(size), 0);
}

SocketHandle StartConnect(int port) {
  const SOCKET socket = NewSocket();
  u_long nonBlocking = 1;
  if (socket == INVALID_SOCKET) return kNoSocket;
  if (::ioctlsocket(socket, FIONBIO, &nonBlocking) != 0) {
    ::closesocket(socket);
    return kNoSocket;
  }
  const sockaddr_in address = Loopback(port);
  ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  return static_cast<SocketHandle>(socket);
}

void CloseSocketHandle(SocketHandle socket) {
  if (socket != kNoSocket) ::closesocket(Sock(socket));
}

std::string RefusedConnectionText() {
  wchar_t* text = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, WSAECONNREFUSED, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  if (length == 0 || text == nullptr) return "Error " + std::to_string(WSAECONNREFUSED);
  std::wstring message(text, length);
  ::LocalFree(text);
  while (!message.empty() && std::wcschr(L"\r\n ", message.back()) != nullptr) message.pop_back();
  const int wide = static_cast<int>(message.size());
  const int size =
      ::WideCharToMultiByte(CP_UTF8, 0, message.data(), wide, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, message.data(), wide, utf8.data(), size, nullptr, nullptr);
  return utf8;
}

}  // namespace quorvid::test
