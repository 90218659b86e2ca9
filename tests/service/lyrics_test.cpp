#include "service/lyrics.h"

#include <gtest/gtest.h>

#include "fake_service.h"
#include "platform/codepage.h"

namespace zarvex {
namespace {

TEST(Lyrics, CharacterReferencesAreDecodedOnce) {
  struct Case {
    const char* lyric;
    const char* decoded;
  } cases[] = {
      {"[00&#58;12&#46;34]Hello&#32;World", "[00:12.34]Hello World"},
      {"a&#13;&#10;b", "a\r\nb"},
      {"&#38;#58;", "&#58;"},
      {"&#40;x&#41;&#45;&#39;y&#39;", "(x)-'y'"},
      {"&#60;&#62;&amp;", "&#60;&#62;&amp;"},
      {"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lyric);
    EXPECT_EQ(decode_lyric_references(c.lyric), c.decoded);
  }
}

TEST(Lyrics, FetchDecodesTheLyricAndAppendsTheFooter) {
  test::FakeService service;
  ASSERT_TRUE(service.ok());
  Endpoints endpoints;
  endpoints.api_https = service.base();
  endpoints.maker_site = "maker.test";
  SessionRecord session;
  session.uin = "4321";
  session.g_tk = "999";
  const std::string footer = "\r\n[by:Zarvex maker.test]";

  struct Case {
    const char* what;
    std::string body;
    std::string lyrics;
  } cases[] = {
      {"lyrics",
       "jsonp1({\"retcode\":0,\"lyric\":\"[00&#58;01&#46;00]\\u4e2d&#32;\xed\x95\x9c&#13;&#10;"
       "[00&#58;02&#46;00]\\\"q\\\"\"})",
       "[00:01.00]\xD6\xD0 ?\r\n[00:02.00]\"q\"" + footer},
      {"no lyrics", "jsonp1({\"retcode\":0})", footer},
      {"no answer", "", footer},
      {"garbage", "<html>busy</html>", footer},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    service.serve("/lyric/", c.body);
    EXPECT_EQ(fetch_lyrics("7788", session, endpoints), c.lyrics);
  }
  EXPECT_EQ(service.request_lines().at(0),
            "GET /lyric/fcgi-bin/fcg_query_lyric.fcg?nobase64=1&musicid=7788&callback=jsonp1"
            "&g_tk=4321&jsonpCallback=jsonp1&loginUin=0&hostUin=0&format=jsonp&inCharset=utf8"
            "&outCharset=utf-8&notice=0&platform=yqq&needNewCode=0 HTTP/1.1");
}

}  // namespace
}  // namespace zarvex
