#include "servers/test_http_server.h"

#include <chrono>

namespace quorvid::test {

std::string OkResponse(std::string_view body) {
  return "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
         std::to_string(body.size()) + "\r\n\r\n" + std::string(body);
}

TestHttpServer::TestHttpServer(Handler handler, const TestIdentity* identity)
    : handler_(std::move(handler)) {
  if (identity != nullptr)
    tls_ = std::make_unique<TlsServerContext>(*identity, [this](const std::string& name) {
      std::lock_guard<std::mutex> lock(mutex_);
      serverNames_.push_back(name);
    });
  listener_ = ListenOnLoopback(16, port_);
  thread_ = std::thread([this] { Serve(); });
}

TestHttpServer::~TestHttpServer() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  stopped_.notify_all();
  thread_.join();
  CloseSocketHandle(listener_);
}

std::string TestHttpServer::Url(const std::string& path, const std::string& host) const {
  return std::string(tls_ != nullptr ? "https" : "http") + "://" + host + ":" +
         std::to_string(port_) + path;
}

std::vector<std::string> TestHttpServer::Requests() {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

std::vector<std::string> TestHttpServer::ServerNames() {
  std::lock_guard<std::mutex> lock(mutex_);
  return serverNames_;
}

bool TestHttpServer::Stopping() {
  std::lock_guard<std::mutex> lock(mutex_);
  return stopping_;
}

void TestHttpServer::Serve() {
  while (!Stopping()) {
    if (!WaitReadable(listener_, 20)) continue;
    const SocketHandle client = AcceptConnection(listener_);
    if (client == kNoSocket) continue;
    // Each connection on its own thread, so a stalling answer does not
    // hold up the next request.
    workers_.emplace_back([this, client] {
      ServeOne(client);
      CloseSocketHandle(client);
    });
  }
  for (std::thread& worker : workers_) worker.join();
}

void TestHttpServer::ServeOne(SocketHandle client) {
  std::unique_ptr<TlsServerSession> session;
  if (tls_ != nullptr) {
    session = tls_->Accept(client);
    if (session == nullptr) return;
  }
  auto receive = [&](char* buffer, int size) -> long {
    if (session != nullptr) return session->Read(buffer, size);
    for (int waited = 0;; waited += 50) {
      if (WaitReadable(client, 50)) break;
      if (waited >= 5000 || Stopping()) return -1;
    }
    return ReceiveSome(client, buffer, static_cast<size_t>(size));
  };
  Exchange exchange;
  char buffer[4096];
  while (exchange.request.find("\r\n\r\n") == std::string::npos) {
    const long n = receive(buffer, sizeof buffer);
    if (n <= 0) break;
    exchange.request.append(buffer, static_cast<size_t>(n));
  }
  const size_t space = exchange.request.find(' ');
  if (space != std::string::npos)
    exchange.target =
        exchange.request.substr(space + 1, exchange.request.find(' ', space + 1) - space - 1);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back(exchange.request);
  }
  exchange.send_ = [&](std::string_view bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
      const long n =
          session != nullptr
              ? session->Write(bytes.data() + sent, static_cast<int>(bytes.size() - sent))
              : SendSome(client, bytes.data() + sent, bytes.size() - sent);
      if (n <= 0) return;
      sent += static_cast<size_t>(n);
    }
  };
  exchange.stall_ = [this] {
    std::unique_lock<std::mutex> lock(mutex_);
    stopped_.wait_for(lock, std::chrono::seconds(20), [this] { return stopping_; });
  };
  handler_(exchange);
}

}  // namespace quorvid::test
