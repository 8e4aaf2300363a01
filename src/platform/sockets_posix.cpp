#include "platform/sockets.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quorvid::platform {

namespace {

int Fd(Socket socket) { return static_cast<int>(socket.handle); }

// Waits on one descriptor; EINTR restarts the wait with the full time-out,
// which only lengthens a wait that signals keep interrupting.
WaitStatus PollOne(int fd, short events, int32_t timeoutMs) {
  pollfd entry{fd, events, 0};
  for (;;) {
    int n = ::poll(&entry, 1, timeoutMs);
    if (n > 0) return WaitStatus::Ready;
    if (n == 0) return WaitStatus::TimedOut;
    if (errno != EINTR) return WaitStatus::Failed;
  }
}

}  // namespace

ConnectResult ConnectTcp(const std::string& host, uint16_t port, int32_t timeoutMs) {
  ConnectResult result;
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* list = nullptr;
  std::string service = std::to_string(port);
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
    int fd = ::socket(ai->ai_family, ai->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                      ai->ai_protocol);
    if (fd < 0) {
      result.status = ConnectStatus::CreateFailed;
      result.errorText = std::strerror(errno);
      continue;
    }
    int error = 0;
    if (::connect(fd, ai->ai_addr, ai->ai_addrlen) != 0) {
      error = errno;
      if (error == EINPROGRESS) {
        WaitStatus wait = PollOne(fd, POLLOUT, timeoutMs);
        if (wait == WaitStatus::TimedOut) {
          ::close(fd);
          timedOut = true;
          continue;
        }
        socklen_t len = sizeof error;
        if (wait == WaitStatus::Failed)
          error = errno;
        else if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &len) != 0)
          error = errno;
      }
    }
    if (error == 0) {
      ::freeaddrinfo(list);
      result.status = ConnectStatus::Connected;
      result.socket.handle = fd;
      result.errorText.clear();
      return result;
    }
    ::close(fd);
    refused = true;
    result.status = ConnectStatus::ConnectFailed;
    result.errorText = std::strerror(error);
  }
  ::freeaddrinfo(list);
  if (timedOut && !refused) result.status = ConnectStatus::TimedOut;
  return result;
}

IoResult Receive(Socket socket, char* buffer, size_t size, int32_t timeoutMs) {
  IoResult result;
  for (;;) {
    ssize_t n = ::recv(Fd(socket), buffer, size, 0);
    if (n > 0) return {IoStatus::Done, static_cast<size_t>(n)};
    if (n == 0) return {IoStatus::Closed, 0};
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return result;
    WaitStatus wait = PollOne(Fd(socket), POLLIN, timeoutMs);
    if (wait == WaitStatus::TimedOut) return {IoStatus::TimedOut, 0};
    if (wait == WaitStatus::Failed) return result;
  }
}

IoResult SendAll(Socket socket, const char* data, size_t size, int32_t timeoutMs) {
  size_t sent = 0;
  while (sent < size) {
    // MSG_NOSIGNAL: a peer that went away is an error of this fetch, not a
    // reason to end the process.
    ssize_t n = ::send(Fd(socket), data + sent, size - sent, MSG_NOSIGNAL);
    if (n > 0) {
      sent += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      WaitStatus wait = PollOne(Fd(socket), POLLOUT, timeoutMs);
      if (wait == WaitStatus::TimedOut) return {IoStatus::TimedOut, sent};
      if (wait == WaitStatus::Failed) return {IoStatus::Failed, sent};
      continue;
    }
    return {IoStatus::Failed, sent};
  }
  return {IoStatus::Done, sent};
}

WaitStatus WaitForSocket(Socket socket, WaitFor what, int32_t timeoutMs) {
  return PollOne(Fd(socket), what == WaitFor::Readable ? POLLIN : POLLOUT, timeoutMs);
}

void CloseSocket(Socket& socket) {
  if (socket.handle >= 0) ::close(Fd(socket));
  socket.handle = -1;
}

}  // namespace quorvid::platform
