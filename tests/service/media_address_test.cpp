#include "service/media_address.h"

#include <gtest/gtest.h>

#include "net/loopback_server.h"

namespace zarvex {
namespace {

using test::LoopbackServer;

SessionRecord account() {
  SessionRecord session;
  session.uin = "12345";
  session.g_tk = "67890";
  return session;
}

TEST(MediaAddress, KeyIsTheTextAfterTheMarkerUpToTheNextQuote) {
  struct Case {
    std::string answer;
    const char* key;
  } cases[] = {
      {R"({"code":0,"data":{"items":[{"filename":"C400x.m4a","vkey":"ABC","x":1}]}})", "ABC"},
      {R"({"a":1,"vkey":"FIRST"},{"b":2,"vkey":"SECOND"})", "FIRST"},
      {R"({"a":1,"vkey":"UNCLOSED)", ""},
      {R"({"vkey":"NOCOMMA"})", ""},
      {R"({"a":1,"vkey":""})", ""},
      {"", ""},
      {std::string(R"({"a":1,"vkey":"K)") + '\0' + R"(LATE"})", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    EXPECT_EQ(extract_vkey(c.answer), c.key);
  }
}

TEST(MediaAddress, BuildsTheAddressOfEachQuality) {
  Endpoints endpoints;
  endpoints.media = "http://media.test:81";
  struct Case {
    int quality;
    const char* address;
  } cases[] = {
      {1, "http://media.test:81/M500MM.mp3?vkey=K&guid=1700000000123&uin=12345&fromtag=64"},
      {2, "http://media.test:81/M800MM.mp3?vkey=K&guid=1700000000123&uin=12345&fromtag=64"},
      {3, "http://media.test:81/A000MM.ape?vkey=K&guid=1700000000123&uin=12345&fromtag=64"},
      {4, "http://media.test:81/F000MM.flac?vkey=K&guid=1700000000123&uin=12345&fromtag=64"},
      {0, ""},
      {5, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.quality);
    EXPECT_EQ(build_media_address(c.quality, "MM", "K", "1700000000123", account(), endpoints),
              c.address);
  }
  EXPECT_EQ(build_media_address(4, "MM", "", "1700000000123", account(), endpoints),
            "http://media.test:81/F000MM.flac?vkey=&guid=1700000000123&uin=12345&fromtag=64");
}

TEST(MediaAddress, ResolveAsksForTheKeyWithTheSameGuidAndTheDalvikAgent) {
  LoopbackServer server([](const std::string&) {
    return LoopbackServer::answer(
        200, "", R"({"code":0,"data":{"items":[{"vkey":"V1"}]},"x":1,"vkey":"V2"})");
  });
  ASSERT_GT(server.port(), 0);
  Endpoints endpoints;
  endpoints.api_http = server.base();
  endpoints.site = "https://site.test";
  endpoints.media = "http://media.test";

  const std::string guid = "1700000000456";
  EXPECT_EQ(resolve_media_address(2, "SONGMID", guid, account(), "MEDIAMID", endpoints),
            "http://media.test/M800MEDIAMID.mp3?vkey=V2&guid=" + guid + "&uin=12345&fromtag=64");

  ASSERT_EQ(server.requests().size(), 1u);
  const std::string request = server.requests()[0];
  EXPECT_EQ(LoopbackServer::request_line(request),
            "GET /base/fcgi-bin/fcg_music_express_mobile3.fcg?g_tk=67890&loginUin=12345"
            "&hostUin=0&format=json&inCharset=utf8&outCharset=utf-8&notice=0&platform=yqq"
            "&needNewCode=0&cid=205361747&uin=12345&songmid=SONGMID&filename=C400SONGMID.m4a"
            "&guid=1700000000456 HTTP/1.1");
  const std::vector<std::string> lines = {
      "Host: 127.0.0.1:" + std::to_string(server.port()),
      "User-Agent: Dalvik/2.1.0 (Linux; U; Android 5.1.1; vivo x5s l Build/LMY48Z)",
      "Referer: https://site.test/portal/profile.html",
      "Accept: */*",
      "Accept-Language: zh-cn",
      "Content-Type: application/x-www-form-urlencoded"};
  EXPECT_EQ(LoopbackServer::header_lines(request), lines);
}

}  // namespace
}  // namespace zarvex
