#include "service/song_search.h"

#include <gtest/gtest.h>

#include "fake_service.h"
#include "platform/codepage.h"
#include "support/recording_ui.h"

namespace zarvex {
namespace {

constexpr const char* search_path = "/soso/fcgi-bin/client_search_cp";

// A search answer with the given songs (UTF-8 JSON objects), wrapped like the service's.
std::string search_answer(const std::string& songs) {
  return "callback({\"code\":0,\"data\":{\"song\":{\"curnum\":2,\"list\":[" + songs + "]}}})";
}

const std::string two_songs =
    R"({"id":101,"mid":"mid1","title":"晴天","singer":[{"name":"周杰伦"},{"name":"X"}],)"
    R"("album":{"name":"叶惠美"},"file":{"media_mid":"mm1","size_128":3,"size_320":"9",)"
    R"("size_ape":0,"size_flac":"0"}},)"
    R"({"id":102,"mid":"mid2","title":"Who?","singer":[{"name":"B"}],"album":{"name":"C.D"},)"
    R"("file":{"media_mid":"mm2","size_128":1,"size_320":0,"size_ape":0,"size_flac":77}})";

TEST(SongSearch, AddressCarriesThePercentEncodedKeyword) {
  Endpoints endpoints;
  endpoints.api_https = "https://api.test";
  const std::string head =
      "https://api.test/soso/fcgi-bin/client_search_cp?ct=24&qqmusic_ver=1298&new_json=1"
      "&remoteplace=txt.yqq.center&t=0&aggr=1&cr=1&catZhida=1&lossless=0&flag_qc=0&p=1&n=40&w=";
  const std::string tail =
      "&&jsonpCallback=searchCallbacksong2020&format=jsonp&inCharset=utf8&outCharset=utf-8"
      "&notice=0&platform=yqq&needNewCode=0";
  struct Case {
    std::string keyword;
    const char* encoded;
  } cases[] = {{"a b", "%61%20%62"}, {"", ""}, {gbk_from_utf8("晴天"), "%E6%99%B4%E5%A4%A9"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.encoded);
    EXPECT_EQ(search_address(c.keyword, endpoints), head + c.encoded + tail);
  }
}

TEST(SongSearch, ReadsEverySongOfTheAnswerInOrder) {
  test::FakeService service;
  ASSERT_TRUE(service.ok());
  service.serve(search_path, search_answer(two_songs));
  Endpoints endpoints;
  endpoints.api_https = service.base();

  std::vector<SongRow> rows;
  ASSERT_TRUE(search_songs(gbk_from_utf8("晴天"), endpoints, rows));
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].title, gbk_from_utf8("晴天"));
  EXPECT_EQ(rows[0].singer, gbk_from_utf8("周杰伦"));
  EXPECT_EQ(rows[0].album, gbk_from_utf8("叶惠美"));
  EXPECT_EQ(rows[0].mid, "mid1");
  EXPECT_EQ(rows[0].media_mid, "mm1");
  EXPECT_EQ(rows[0].id, "101");
  EXPECT_EQ(rows[0].size_128, "3");
  EXPECT_TRUE(rows[0].has_320);
  EXPECT_FALSE(rows[0].has_ape);
  EXPECT_FALSE(rows[0].has_flac);
  EXPECT_EQ(rows[1].title, "Who?");
  EXPECT_TRUE(rows[1].has_flac);
  EXPECT_FALSE(rows[1].has_320);
  EXPECT_NE(service.request_lines().at(0).find("&w=%E6%99%B4%E5%A4%A9&&jsonpCallback="),
            std::string::npos);
}

TEST(SongSearch, WorkerReplacesTheListOnlyWhenTheAnswerParses) {
  test::FakeService service;
  ASSERT_TRUE(service.ok());
  Endpoints endpoints;
  endpoints.api_https = service.base();
  const std::string done = gbk_from_utf8("搜索完毕");
  const std::string button = gbk_from_utf8("按钮_搜索");

  struct Case {
    const char* what;
    std::string body;
    bool parsed;
    std::size_t rows;  // rows of the list afterwards; the list starts with one old row
  } cases[] = {
      {"two songs", search_answer(two_songs), true, 2},
      {"text after the call", search_answer(two_songs) + ";", false, 1},
      {"no answer", "", true, 0},
      // Without the song list the missing path counts as one element: one empty record.
      {"no song list", "callback({\"code\":0,\"data\":{}})", true, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    service.serve(search_path, c.body);
    ListTable results(search_list_columns());
    results.add_row({"", "old"});
    test::RecordingUi ui;
    ServiceOutcome outcome = search_worker("kw", endpoints, results, ui);
    EXPECT_EQ(outcome.parsed, c.parsed);
    ASSERT_EQ(results.row_count(), c.rows);
    if (!c.parsed) {
      EXPECT_EQ(results.cell(0, song_column_title), "old");
    }
    EXPECT_EQ(ui.status(status_service), done);
    const auto calls = ui.calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().kind, "enable");
    EXPECT_EQ(calls.back().text, button);
    EXPECT_EQ(calls.back().caption, "1");
  }

  // The record of an answer without a song list has empty texts and every quality.
  service.serve(search_path, "callback({\"code\":0,\"data\":{}})");
  ListTable results(search_list_columns());
  test::RecordingUi ui;
  search_worker("kw", endpoints, results, ui);
  EXPECT_EQ(results.cell(0, song_column_title), "");
  EXPECT_EQ(results.cell(0, song_column_tags), "128mp3320mp3apeflac");
  EXPECT_EQ(results.image(0), song_mark_sq);
}

TEST(SongSearch, StartingASearchNeedsALogin) {
  test::RecordingUi refused;
  EXPECT_FALSE(begin_search(false, refused));
  ASSERT_EQ(refused.calls().size(), 1u);
  EXPECT_EQ(refused.calls()[0].kind, "message");
  EXPECT_EQ(refused.calls()[0].text, gbk_from_utf8("请点击头像登录后使用"));

  test::RecordingUi started;
  EXPECT_TRUE(begin_search(true, started));
  const auto calls = started.calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].kind, "enable");
  EXPECT_EQ(calls[0].caption, "0");
  EXPECT_EQ(started.status(status_service), gbk_from_utf8("正在搜索，请稍后"));
}

}  // namespace
}  // namespace zarvex
