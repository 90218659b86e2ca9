// The stand-in's pages and its life as a process: login, avatar, announcement, the settings
// file it writes for the program, and how it ends.

#include <gtest/gtest.h>
#include <png.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <thread>

#include "platform/file_system.h"
#include "standin_fetch.h"
#include "support/standin_process.h"

namespace zarvex::test {
namespace {

const char kFragment[] = "#stat=y_new.top.pop.logout";

std::string url_encode(const std::string& text) {
  std::string out;
  static const char hex[] = "0123456789ABCDEF";
  for (unsigned char c : text) {
    if (std::isalnum(c) || c == '.' || c == '-' || c == '_') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

// Name → (value, attributes) of every Set-Cookie header.
std::map<std::string, std::pair<std::string, std::string>> cookies_of(const Fetched& got) {
  std::map<std::string, std::pair<std::string, std::string>> out;
  for (const auto& line : got.header_values("Set-Cookie")) {
    const auto eq = line.find('=');
    const auto semi = line.find(';');
    out[line.substr(0, eq)] = {line.substr(eq + 1, semi - eq - 1),
                               semi == std::string::npos ? "" : line.substr(semi)};
  }
  return out;
}

std::string text_between(const std::string& text, const std::string& left,
                         const std::string& right) {
  const auto a = text.find(left);
  if (a == std::string::npos) return {};
  const auto b = text.find(right, a + left.size());
  if (b == std::string::npos) return {};
  return text.substr(a + left.size(), b - a - left.size());
}

class StandinSite : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { standin_ = new StandinProcess(); }
  static void TearDownTestSuite() {
    delete standin_;
    standin_ = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(standin_->ok()) << standin_->startup_output(); }

  static Fetched submit(const std::string& account, const std::string& s_url) {
    return fetch(standin_->http_base() + "/cgi-bin/login_submit?u=" + url_encode(account) +
                 "&p=secret&s_url=" + url_encode(s_url));
  }

  static StandinProcess* standin_;
};

StandinProcess* StandinSite::standin_ = nullptr;

TEST_F(StandinSite, LoginSetsScriptReadableAccountCookiesAndReturns) {
  struct Case {
    std::string account;
    std::string uin_cookie;  // empty: the login is refused
  };
  const Case cases[] = {
      {"12345", "o0000012345"},
      {"1234567890", "o1234567890"},
      {"00042", "o0000000042"},
      {"123456789012", "o123456789012"},
      {" 777777 ", "o0000777777"},
      {"", ""},
      {"abc", ""},
      {"12a45", ""},
      {"0", ""},
      {"1234567890123456", ""},
  };
  const std::string back = standin_->https_base() + "/" + kFragment;
  for (const Case& c : cases) {
    SCOPED_TRACE("account '" + c.account + "'");
    const Fetched got = submit(c.account, back);
    ASSERT_TRUE(got.ok) << got.error;
    const auto cookies = cookies_of(got);
    if (c.uin_cookie.empty()) {
      EXPECT_EQ(got.status, 200);  // the form again, with a hint
      EXPECT_NE(got.body.find("<form"), std::string::npos);
      EXPECT_EQ(cookies.count("uin"), 0u);
      EXPECT_EQ(cookies.count("skey"), 0u);
      continue;
    }
    EXPECT_EQ(got.status, 302);
    EXPECT_EQ(got.header_values("Location"), std::vector<std::string>{back});
    ASSERT_EQ(cookies.count("uin"), 1u);
    ASSERT_EQ(cookies.count("skey"), 1u);
    EXPECT_EQ(cookies.at("uin").first, c.uin_cookie);
    EXPECT_TRUE(std::regex_match(cookies.at("skey").first, std::regex("@[A-Za-z0-9]{9}")))
        << cookies.at("skey").first;
    for (const char* name : {"uin", "skey"}) {
      EXPECT_EQ(cookies.at(name).second.find("HttpOnly"), std::string::npos) << name;
    }
  }
}

TEST_F(StandinSite, LoginReturnsOnlyToThisMachineWithTheCompletionFragment) {
  const std::string port = std::to_string(standin_->https_port());
  const std::string own = "https://127.0.0.1:" + port;
  struct Case {
    std::string s_url;
    std::string location;  // empty: refused
  };
  const Case cases[] = {
      {own + "/" + kFragment, own + "/" + kFragment},
      {own, own + "/" + kFragment},
      {own + "/#other", own + "/" + kFragment},
      {"https://localhost:" + port + "/player?x=1",
       "https://localhost:" + port + "/player/" + kFragment},
      {own + "/a/#b", own + "/a/" + kFragment},
      {"http://LOCALHOST:1/", "http://LOCALHOST:1/" + std::string(kFragment)},
      {"https://y.qq.com/", ""},
      {"https://127.0.0.1.example.com/", ""},
      {"https://127.0.0.1@example.com/", ""},
      {"javascript:alert(1)", ""},
      {own + "/\r\nX-Injected: 1", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.s_url);
    const Fetched got = submit("12345", c.s_url);
    ASSERT_TRUE(got.ok) << got.error;
    if (c.location.empty()) {
      EXPECT_EQ(got.status, 400);
      EXPECT_TRUE(got.header_values("Location").empty());
      EXPECT_EQ(cookies_of(got).count("uin"), 0u);
    } else {
      EXPECT_EQ(got.status, 302);
      EXPECT_EQ(got.header_values("Location"), std::vector<std::string>{c.location});
      EXPECT_NE(c.location.find(std::string("/") + kFragment), std::string::npos);
    }
  }
}

TEST_F(StandinSite, LoginPageCarriesTheReturnAddressSafely) {
  const std::string s_url = standin_->https_base() + "/\"><script>alert(1)</script>" + kFragment;
  const Fetched got = fetch(standin_->http_base() +
                            "/cgi-bin/login?daid=384&pt_no_auth=1&style=11&appid=1006102&s_url=" +
                            url_encode(s_url) + "&low_login=1&hln_css=&hide_close_icon=1");
  ASSERT_EQ(got.status, 200);
  EXPECT_NE(got.body.find("action=\"/cgi-bin/login_submit\""), std::string::npos);
  EXPECT_EQ(got.body.find("<script>"), std::string::npos);
  // The page's own cookie comes first, so an account cookie never opens the cookie text.
  EXPECT_EQ(cookies_of(got).count("pgv_pvid"), 1u);
  EXPECT_EQ(fetch(standin_->https_base() + "/", standin_->ca_file()).status, 200);
}

TEST_F(StandinSite, AvatarIsASquarePngOfTheAskedSizeColouredByAccount) {
  auto top_left = [&](const std::string& uin, int spec, int& width, int& height) {
    const Fetched got =
        fetch(standin_->http_base() + "/headimg_dl?bs=" + uin + "&dst_uin=" + uin +
              "&dst_uin=" + uin + "&;dst_uin=" + uin + "&spec=" + std::to_string(spec) +
              "&url_enc=0&referer=bu_interface&term_type=PC");
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (got.status != 200 ||
        !png_image_begin_read_from_memory(&image, got.body.data(), got.body.size())) {
      ADD_FAILURE() << "no PNG for " << uin;
      return std::uint32_t{0};
    }
    image.format = PNG_FORMAT_RGBA;
    std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
    const bool read = png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr);
    EXPECT_TRUE(read);
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    return static_cast<std::uint32_t>(pixels[0] << 16 | pixels[1] << 8 | pixels[2]);
  };
  for (const int spec : {100, 40}) {
    int width = 0;
    int height = 0;
    const auto first = top_left("12345", spec, width, height);
    EXPECT_EQ(width, spec);
    EXPECT_EQ(height, spec);
    int w2 = 0;
    int h2 = 0;
    EXPECT_NE(first, top_left("54321", spec, w2, h2)) << "accounts look alike";
  }
}

TEST(StandinAnnouncement, PublishesVersionAndDownloadAddress) {
  struct Case {
    std::vector<std::string> args;
    std::string version;
  };
  const Case cases[] = {{{}, "1.9.1"}, {{"--announce-version", "2.0.3"}, "2.0.3"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    const std::filesystem::path home =
        std::filesystem::temp_directory_path() / ("zarvex-announce-" + std::to_string(::getpid()));
    auto args = c.args;
    args.insert(args.end(), {"--write-config", home.string()});
    StandinProcess configured(args);
    ASSERT_TRUE(configured.ok()) << configured.startup_output();
    // The address comes from the settings the stand-in wrote, as the program reads it.
    std::ifstream ini(home / "data" / "musicsetting.ini");
    std::string line;
    std::string announce;
    while (std::getline(ini, line)) {
      if (line.rfind("announce=", 0) == 0) announce = line.substr(9);
    }
    if (!announce.empty() && announce.back() == '\r') announce.pop_back();
    std::filesystem::remove_all(home);
    ASSERT_FALSE(announce.empty());
    const Fetched page = fetch(announce);
    ASSERT_EQ(page.status, 200);
    EXPECT_EQ(text_between(page.body, "[软件版本]", "[/软件版本]"), c.version);
    const std::string download = text_between(page.body, "[软件下载地址1]", "[/软件下载地址1]");
    EXPECT_EQ(download.rfind(configured.http_base(), 0), 0u) << download;
    EXPECT_EQ(fetch(download).status, 200);
  }
}

// Section → key → value of an INI text, and the number of times each section header occurs.
struct Ini {
  std::map<std::string, std::map<std::string, std::string>> values;
  std::map<std::string, int> headers;
};

Ini read_ini(const std::string& text) {
  Ini ini;
  std::istringstream in(text);
  std::string line;
  std::string section;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line.front() == '[') {
      section = line.substr(1, line.find(']') - 1);
      ++ini.headers[section];
    } else if (const auto eq = line.find('='); eq != std::string::npos) {
      ini.values[section][line.substr(0, eq)] = line.substr(eq + 1);
    }
  }
  return ini;
}

TEST(StandinWriteConfig, PointsEveryEndpointHereAndKeepsOtherSections) {
  // GBK bytes of a download folder and an older [service] section in the middle.
  const std::string kept_before = "[musicset]\r\nsetdir=/music/\xd2\xf4\xc0\xd6\r\ndownth=8\r\n";
  const std::string kept_after = "[other]\r\nx=1\r\n";
  const std::string existing =
      kept_before + "[Service]\r\napi_https=https://c.y.qq.com\r\nstale=1\r\n" + kept_after;
  for (const bool fresh : {true, false}) {
    SCOPED_TRACE(fresh ? "new file" : "existing file");
    const std::filesystem::path home =
        std::filesystem::temp_directory_path() /
        ("zarvex-config-" + std::to_string(::getpid()) + (fresh ? "-new" : "-old"));
    std::filesystem::remove_all(home);
    if (!fresh) {
      std::filesystem::create_directories(home / "data");
      std::ofstream(home / "data" / "musicsetting.ini", std::ios::binary) << existing;
    }
    std::string text;
    {
      StandinProcess standin({"--write-config", home.string()});
      ASSERT_TRUE(standin.ok()) << standin.startup_output();
      text = read_file((home / "data" / "musicsetting.ini").string()).value_or("");
      const Ini ini = read_ini(text);
      ASSERT_EQ(ini.values.count("service"), 1u) << text;
      const auto& service = ini.values.at("service");
      const std::map<std::string, std::string> expected = {
          {"api_https", standin.https_base()}, {"api_http", standin.http_base()},
          {"media", standin.http_base()},      {"site", standin.https_base()},
          {"login", standin.http_base()},      {"avatar", standin.http_base()},
          {"ca_file", standin.ca_file()},      {"cookie_hosts", "127.0.0.1"},
      };
      for (const auto& [key, value] : expected) {
        EXPECT_EQ(service.count(key) ? service.at(key) : "(missing)", value) << key;
      }
      EXPECT_EQ(service.count("stale"), 0u);
      ASSERT_EQ(service.count("announce"), 1u);
      EXPECT_EQ(service.at("announce").rfind(standin.http_base() + "/", 0), 0u);
      // The endpoints answer.
      EXPECT_EQ(fetch(service.at("login") + "/cgi-bin/login").status, 200);
      EXPECT_EQ(fetch(service.at("api_https") + "/soso/fcgi-bin/client_search_cp?w=%61",
                      service.at("ca_file"))
                    .status,
                200);
    }
    if (!fresh) {
      EXPECT_EQ(text.rfind(kept_before, 0), 0u) << text;
      EXPECT_NE(text.find(kept_after), std::string::npos) << text;
      const Ini ini = read_ini(text);
      EXPECT_EQ(ini.headers.count("Service") + ini.headers.count("service"), 1u) << text;
    }
    std::filesystem::remove_all(home);
  }
}

bool answers(int port) {
  return fetch("http://127.0.0.1:" + std::to_string(port) + "/").ok;
}

TEST(StandinLifetime, EndsByItselfAfterMaxSecondsAndCleansUp) {
  StandinProcess standin({}, 1);
  ASSERT_TRUE(standin.ok()) << standin.startup_output();
  bool ended = false;
  for (int i = 0; i < 150 && !ended; ++i) {  // at most about 30 s
    ended = !answers(standin.http_port());
    if (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  EXPECT_TRUE(ended);
  EXPECT_FALSE(std::filesystem::exists(standin.ca_file()));
}

TEST(StandinLifetime, TerminationRemovesTheTemporaryCertificates) {
  std::string ca;
  int port = 0;
  {
    StandinProcess standin;
    ASSERT_TRUE(standin.ok()) << standin.startup_output();
    ca = standin.ca_file();
    port = standin.http_port();
    ASSERT_TRUE(std::filesystem::exists(ca));
  }
  EXPECT_FALSE(std::filesystem::exists(ca));
  EXPECT_FALSE(answers(port));
}

TEST(StandinLifetime, KeepsTheAuthorityOfAGivenCertificateFolder) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("zarvex-certs-" + std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  std::string first_ca;
  for (int run = 0; run < 2; ++run) {
    StandinProcess standin({"--cert-dir", dir.string()});
    ASSERT_TRUE(standin.ok()) << standin.startup_output();
    EXPECT_EQ(std::filesystem::path(standin.ca_file()).parent_path(), dir);
    const std::string ca = read_file(standin.ca_file()).value_or("");
    if (run == 0) first_ca = ca;
    EXPECT_EQ(ca, first_ca) << "run " << run;
    EXPECT_EQ(fetch(standin.https_base() + "/", standin.ca_file()).status, 200) << "run " << run;
  }
  EXPECT_TRUE(std::filesystem::exists(dir / "ca.pem"));
  std::filesystem::remove_all(dir);
}

TEST(StandinLifetime, RefusesBadCommandLinesWithoutListening) {
  const std::vector<std::vector<std::string>> cases = {
      {"--no-such-option"},  {"--rate-limit", "fast"}, {"--host", "10.1.2.3"},
      {"--host", "0.0.0.0"}, {"--write-config"},
  };
  for (const auto& args : cases) {
    StandinProcess standin(args);
    EXPECT_FALSE(standin.ok()) << args[0];
  }
}

}  // namespace
}  // namespace zarvex::test
