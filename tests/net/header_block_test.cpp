#include "net/header_block.h"

#include <gtest/gtest.h>

namespace zarvex {
namespace {

constexpr const char* address = "http://c.y.qq.com/base/x.fcg?a=1";

TEST(HeaderBlock, CompletesTheCallersBlockWithTheMissingDefaults) {
  struct Case {
    const char* block;
    const char* completed;
  } cases[] = {
      {"",
       "Accept: */*\r\nReferer: http://c.y.qq.com/base/x.fcg?a=1\r\nAccept-Language: zh-cn\r\n"
       "Content-Type: application/x-www-form-urlencoded"},
      {"User-Agent: Dalvik/2.1.0\r\nReferer: https://y.qq.com/portal/profile.html",
       "User-Agent: Dalvik/2.1.0\r\nReferer: https://y.qq.com/portal/profile.html\r\n"
       "Accept: */*\r\nAccept-Language: zh-cn\r\nContent-Type: application/x-www-form-urlencoded"},
      {"Accept: text/html\r\nContent-Type: text/plain",
       "Accept: text/html\r\nContent-Type: text/plain\r\nReferer: "
       "http://c.y.qq.com/base/x.fcg?a=1\r\nAccept-Language: zh-cn"},
      // The names are looked for exactly: a lower-case "referer:" is not a Referer.
      {"referer: x",
       "referer: x\r\nAccept: */*\r\nReferer: http://c.y.qq.com/base/x.fcg?a=1\r\n"
       "Accept-Language: zh-cn\r\nContent-Type: application/x-www-form-urlencoded"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.block);
    EXPECT_EQ(complete_header_block(c.block, address), c.completed);
  }
}

TEST(HeaderBlock, AgentStringComesFromTheUserAgentLine) {
  struct Case {
    const char* block;
    std::string agent;
  } cases[] = {
      {"", std::string(default_agent)},
      {"Referer: x", std::string(default_agent)},
      {"User-Agent: Dalvik/2.1.0 (Linux)\r\nReferer: x", "Dalvik/2.1.0 (Linux)"},
      {"User-Agent:  Only (One) ", "Only (One)"},
      {"user-agent: lower\r\nReferer: x", "lower"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.block);
    EXPECT_EQ(agent_string(c.block), c.agent);
  }
}

}  // namespace
}  // namespace zarvex
