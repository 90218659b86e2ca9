#include "net/cookies.h"

#include <gtest/gtest.h>

namespace zarvex {
namespace {

TEST(Cookies, CollectTakesTheFirstPairOfEverySetCookieLine) {
  struct Case {
    const char* headers;
    const char* cookies;
  } cases[] = {
      {"set-cookie: k=v; path=/\r\nSET-COOKIE: m=n\r\n", "k=v; m=n"},
      {"Content-Type: text/html\r\nSet-Cookie: a=1; Domain=qq.com; Path=/\r\nServer: x\r\n"
       "Set-Cookie:  b=2 \r\n",
       "a=1; b=2"},
      {"Content-Type: text/html\r\nContent-Length: 3\r\n", ""},
      {"", ""},
      // A GBK value passes through unchanged.
      {"Set-Cookie: n=\xC4\xE3\xBA\xC3; path=/\r\n", "n=\xC4\xE3\xBA\xC3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.headers);
    EXPECT_EQ(collect_set_cookies(c.headers), c.cookies);
  }
}

TEST(Cookies, MergePutsNewCookiesFirstAndDropsDeletedAndRepeatedOnes) {
  struct Case {
    const char* old_text;
    const char* new_text;
    const char* merged;
    const char* new_after;
  } cases[] = {
      {"a=1; b=2", "b=3", "b=3; a=1", "b=3"},
      {"a=1; b=2", "b=deleted", "a=1", "b=deleted"},
      {"a=1; a=2", "", "a=1", ""},
      {"", "x=1; x=1", "x=1", "x=1;x=1"},
      {"", "x=1; x=2", "x=1; x=2", "x=1;x=2"},
      {"a=one two; c=3", "", "a=onetwo; c=3", ""},
      {"", "", "", ""},
      {"p=\xA1\xA1q", "z = 9", "z=9; p=q", "z=9"},
      {"uin=o123; skey=@abc", "skey=@def; pt=1", "skey=@def; pt=1; uin=o123", "skey=@def;pt=1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.old_text) + " + " + c.new_text);
    std::string old_text = c.old_text;
    std::string new_text = c.new_text;
    std::string result = merge_cookies(old_text, new_text);
    EXPECT_EQ(result, c.merged);
    EXPECT_EQ(old_text, c.merged);
    EXPECT_EQ(new_text, c.new_after);
  }
}

}  // namespace
}  // namespace zarvex
