// The stand-in's music service answers: shapes the program reads, over HTTP and verified HTTPS.

#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <string>

#include "standin_fetch.h"
#include "support/standin_process.h"

namespace zarvex::test {
namespace {

// The key the way the program reads it: between `,"vkey":"` and the next quote.
bool read_vkey(const std::string& body, std::string& key) {
  const std::string marker = ",\"vkey\":\"";
  const auto at = body.find(marker);
  if (at == std::string::npos) return false;
  const auto end = body.find('"', at + marker.size());
  if (end == std::string::npos) return false;
  key = body.substr(at + marker.size(), end - at - marker.size());
  return true;
}

const char kFixedKeys[] =
    "&format=jsonp&inCharset=utf8&outCharset=utf-8&notice=0&platform=yqq&needNewCode=0";

class StandinService : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { standin_ = new StandinProcess(); }
  static void TearDownTestSuite() {
    delete standin_;
    standin_ = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(standin_->ok()) << standin_->startup_output(); }

  static std::string http(const std::string& path) { return standin_->http_base() + path; }

  // The JSON inside callback(...), parsed; fails the test when the wrapper is not exact.
  static void get_jsonp(const std::string& url, const std::string& callback,
                        rapidjson::Document& doc, const std::string& ca = {}) {
    const Fetched got = fetch(url, ca);
    ASSERT_TRUE(got.ok) << got.error;
    ASSERT_EQ(got.status, 200);
    ASSERT_GT(got.body.size(), callback.size() + 2);
    ASSERT_EQ(got.body.substr(0, callback.size() + 1), callback + "(") << got.body.substr(0, 40);
    ASSERT_EQ(got.body.back(), ')');
    const std::string inner =
        got.body.substr(callback.size() + 1, got.body.size() - callback.size() - 2);
    doc.Parse(inner.c_str(), inner.size());
    ASSERT_FALSE(doc.HasParseError()) << inner.substr(0, 200);
    ASSERT_TRUE(doc.IsObject());
  }

  static std::string search_url(const std::string& base, const std::string& keyword, int page,
                                int per_page) {
    return base +
           "/soso/fcgi-bin/client_search_cp?ct=24&qqmusic_ver=1298&new_json=1&remoteplace=txt.yqq."
           "center&t=0&aggr=1&cr=1&catZhida=1&lossless=0&flag_qc=0&p=" +
           std::to_string(page) + "&n=" + std::to_string(per_page) +
           "&w=" + percent_encode_all(keyword) + "&&jsonpCallback=searchCallbacksong2020" +
           kFixedKeys;
  }

  static std::string key_url(const std::string& mid, const std::string& guid) {
    return http(
        "/base/fcgi-bin/fcg_music_express_mobile3.fcg?g_tk=5381&loginUin=12345&hostUin=0"
        "&format=json&inCharset=utf8&outCharset=utf-8&notice=0&platform=yqq&needNewCode=0"
        "&cid=205361747&uin=12345&songmid=" +
        mid + "&filename=C400" + mid + ".m4a&guid=" + guid);
  }

  static StandinProcess* standin_;
};

StandinProcess* StandinService::standin_ = nullptr;

std::string lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
  return s;
}

std::string str(const rapidjson::Value& v) {
  return v.IsString() ? v.GetString() : "";
}

TEST_F(StandinService, ReadyLineIsTheOnlyOutputAndNamesTheAuthority) {
  EXPECT_EQ(standin_->startup_output(), "");
  EXPECT_NE(standin_->http_port(), standin_->https_port());
  std::ifstream ca(standin_->ca_file());
  std::string first;
  std::getline(ca, first);
  EXPECT_EQ(first, "-----BEGIN CERTIFICATE-----");
}

TEST_F(StandinService, HttpsIsVerifiedAgainstTheGeneratedAuthorityOnly) {
  const std::string path = "/soso/fcgi-bin/client_search_cp?w=%61&n=1";
  const std::string port = std::to_string(standin_->https_port());
  for (const std::string host : {"127.0.0.1", "localhost"}) {
    const Fetched trusted = fetch("https://" + host + ":" + port + path, standin_->ca_file());
    EXPECT_TRUE(trusted.ok) << host << ": " << trusted.error;
    EXPECT_EQ(trusted.status, 200) << host;
  }
  const Fetched untrusted = fetch(standin_->https_base() + path);  // system authorities only
  EXPECT_FALSE(untrusted.ok);
}

TEST_F(StandinService, SearchFindsTheKeywordInTitleSingerOrAlbum) {
  struct Case {
    std::string keyword;
    bool expect_songs;
  };
  const Case cases[] = {
      {"林晓雨", true},
      {"星野", true},
      {"paper", true},
      {"VOL.2", true},
      {"lanterns fog", true},
      {"ñ", true},
      {"zzqx no such song", false},
      {"点击头像登录QQ账号后使用哟", false},
  };
  for (const Case& c : cases) {
    for (const bool secure : {false, true}) {
      SCOPED_TRACE(c.keyword + (secure ? " https" : " http"));
      rapidjson::Document doc;
      const std::string base = secure ? standin_->https_base() : standin_->http_base();
      get_jsonp(search_url(base, c.keyword, 1, 40), "callback", doc,
                secure ? standin_->ca_file() : std::string());
      if (HasFatalFailure()) return;
      ASSERT_EQ(doc["code"].GetInt(), 0);
      const auto& song = doc["data"]["song"];
      const auto& list = song["list"];
      ASSERT_TRUE(list.IsArray());
      EXPECT_EQ(!list.Empty(), c.expect_songs);
      EXPECT_EQ(song["curnum"].GetInt(), static_cast<int>(list.Size()));
      EXPECT_GE(song["totalnum"].GetInt(), song["curnum"].GetInt());
      for (const auto& s : list.GetArray()) {
        std::string haystack = str(s["title"]) + "\n" + str(s["album"]["name"]);
        for (const auto& singer : s["singer"].GetArray())
          haystack += "\n" + str(singer["name"]);
        haystack = lower(haystack);
        std::string words = lower(c.keyword);
        for (std::size_t at = 0; at < words.size();) {
          const auto end = std::min(words.find(' ', at), words.size());
          EXPECT_NE(haystack.find(words.substr(at, end - at)), std::string::npos) << haystack;
          at = end + 1;
        }
        for (const char* field : {"size_128", "size_320", "size_ape", "size_flac"}) {
          EXPECT_TRUE(s["file"][field].IsInt64()) << field;
        }
        EXPECT_FALSE(str(s["file"]["media_mid"]).empty());
        EXPECT_TRUE(s["id"].IsInt64());
      }
    }
  }
}

TEST_F(StandinService, SearchIgnoresLetterCase) {
  auto mids = [&](const std::string& keyword) {
    rapidjson::Document doc;
    get_jsonp(search_url(standin_->http_base(), keyword, 1, 40), "callback", doc);
    std::vector<std::string> out;
    if (doc.IsObject()) {
      for (const auto& s : doc["data"]["song"]["list"].GetArray())
        out.push_back(str(s["mid"]));
    }
    return out;
  };
  const auto small = mids("paper moon");
  EXPECT_FALSE(small.empty());
  EXPECT_EQ(small, mids("PAPER Moon"));
}

TEST_F(StandinService, SearchPagesThroughLongResults) {
  std::set<std::string> seen;
  int total = 0;
  for (int page = 1; page <= 3; ++page) {
    rapidjson::Document doc;
    get_jsonp(search_url(standin_->http_base(), "练习曲", page, 40), "callback", doc);
    if (HasFatalFailure()) return;
    const auto& list = doc["data"]["song"]["list"];
    EXPECT_EQ(list.Size(), 40u) << "page " << page;
    total = doc["data"]["song"]["totalnum"].GetInt();
    for (const auto& s : list.GetArray()) {
      EXPECT_TRUE(seen.insert(str(s["mid"])).second) << "repeated on page " << page;
    }
  }
  EXPECT_GE(total, 1000);
}

TEST_F(StandinService, PlaylistsCarrySongsWhoseSizesAreTheMediaFiles) {
  rapidjson::Document lists;
  get_jsonp(http("/rsc/fcgi-bin/fcg_user_created_diss?hostuin=12345&sin=0&size=32&callback="
                 "GetCdlistCallback&r=1503903898909&g_tk=5381&jsonpCallback=GetCdlistCallback"
                 "&loginUin=12345&hostUin=0") +
                kFixedKeys,
            "GetCdlistCallback", lists);
  if (HasFatalFailure()) return;
  const auto& disslist = lists["data"]["disslist"];
  ASSERT_GE(disslist.Size(), 3u);

  std::size_t longest = 0;
  bool some_song_offers_nothing = false;
  std::vector<std::pair<std::string, std::string>> offered;  // (mid, media_mid) of songs with files
  std::map<std::string, std::array<std::int64_t, 4>> sizes;
  for (const auto& p : disslist.GetArray()) {
    ASSERT_FALSE(str(p["diss_name"]).empty());
    const std::string tid = std::to_string(p["tid"].GetInt64());
    rapidjson::Document songs;
    get_jsonp(http("/qzone/fcg-bin/fcg_ucc_getcdinfo_byids_cp.fcg?type=1&json=1&utf8=1&onlysong=0"
                   "&disstid=" +
                   tid +
                   "&format=jsonp&g_tk=12345&jsonpCallback=playlistinfoCallback&loginUin=0"
                   "&hostUin=0" +
                   kFixedKeys),
              "playlistinfoCallback", songs);
    if (HasFatalFailure()) return;
    const auto& list = songs["cdlist"][0]["songlist"];
    EXPECT_EQ(static_cast<int>(list.Size()), p["song_cnt"].GetInt()) << tid;
    longest = std::max<std::size_t>(longest, list.Size());
    for (const auto& s : list.GetArray()) {
      std::array<std::int64_t, 4> q = {s["size128"].GetInt64(), s["size320"].GetInt64(),
                                       s["sizeape"].GetInt64(), s["sizeflac"].GetInt64()};
      if (std::all_of(q.begin(), q.end(), [](std::int64_t v) { return v == 0; })) {
        some_song_offers_nothing = true;
      } else if (offered.size() < 12) {
        offered.emplace_back(str(s["songmid"]), str(s["strMediaMid"]));
        sizes[str(s["songmid"])] = q;
      }
    }
  }
  EXPECT_GE(longest, 1000u);
  EXPECT_TRUE(some_song_offers_nothing);

  // The program's road: a key for the song, then a HEAD of the media address for the size.
  const char* prefix[] = {"M500", "M800", "A000", "F000"};
  const char* extension[] = {".mp3", ".mp3", ".ape", ".flac"};
  const std::string guid = "1796982768123";
  for (const auto& [mid, media_mid] : offered) {
    const Fetched key = fetch(key_url(mid, guid));
    std::string vkey;
    ASSERT_TRUE(read_vkey(key.body, vkey)) << key.body;
    ASSERT_FALSE(vkey.empty()) << mid;
    for (int q = 0; q < 4; ++q) {
      const std::int64_t size = sizes[mid][static_cast<std::size_t>(q)];
      if (size == 0) continue;
      const Fetched probe = fetch(http("/" + std::string(prefix[q]) + media_mid + extension[q] +
                                       "?vkey=" + vkey + "&guid=" + guid + "&uin=12345&fromtag=64"),
                                  {}, true);
      ASSERT_EQ(probe.status, 200) << mid << " quality " << q + 1;
      const auto length = probe.header_values("Content-Length");
      ASSERT_EQ(length.size(), 1u);
      EXPECT_EQ(length[0], std::to_string(size)) << mid << " quality " << q + 1;
    }
  }
}

TEST_F(StandinService, PlaylistAnswersForUnknownAccountsAndListsAreEmpty) {
  rapidjson::Document lists;
  get_jsonp(http("/rsc/fcgi-bin/fcg_user_created_diss?hostuin=&sin=0&size=32&g_tk=") + kFixedKeys,
            "GetCdlistCallback", lists);
  if (HasFatalFailure()) return;
  EXPECT_NE(lists["code"].GetInt(), 0);
  EXPECT_EQ(lists["data"]["disslist"].Size(), 0u);

  rapidjson::Document songs;
  get_jsonp(http("/qzone/fcg-bin/fcg_ucc_getcdinfo_byids_cp.fcg?type=1&disstid=42") + kFixedKeys,
            "playlistinfoCallback", songs);
  if (HasFatalFailure()) return;
  EXPECT_EQ(songs["cdlist"].Size(), 0u);
}

// The ten references the program decodes, in its order.
std::string decode_references(std::string text) {
  const std::pair<const char*, const char*> steps[] = {
      {"&#58;", ":"}, {"&#10;", "\r\n"}, {"&#46;", "."}, {"&#32;", " "}, {"&#45;", "-"},
      {"&#13;", ""},  {"&#40;", "("},    {"&#41;", ")"}, {"&#39;", "'"}, {"&#38;", "&"}};
  for (const auto& [from, to] : steps) {
    const std::string f = from;
    for (std::size_t at = 0; (at = text.find(f, at)) != std::string::npos; at += std::strlen(to)) {
      text.replace(at, f.size(), to);
    }
  }
  return text;
}

TEST_F(StandinService, LyricsAreLrcWithCharacterReferences) {
  rapidjson::Document found;
  get_jsonp(search_url(standin_->http_base(), "Paper Lanterns", 1, 40), "callback", found);
  if (HasFatalFailure()) return;
  int with_lyrics = 0;
  int without = 0;
  bool reference_kept = false;
  const std::regex timed(R"(\[\d\d:\d\d\.\d\d\].*)");
  const std::regex tag(R"(\[[a-z]+:.*\])");
  for (const auto& s : found["data"]["song"]["list"].GetArray()) {
    const std::string id = std::to_string(s["id"].GetInt64());
    rapidjson::Document doc;
    get_jsonp(
        http("/lyric/fcgi-bin/fcg_query_lyric.fcg?nobase64=1&musicid=" + id +
             "&callback=jsonp1&g_tk=12345&jsonpCallback=jsonp1&loginUin=0&hostUin=0" + kFixedKeys),
        "jsonp1", doc);
    if (HasFatalFailure()) return;
    if (!doc.HasMember("lyric")) {
      ++without;
      continue;
    }
    ++with_lyrics;
    const std::string raw = str(doc["lyric"]);
    EXPECT_EQ(raw.find(':'), std::string::npos) << "colons travel as references: " << id;
    EXPECT_EQ(raw.find('\n'), std::string::npos) << id;
    const std::string text = decode_references(raw);
    reference_kept = reference_kept || text.find("&#58;") != std::string::npos;
    std::size_t lines = 0;
    for (std::size_t at = 0; at < text.size();) {
      const auto end = std::min(text.find("\r\n", at), text.size());
      const std::string line = text.substr(at, end - at);
      at = end + 2;
      if (line.empty()) continue;
      ++lines;
      EXPECT_TRUE(std::regex_match(line, timed) || std::regex_match(line, tag)) << line;
    }
    EXPECT_GE(lines, 3u) << id;
  }
  EXPECT_GT(with_lyrics, 0);
  EXPECT_GT(without, 0);
  // A lyric that itself reads "&#58;" comes through as that text, not as a colon.
  EXPECT_TRUE(reference_kept);

  rapidjson::Document none;
  get_jsonp(http("/lyric/fcgi-bin/fcg_query_lyric.fcg?nobase64=1&musicid=1&callback=jsonp1"),
            "jsonp1", none);
  if (HasFatalFailure()) return;
  EXPECT_FALSE(none.HasMember("lyric"));
}

TEST(StandinDownloadKey, KeyIsGivenForKnownSongsUnlessTurnedOff) {
  struct Case {
    std::vector<std::string> args;
    bool known_song;
    bool expect_key;
  };
  const Case cases[] = {
      {{}, true, true},
      {{}, false, false},
      {{"--empty-vkey"}, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << (c.args.empty() ? "" : c.args[0]) << " known " << c.known_song);
    StandinProcess standin(c.args);
    ASSERT_TRUE(standin.ok()) << standin.startup_output();
    std::string mid = "00nosuchsong00";
    if (c.known_song) {
      const Fetched found = fetch(standin.http_base() + "/soso/fcgi-bin/client_search_cp?n=1&w=" +
                                  percent_encode_all("纸飞机"));
      const auto at = found.body.find("\"mid\":\"", found.body.find("\"interval\""));
      ASSERT_NE(at, std::string::npos) << found.body;
      mid = found.body.substr(at + 7, found.body.find('"', at + 7) - at - 7);
    }
    const Fetched got = fetch(standin.http_base() +
                              "/base/fcgi-bin/fcg_music_express_mobile3.fcg?g_tk=1&loginUin=1"
                              "&format=json&songmid=" +
                              mid + "&filename=C400" + mid + ".m4a&guid=1234567890123");
    ASSERT_EQ(got.status, 200);
    rapidjson::Document doc;
    doc.Parse(got.body.c_str());
    ASSERT_FALSE(doc.HasParseError()) << got.body;  // plain JSON, no wrapper
    std::string key;
    ASSERT_TRUE(read_vkey(got.body, key)) << got.body;
    EXPECT_EQ(!key.empty(), c.expect_key) << got.body;
  }
}

}  // namespace
}  // namespace zarvex::test
