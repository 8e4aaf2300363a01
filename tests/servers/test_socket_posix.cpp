#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "servers/test_socket.h"

namespace quorvid::test {

namespace {

int Fd(SocketHandle socket) { return static_cast<int>(socket); }

sockaddr_in Loopback(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  return address;
}

}  // namespace

SocketHandle ListenOnLoopback(int backlog, int& port) {
  const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address = Loopback(0);
  socklen_t length = sizeof address;
  if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      ::listen(listener, backlog) != 0 ||
      ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    if (listener >= 0) ::close(listener);
    throw std::runtime_error("test server cannot listen");
  }
  port = ntohs(address.sin_port);
  return listener;
}

SocketHandle AcceptConnection(SocketHandle listener) {
  const int client = ::accept4(Fd(listener), nullptr, nullptr, SOCK_CLOEXEC);
  return client < 0 ? kNoSocket : client;
}

bool WaitReadable(SocketHandle socket, int timeoutMs) {
  pollfd entry{Fd(socket), POLLIN, 0};
  return ::poll(&entry, 1, timeoutMs) > 0;
}

long ReceiveSome(SocketHandle socket, char* buffer, size_t size) {
  return static_cast<long>(::recv(Fd(socket), buffer, size, 0));
}

long SendSome(SocketHandle socket, const char* data, size_t size) {
  return static_cast<long>(::send(Fd(socket), data, size, MSG_NOSIGNAL));
}

SocketHandle StartConnect(int port) {
  const int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (socket < 0) return kNoSocket;
  const sockaddr_in address = Loopback(port);
  ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  return socket;
}

void CloseSocketHandle(SocketHandle socket) {
  if (socket != kNoSocket) ::close(Fd(socket));
}

std::string RefusedConnectionText() { return std::strerror(ECONNREFUSED); }

}  // namespace quorvid::test
