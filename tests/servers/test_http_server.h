// A small HTTP/HTTPS server for tests: listens on 127.0.0.1 on a free port,
// serves each connection on a thread of its own, and lets each test
// script the raw bytes of every answer. Certificates are made at test time
// (test_tls.h).
#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "servers/test_socket.h"
#include "servers/test_tls.h"

namespace quorvid::test {

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
std::string OkResponse(std::string_view body);

class TestHttpServer {
 public:
  /// Serves plain HTTP, or TLS with `identity` when it is given.
  explicit TestHttpServer(Handler handler, const TestIdentity* identity = nullptr);
  ~TestHttpServer();
  TestHttpServer(const TestHttpServer&) = delete;
  TestHttpServer& operator=(const TestHttpServer&) = delete;

  int port() const { return port_; }
  /// "http://127.0.0.1:<port>" (or https) followed by `path`.
  std::string Url(const std::string& path, const std::string& host = "127.0.0.1") const;
  /// Every request head received so far, in order.
  std::vector<std::string> Requests();
  /// The server names the TLS clients sent ("" when a client sent none).
  std::vector<std::string> ServerNames();

 private:
  bool Stopping();
  void Serve();
  void ServeOne(SocketHandle client);

  Handler handler_;
  std::unique_ptr<TlsServerContext> tls_;
  SocketHandle listener_ = kNoSocket;
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
