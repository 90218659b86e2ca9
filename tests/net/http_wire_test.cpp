// What the transport puts on the wire and what it makes of the answers, against a loopback
// server that records each request.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/http.h"
#include "net/loopback_server.h"

namespace zarvex {
namespace {

using test::LoopbackServer;

const HttpOptions no_options{};

TEST(HttpWire, FetchWithHeadersSendsTheCompletedBlockInOrder) {
  LoopbackServer server(
      [](const std::string&) { return LoopbackServer::answer(200, "", "{\"k\":1}"); });
  ASSERT_GT(server.port(), 0);
  const std::string host = "127.0.0.1:" + std::to_string(server.port());
  const std::string address = server.base() + "/base/fcgi-bin/Key.fcg?G_tk=5&mid=AbC";
  const std::string dalvik = "Dalvik/2.1.0 (Linux; U; Android 5.1.1; vivo x5s l Build/LMY48Z)";

  struct Case {
    std::string block;
    std::vector<std::string> lines;
  } cases[] = {
      {"",
       {"Host: " + host, "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)",
        "Accept: */*", "Referer: " + address, "Accept-Language: zh-cn",
        "Content-Type: application/x-www-form-urlencoded"}},
      {"User-Agent: " + dalvik + "\r\nReferer: https://y.qq.com/portal/profile.html",
       {"Host: " + host, "User-Agent: " + dalvik, "Referer: https://y.qq.com/portal/profile.html",
        "Accept: */*", "Accept-Language: zh-cn",
        "Content-Type: application/x-www-form-urlencoded"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.block);
    EXPECT_EQ(fetch_with_headers(address, c.block, no_options), "{\"k\":1}");
    ASSERT_FALSE(server.requests().empty());
    const std::string request = server.requests().back();
    EXPECT_EQ(LoopbackServer::request_line(request),
              "GET /base/fcgi-bin/Key.fcg?G_tk=5&mid=AbC HTTP/1.1");
    EXPECT_EQ(LoopbackServer::header_lines(request), c.lines);
  }
}

TEST(HttpWire, FetchWithCookiesSendsCookieFirstAndMergesTheAnswersCookies) {
  LoopbackServer server([](const std::string&) {
    return LoopbackServer::answer(200, "Set-Cookie: b=3; Path=/\r\nset-cookie: c=4\r\n", "body");
  });
  ASSERT_GT(server.port(), 0);
  const std::string host = "127.0.0.1:" + std::to_string(server.port());
  const std::string address = server.base() + "/rsc/List?hostuin=1";
  const std::vector<std::string> defaults = {
      "Accept: */*", "Referer: " + address, "Accept-Language: zh-cn",
      "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)",
      "Content-Type: application/x-www-form-urlencoded"};

  std::string cookie = "a=1; b=2";
  EXPECT_EQ(fetch_with_cookies(address, &cookie, no_options), "body");
  std::vector<std::string> expected = {"Host: " + host, "Cookie: a=1; b=2"};
  expected.insert(expected.end(), defaults.begin(), defaults.end());
  EXPECT_EQ(LoopbackServer::header_lines(server.requests().at(0)), expected);
  EXPECT_EQ(cookie, "b=3; c=4; a=1");

  // Without a cookie text (absent or empty) no Cookie line goes out at all.
  std::string empty;
  EXPECT_EQ(fetch_with_cookies(address, nullptr, no_options), "body");
  EXPECT_EQ(fetch_with_cookies(address, &empty, no_options), "body");
  expected = {"Host: " + host};
  expected.insert(expected.end(), defaults.begin(), defaults.end());
  EXPECT_EQ(LoopbackServer::header_lines(server.requests().at(1)), expected);
  EXPECT_EQ(LoopbackServer::header_lines(server.requests().at(2)), expected);
  EXPECT_EQ(empty, "b=3; c=4");
}

TEST(HttpWire, LineBreaksInACookieTextCannotAddHeaders) {
  LoopbackServer server([](const std::string&) { return LoopbackServer::answer(200, "", "ok"); });
  ASSERT_GT(server.port(), 0);
  std::string cookie = "a=1\r\nX-Injected: yes";
  EXPECT_EQ(fetch_with_cookies(server.base() + "/", &cookie, no_options), "ok");
  for (const auto& line : LoopbackServer::header_lines(server.requests().at(0))) {
    EXPECT_NE(line.rfind("X-Injected", 0), 0u) << line;
  }
}

TEST(HttpWire, AnswersOfEveryKindBecomeBodies) {
  LoopbackServer server([](const std::string& request) {
    std::string line = LoopbackServer::request_line(request);
    if (line.find(" /moved ") != std::string::npos) {
      return LoopbackServer::answer(302, "Location: /final\r\n", "moved away");
    }
    if (line.find(" /final ") != std::string::npos) return LoopbackServer::answer(200, "", "final");
    if (line.find(" /missing ") != std::string::npos) {
      return LoopbackServer::answer(404, "", "not here");
    }
    return std::string();  // /silent: the connection closes without an answer
  });
  ASSERT_GT(server.port(), 0);
  struct Case {
    const char* path;
    const char* body;
    long status;
  } cases[] = {{"/moved", "final", 200}, {"/missing", "not here", 404}, {"/silent", "", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    HttpOutcome outcome;
    EXPECT_EQ(fetch_with_cookies(server.base() + c.path, nullptr, no_options, &outcome), c.body);
    EXPECT_EQ(outcome.status, c.status);
    EXPECT_EQ(outcome.answered, c.status != 0);
    EXPECT_EQ(fetch_with_headers(server.base() + c.path, "", no_options, &outcome), c.body);
    EXPECT_EQ(outcome.status, c.status);
  }
}

TEST(HttpWire, ProbeReadsTheContentLengthOfA200Answer) {
  struct Case {
    const char* path;
    std::string answer;
    std::int64_t result;
  } cases[] = {
      {"/ok", "HTTP/1.1 200 OK\r\nContent-Length: 12345678\r\nConnection: close\r\n\r\n", 12345678},
      {"/big", "HTTP/1.1 200 OK\r\nContent-Length: 5000000000\r\nConnection: close\r\n\r\n",
       5000000000},
      {"/nolength", "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n", 0},
      {"/forbidden", "HTTP/1.1 403 Forbidden\r\nContent-Length: 9\r\nConnection: close\r\n\r\n",
       -1},
      {"/missing", "HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\nConnection: close\r\n\r\n", -1},
      {"/moved", "HTTP/1.1 301 Moved\r\nLocation: /ok\r\nConnection: close\r\n\r\n", 12345678},
  };
  LoopbackServer server([&cases](const std::string& request) {
    for (const auto& c : cases) {
      if (request.find(std::string(" ") + c.path + " ") != std::string::npos) return c.answer;
    }
    return std::string();
  });
  ASSERT_GT(server.port(), 0);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(probe_content_length(server.base() + c.path, no_options), c.result);
  }
  const std::string first = server.requests().at(0);
  EXPECT_EQ(LoopbackServer::request_line(first), "HEAD /ok HTTP/1.1");
  const std::vector<std::string> lines = {
      "Host: 127.0.0.1:" + std::to_string(server.port()),
      "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1)",
      "Accept-Language: zh-cn", "Connection: Keep-Alive"};
  EXPECT_EQ(LoopbackServer::header_lines(first), lines);
}

TEST(HttpWire, AnUnreachableOrUnusableAddressFailsQuietly) {
  int closed_port;
  {
    LoopbackServer gone([](const std::string&) { return std::string(); });
    closed_port = gone.port();
  }
  const std::string unreachable = "http://127.0.0.1:" + std::to_string(closed_port) + "/x";
  for (const std::string& address : {unreachable, std::string("http://bad host/x")}) {
    SCOPED_TRACE(address);
    std::string cookie = "a=1";
    HttpOutcome outcome{true, 200, "none"};
    EXPECT_EQ(fetch_with_headers(address, "", no_options, &outcome), "");
    EXPECT_FALSE(outcome.answered);
    EXPECT_FALSE(outcome.error.empty());
    outcome = {true, 200, "none"};
    EXPECT_EQ(fetch_with_cookies(address, &cookie, no_options, &outcome), "");
    EXPECT_FALSE(outcome.answered);
    EXPECT_EQ(probe_content_length(address, no_options), -1);
  }
}

}  // namespace
}  // namespace zarvex
