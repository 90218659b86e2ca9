#pragma once
// A tiny HTTP server for tests: listens on 127.0.0.1 on an ephemeral port, records each raw
// request and answers it with the text its handler returns. It serves a bounded number of
// connections within a bounded time and then stops by itself; the destructor stops it early.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zarvex::test {

class LoopbackServer {
 public:
  // Gets the raw request (head only: these requests carry no body); returns the whole raw
  // answer. An empty answer closes the connection without a word.
  using Handler = std::function<std::string(const std::string& request)>;

  explicit LoopbackServer(Handler handler, int max_connections = 16, int max_seconds = 60)
      : handler_(std::move(handler)) {
    listen_fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    if (listen_fd_ < 0 ||
        ::bind(listen_fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listen_fd_, 16) != 0 ||
        ::getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
      return;
    }
    port_ = ntohs(addr.sin_port);
    thread_ =
        std::thread([this, max_connections, max_seconds] { serve(max_connections, max_seconds); });
  }

  ~LoopbackServer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (listen_fd_ >= 0) ::close(listen_fd_);
  }

  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  int port() const { return port_; }
  std::string base() const { return "http://127.0.0.1:" + std::to_string(port_); }
  std::vector<std::string> requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
  }

  // A complete answer with a status line, extra header lines (each ending in CR LF) and body.
  static std::string answer(int status, const std::string& headers, const std::string& body,
                            bool with_length = true) {
    std::string out = "HTTP/1.1 " + std::to_string(status) + " X\r\n" + headers;
    if (with_length) out += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    return out + "Connection: close\r\n\r\n" + body;
  }

  // The request line of a raw request (method, target, version).
  static std::string request_line(const std::string& request) {
    return request.substr(0, request.find("\r\n"));
  }

  // The header lines of a raw request, without the request line.
  static std::vector<std::string> header_lines(const std::string& request) {
    std::vector<std::string> lines;
    std::size_t at = request.find("\r\n");
    while (at != std::string::npos) {
      std::size_t next = request.find("\r\n", at + 2);
      if (next == std::string::npos || next == at + 2) break;
      lines.push_back(request.substr(at + 2, next - at - 2));
      at = next;
    }
    return lines;
  }

 private:
  void serve(int max_connections, int max_seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(max_seconds);
    for (int served = 0; served < max_connections && !stop_;) {
      if (std::chrono::steady_clock::now() > deadline) break;
      pollfd p{listen_fd_, POLLIN, 0};
      if (::poll(&p, 1, 50) <= 0) continue;
      int fd = ::accept(listen_fd_, nullptr, nullptr);
      if (fd < 0) continue;
      ++served;
      std::string request = read_head(fd);
      {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
      }
      std::string reply = handler_(request);
      for (std::size_t sent = 0; sent < reply.size();) {
        ssize_t n = ::send(fd, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += static_cast<std::size_t>(n);
      }
      ::shutdown(fd, SHUT_WR);
      ::close(fd);
    }
  }

  // Reads until the blank line that ends the head, for at most 5 seconds.
  std::string read_head(int fd) {
    std::string data;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (data.find("\r\n\r\n") == std::string::npos && !stop_ &&
           std::chrono::steady_clock::now() < deadline) {
      pollfd p{fd, POLLIN, 0};
      if (::poll(&p, 1, 50) <= 0) continue;
      char buf[4096];
      ssize_t n = ::recv(fd, buf, sizeof buf, 0);
      if (n <= 0) break;
      data.append(buf, static_cast<std::size_t>(n));
    }
    return data;
  }

  Handler handler_;
  int listen_fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
};

}  // namespace zarvex::test
