#include "service/playlists.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "fake_service.h"
#include "platform/codepage.h"
#include "support/recording_ui.h"

namespace zarvex {
namespace {

constexpr const char* list_path = "/rsc/fcgi-bin/fcg_user_created_diss";
constexpr const char* songs_path = "/qzone/fcg-bin/fcg_ucc_getcdinfo_byids_cp.fcg";

const std::string three_playlists =
    "GetCdlistCallback({\"code\":0,\"data\":{\"hostuin\":1,\"disslist\":["
    "{\"diss_name\":\"Rock\",\"tid\":11},{\"diss_name\":\"Jazz\",\"tid\":22},"
    "{\"diss_name\":\"民谣\",\"tid\":33}]}})";

std::string songs_answer(const std::string& name) {
  return "playlistinfoCallback({\"code\":0,\"cdlist\":[{\"dissname\":\"" + name +
         "\",\"songlist\":[{\"songname\":\"" + name +
         " song\",\"singer\":[{\"name\":\"S\"}],\"albumname\":\"A\",\"sizeape\":0,"
         "\"sizeflac\":0,\"size320\":5,\"songmid\":\"sm\",\"songid\":7,\"strMediaMid\":\"mm\"}]}]}"
         ")";
}

class PlaylistsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(service.ok());
    endpoints.api_https = service.base();
    session.uin = "12345";
    session.g_tk = "555";
    session.cookie = "uin=o12345; skey=@abc";
  }
  ServiceOutcome list_playlists() {
    return playlist_list_worker(session, &owner, endpoints, playlists, box, ui);
  }

  test::FakeService service;
  Endpoints endpoints;
  SessionRecord session;
  Session owner;
  PlaylistList playlists;
  ListTable box{{"name"}};
  ListTable songs{playlist_song_columns()};
  test::RecordingUi ui;
};

TEST_F(PlaylistsTest, BoxShowsThePlaylistsReversedAndEachItemLoadsItsOwnSongs) {
  service.serve(list_path, three_playlists, "Set-Cookie: skey=@new; Path=/\r\n");
  for (const char* name : {"Rock", "Jazz"}) {
    service.serve(std::string(songs_path) + "?type=1&json=1&utf8=1&onlysong=0&disstid=" +
                      (name == std::string("Rock") ? "11" : "22") + "&",
                  songs_answer(name));
  }
  owner.set_cookie(session.cookie);

  ServiceOutcome outcome = list_playlists();
  EXPECT_TRUE(outcome.parsed);
  ASSERT_EQ(box.row_count(), 3u);
  EXPECT_EQ(box.cell(0, 0), gbk_from_utf8("民谣"));
  EXPECT_EQ(box.cell(1, 0), "Jazz");
  EXPECT_EQ(box.cell(2, 0), "Rock");
  EXPECT_EQ(box.selected(), 0);
  EXPECT_EQ(ui.status(status_service), gbk_from_utf8("获取歌单列表完成"));
  EXPECT_EQ(owner.cookie(), "skey=@new; uin=o12345");
  EXPECT_EQ(service.request_lines().at(0),
            "GET /rsc/fcgi-bin/fcg_user_created_diss?hostuin=12345&sin=0&size=32"
            "&callback=GetCdlistCallback&r=1503903898909&g_tk=555"
            "&jsonpCallback=GetCdlistCallback&loginUin=12345&hostUin=0&format=jsonp"
            "&inCharset=utf8&outCharset=utf-8&notice=0&platform=yqq&needNewCode=0 HTTP/1.1");
  EXPECT_NE(service.requests().at(0).find("\r\nCookie: uin=o12345; skey=@abc\r\n"),
            std::string::npos);

  // The first item is the one counted as shown at start: choosing it loads nothing.
  EXPECT_FALSE(playlists.choice_loads_songs(0));
  struct Choice {
    int position;
    const char* name;
    const char* title;
  } choices[] = {{1, "Jazz", "Jazz song"}, {2, "Rock", "Rock song"}};
  for (const auto& c : choices) {
    SCOPED_TRACE(c.title);
    ASSERT_TRUE(playlists.choice_loads_songs(c.position));
    EXPECT_TRUE(playlist_songs_worker(session, endpoints, playlists, c.position, songs, ui).parsed);
    ASSERT_EQ(songs.row_count(), 1u);
    EXPECT_EQ(songs.cell(0, song_column_title), c.title);
    // A playlist song carries no 128 size: the 128 download is always offered.
    EXPECT_EQ(songs.cell(0, song_column_tags), "128mp3320mp3");
    EXPECT_FALSE(playlists.choice_loads_songs(c.position));
    EXPECT_EQ(ui.status(status_service), gbk_from_utf8("获取歌单完毕"));
    // The clipboard holds the answer without its call "playlistinfoCallback(" ... ")".
    const std::string answer = songs_answer(c.name);
    EXPECT_EQ(ui.texts_of("clipboard").back(), answer.substr(21, answer.size() - 22));
  }
  EXPECT_NE(service.request_lines().back().find("&disstid=11&format=jsonp&g_tk=12345&"),
            std::string::npos);
}

TEST_F(PlaylistsTest, AListThatDoesNotParseKeepsTheBoxAndLoadsNothing) {
  service.serve(list_path, three_playlists);
  list_playlists();
  ASSERT_EQ(playlists.size(), 3u);

  service.serve(list_path, three_playlists + ";");
  ServiceOutcome outcome = list_playlists();
  EXPECT_FALSE(outcome.parsed);
  EXPECT_EQ(box.row_count(), 3u);
  EXPECT_EQ(playlists.size(), 0u);
  const auto calls = ui.calls();
  EXPECT_EQ(calls.back().kind, "enable");
  EXPECT_EQ(calls.back().caption, "1");

  // The box still offers items the list no longer has: choosing one requests nothing.
  const std::size_t requests = service.request_lines().size();
  EXPECT_FALSE(playlist_songs_worker(session, endpoints, playlists, 2, songs, ui).parsed);
  EXPECT_EQ(service.request_lines().size(), requests);
  EXPECT_EQ(ui.status(status_service), gbk_from_utf8("获取歌单完毕"));
}

TEST_F(PlaylistsTest, ItemPositionsOutsideTheListFindNoPlaylist) {
  playlists.replace({{"a", "1"}, {"b", "2"}, {"c", "3"}});
  struct Case {
    int position;
    const char* tid;  // nullptr: none
  } cases[] = {{0, "3"}, {1, "2"}, {2, "1"}, {3, nullptr}, {-1, nullptr}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.position);
    auto found = playlists.shown_at(c.position);
    ASSERT_EQ(found.has_value(), c.tid != nullptr);
    if (found) {
      EXPECT_EQ(found->tid, c.tid);
    }
  }
}

TEST_F(PlaylistsTest, ReadersNeverSeeAHalfReplacedList) {
  // One thread empties and refills the list as a playlist-list fetch does; another reads the
  // items a box shows meanwhile. Every read finds a whole playlist of one of the two lists.
  const std::vector<Playlist> first = {{"a", "1"}, {"b", "2"}, {"c", "3"}};
  const std::vector<Playlist> second = {{"x", "7"}, {"y", "8"}};
  std::atomic<bool> done{false};
  std::thread writer([&] {
    for (int i = 0; i < 2000; ++i) {
      playlists.clear();
      playlists.replace(i % 2 ? first : second);
    }
    done = true;
  });
  std::size_t reads = 0;
  while (!done || reads == 0) {
    for (int position = -1; position <= 3; ++position) {
      if (auto found = playlists.shown_at(position)) {
        const bool known = (found->diss_name == "a" && found->tid == "1") ||
                           (found->diss_name == "b" && found->tid == "2") ||
                           (found->diss_name == "c" && found->tid == "3") ||
                           (found->diss_name == "x" && found->tid == "7") ||
                           (found->diss_name == "y" && found->tid == "8");
        EXPECT_TRUE(known) << found->diss_name << " " << found->tid;
      }
      ++reads;
    }
  }
  writer.join();
}

TEST_F(PlaylistsTest, ANewLoginDuringTheFetchKeepsItsCookies) {
  service.serve(list_path, three_playlists, "Set-Cookie: skey=@new\r\n");
  owner.set_cookie("uin=o999; skey=@other");
  list_playlists();
  EXPECT_EQ(owner.cookie(), "uin=o999; skey=@other");
}

}  // namespace
}  // namespace zarvex
