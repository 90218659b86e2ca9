#pragma once
// A scripted music service for the client's tests: answers each request whose path starts
// with a registered prefix with that prefix's body (UTF-8), and records the requests.

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "net/loopback_server.h"

namespace zarvex::test {

class FakeService {
 public:
  FakeService()
      : server_([this](const std::string& request) { return answer(request); }, 64, 120) {}

  // An empty body closes the connection without an answer.
  void serve(const std::string& path_prefix, std::string body, std::string extra_headers = {}) {
    std::lock_guard lock(mutex_);
    routes_[path_prefix] = {std::move(body), std::move(extra_headers)};
  }

  std::string base() const { return server_.base(); }
  bool ok() const { return server_.port() > 0; }
  // Request lines (method, target, version) in arrival order.
  std::vector<std::string> request_lines() const {
    std::vector<std::string> lines;
    for (const auto& r : server_.requests())
      lines.push_back(LoopbackServer::request_line(r));
    return lines;
  }
  std::vector<std::string> requests() const { return server_.requests(); }

 private:
  std::string answer(const std::string& request) {
    std::size_t start = request.find(' ') + 1;
    std::string target = request.substr(start, request.find(' ', start) - start);
    std::lock_guard lock(mutex_);
    for (const auto& [prefix, route] : routes_) {
      if (target.rfind(prefix, 0) != 0) continue;
      if (route.first.empty()) return {};
      return LoopbackServer::answer(200, route.second, route.first);
    }
    return LoopbackServer::answer(404, "", "");
  }

  std::mutex mutex_;
  std::map<std::string, std::pair<std::string, std::string>> routes_;
  LoopbackServer server_;
};

}  // namespace zarvex::test
