#include "net/request_address.h"

#include <gtest/gtest.h>

namespace zarvex {
namespace {

struct AddressCase {
  const char* address;
  bool valid;
  bool secure;
  const char* host;
  int port;
  const char* path;
};

TEST(RequestAddress, SplitsHostPortAndPath) {
  const AddressCase cases[] = {
      {"http://c.y.qq.com/base/fcgi-bin/fcg_music_express_mobile3.fcg?Mid=AbC&g_tk=1", true, false,
       "c.y.qq.com", 80, "/base/fcgi-bin/fcg_music_express_mobile3.fcg?Mid=AbC&g_tk=1"},
      {"HTTPS://Api.Example.COM/Soso/Search?W=%E4", true, true, "api.example.com", 443,
       "/Soso/Search?W=%E4"},
      {"http://127.0.0.1:8080/a/B", true, false, "127.0.0.1", 8080, "/a/B"},
      {"https://host.example:8443", true, true, "host.example", 8443, "/"},
      {"https://host.example?q=1", true, true, "host.example", 443, "/"},
      {"media.example/M500x.mp3?vkey=K", true, false, "media.example", 80, "/M500x.mp3?vkey=K"},
      // A host whose name also stands in the scheme is not found inside the scheme.
      {"http://p/x?y=1", true, false, "p", 80, "/x?y=1"},
      {"http://http/index", true, false, "http", 80, "/index"},
      {"http://host.example:0/", false, false, "host.example", 0, "/"},
      {"http://host.example:70000/", false, false, "host.example", 0, "/"},
      {"http://host.example:8o/", false, false, "host.example", 0, "/"},
      {"http://user@other.example/", false, false, "user@other.example", 80, "/"},
      {"http:///path", false, false, "", 80, "/path"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.address);
    RequestAddress a = split_request_address(c.address);
    EXPECT_EQ(a.valid, c.valid);
    EXPECT_EQ(a.host, c.host);
    if (c.valid) {
      EXPECT_EQ(a.secure, c.secure);
      EXPECT_EQ(a.port, c.port);
      EXPECT_EQ(a.path, c.path);
      EXPECT_EQ(connection_url(a), std::string(c.secure ? "https://" : "http://") + c.host + ":" +
                                       std::to_string(c.port) + c.path);
    } else {
      EXPECT_EQ(connection_url(a), "");
    }
  }
}

}  // namespace
}  // namespace zarvex
