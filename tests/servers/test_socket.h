// The few socket calls the test server makes, over POSIX sockets or Winsock
// (test_socket_posix.cpp, test_socket_win.cpp). Every socket made here is
// kept from the child processes the tests start: a connection a child still
// held would stay open after the server closed it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quorvid::test {

/// A descriptor, or a SOCKET on Windows.
using SocketHandle = intptr_t;
inline constexpr SocketHandle kNoSocket = -1;

/// A TCP listener on 127.0.0.1 at a free port, which is stored in `port`.
/// Throws std::runtime_error when it cannot listen.
SocketHandle ListenOnLoopback(int backlog, int& port);

/// The next connection waiting at `listener`; kNoSocket when there is none.
SocketHandle AcceptConnection(SocketHandle listener);

/// Whether `socket` has something to read (a listener: a connection to
/// accept) within `timeoutMs`.
bool WaitReadable(SocketHandle socket, int timeoutMs);

/// One receive: the bytes read, 0 when the peer closed, negative on failure.
long ReceiveSome(SocketHandle socket, char* buffer, size_t size);

/// One send, raising no signal when the peer has gone: the bytes sent, or
/// negative on failure.
long SendSome(SocketHandle socket, const char* data, size_t size);

/// Starts a connect to 127.0.0.1:`port` without waiting for its answer.
SocketHandle StartConnect(int port);

void CloseSocketHandle(SocketHandle socket);

/// The system's own words for a refused connection, which a failed fetch
/// passes on.
std::string RefusedConnectionText();

}  // namespace quorvid::test
