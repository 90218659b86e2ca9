#include "service_routes.h"

#include <httplib.h>

#include <algorithm>
#include <charconv>
#include <ctime>
#include <optional>

#include "catalogue.h"
#include "json_writer.h"
#include "lyric_references.h"
#include "random_text.h"

namespace zarvex::standin {

namespace {

const char kJsonpType[] = "application/javascript; charset=utf-8";
const char kJsonType[] = "application/json; charset=utf-8";

// A query parameter as a whole decimal number, or std::nullopt when absent or malformed.
std::optional<std::int64_t> param_number(const httplib::Request& req, const char* name) {
  if (!req.has_param(name)) return std::nullopt;
  const std::string text = req.get_param_value(name);
  std::int64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::int64_t param_in_range(const httplib::Request& req, const char* name, std::int64_t fallback,
                            std::int64_t low, std::int64_t high) {
  const auto value = param_number(req, name);
  if (!value) return fallback;
  return std::clamp(*value, low, high);
}

void send_jsonp(httplib::Response& res, const char* callback, const JsonWriter& json) {
  res.set_content(std::string(callback) + "(" + json.text() + ")", kJsonpType);
}

void write_singers(JsonWriter& json, const Song& song, bool with_title) {
  json.key("singer").begin_array();
  for (const Named& singer : song.singers) {
    json.begin_object()
        .member("id", singer.id)
        .member("mid", singer.mid)
        .member("name", singer.name);
    if (with_title) json.member("title", singer.name).member("type", 0);
    json.end_object();
  }
  json.end_array();
}

void write_search_song(JsonWriter& json, const Song& song) {
  json.begin_object();
  json.key("album")
      .begin_object()
      .member("id", song.album.id)
      .member("mid", song.album.mid)
      .member("name", song.album.name)
      .member("subtitle", "")
      .member("title", song.album.name)
      .end_object();
  json.key("file")
      .begin_object()
      .member("media_mid", song.media_mid)
      .member("size_128", song.size(Quality::mp3_128))
      .member("size_320", song.size(Quality::mp3_320))
      .member("size_aac", 0)
      .member("size_ape", song.size(Quality::ape))
      .member("size_flac", song.size(Quality::flac))
      .member("size_ogg", 0)
      .member("size_try", 0)
      .end_object();
  json.member("id", song.id)
      .member("interval", song.interval)
      .member("mid", song.mid)
      .member("name", song.title);
  write_singers(json, song, true);
  json.member("subtitle", "").member("title", song.title).member("type", 0);
  json.end_object();
}

void write_playlist_song(JsonWriter& json, const Song& song) {
  json.begin_object()
      .member("albumdesc", "")
      .member("albumid", song.album.id)
      .member("albummid", song.album.mid)
      .member("albumname", song.album.name)
      .member("interval", song.interval);
  write_singers(json, song, false);
  json.member("size128", song.size(Quality::mp3_128))
      .member("size320", song.size(Quality::mp3_320))
      .member("sizeape", song.size(Quality::ape))
      .member("sizeflac", song.size(Quality::flac))
      .member("sizeogg", 0)
      .member("songid", song.id)
      .member("songmid", song.mid)
      .member("songname", song.title)
      .member("songorig", song.title)
      .member("songtype", 0)
      .member("strMediaMid", song.media_mid)
      .member("type", 0)
      .end_object();
}

void search(const httplib::Request& req, httplib::Response& res) {
  const std::string keyword = req.get_param_value("w");
  const std::int64_t page = param_in_range(req, "p", 1, 1, 1000000);
  const std::int64_t per_page = param_in_range(req, "n", 10, 1, 100);
  const auto found = Catalogue::instance().search(keyword);
  const auto total = static_cast<std::int64_t>(found.size());
  const std::int64_t first = std::min(total, (page - 1) * per_page);
  const std::int64_t last = std::min(total, first + per_page);

  JsonWriter json;
  json.begin_object().member("code", 0);
  json.key("data").begin_object().member("keyword", keyword).member("priority", 0);
  json.key("song")
      .begin_object()
      .member("curnum", last - first)
      .member("curpage", page)
      .key("list")
      .begin_array();
  for (std::int64_t i = first; i < last; ++i) {
    write_search_song(json, *found[static_cast<std::size_t>(i)]);
  }
  json.end_array().member("totalnum", total).end_object();
  json.member("tab", 0).member("totaltime", 0).end_object();
  json.member("message", "")
      .member("notice", "")
      .member("subcode", 0)
      .member("time", static_cast<std::int64_t>(std::time(nullptr)))
      .member("tips", "")
      .end_object();
  send_jsonp(res, "callback", json);
}

void user_playlists(const httplib::Request& req, httplib::Response& res) {
  const auto uin = param_number(req, "hostuin");
  JsonWriter json;
  json.begin_object();
  if (!uin || *uin <= 0) {
    // Nobody signed in: a valid answer without playlists.
    json.member("code", 1000).member("subcode", 1000).member("message", "请先登录");
    json.key("data").begin_object().member("hostuin", 0).key("disslist").begin_array().end_array();
    json.end_object().end_object();
    send_jsonp(res, "GetCdlistCallback", json);
    return;
  }
  const auto& lists = Catalogue::instance().playlists();
  const auto count = static_cast<std::int64_t>(lists.size());
  const std::int64_t first = param_in_range(req, "sin", 0, 0, count);
  const std::int64_t last = std::min(count, first + param_in_range(req, "size", 32, 1, 100));
  json.member("code", 0).member("subcode", 0).member("message", "");
  json.key("data")
      .begin_object()
      .member("hostuin", *uin)
      .member("hostname", "QQ用户" + std::to_string(*uin))
      .member("totoal", count)
      .key("disslist")
      .begin_array();
  for (std::int64_t i = first; i < last; ++i) {
    const Playlist& p = lists[static_cast<std::size_t>(i)];
    json.begin_object()
        .member("diss_cover", "")
        .member("diss_name", p.name)
        .member("dir_show", 1)
        .member("dirid", i + 1)
        .member("listen_num", p.listen_num)
        .member("song_cnt", static_cast<std::int64_t>(p.songs.size()))
        .member("tid", p.tid)
        .end_object();
  }
  json.end_array().end_object().end_object();
  send_jsonp(res, "GetCdlistCallback", json);
}

void playlist_songs(const httplib::Request& req, httplib::Response& res) {
  const auto tid = param_number(req, "disstid");
  const Catalogue& catalogue = Catalogue::instance();
  const Playlist* playlist = tid ? catalogue.find_playlist(*tid) : nullptr;
  JsonWriter json;
  json.begin_object();
  if (!playlist) {
    json.member("code", -1).member("subcode", -1).member("msg", "歌单不存在");
    json.key("cdlist").begin_array().end_array().end_object();
    send_jsonp(res, "playlistinfoCallback", json);
    return;
  }
  const auto songnum = static_cast<std::int64_t>(playlist->songs.size());
  json.member("code", 0).member("subcode", 0).member("accessed_plaza_cache", 0);
  json.key("cdlist")
      .begin_array()
      .begin_object()
      .member("disstid", std::to_string(playlist->tid))
      .member("dissname", playlist->name)
      .member("logo", "")
      .member("nickname", "QQ音乐")
      .member("songnum", songnum)
      .member("total_song_num", songnum)
      .member("visitnum", playlist->listen_num)
      .key("songlist")
      .begin_array();
  for (std::size_t index : playlist->songs)
    write_playlist_song(json, catalogue.songs()[index]);
  json.end_array().end_object().end_array().end_object();
  send_jsonp(res, "playlistinfoCallback", json);
}

void lyrics(const httplib::Request& req, httplib::Response& res) {
  const auto id = param_number(req, "musicid");
  const Song* song = id ? Catalogue::instance().find_by_id(*id) : nullptr;
  JsonWriter json;
  json.begin_object();
  if (!song || song->lyric.empty()) {
    json.member("retcode", -1901).member("code", -1901).member("subcode", -1901).end_object();
  } else {
    json.member("retcode", 0)
        .member("code", 0)
        .member("subcode", 0)
        .member("lyric", encode_lyric_references(song->lyric, song->lyric_crlf))
        .member("trans", "")
        .end_object();
  }
  send_jsonp(res, "jsonp1", json);
}

void download_key(const httplib::Request& req, httplib::Response& res,
                  const ServiceOptions& options) {
  const std::string mid = req.get_param_value("songmid");
  std::string filename = req.get_param_value("filename");
  if (filename.empty()) filename = "C400" + mid + ".m4a";
  const bool known = Catalogue::instance().find_by_mid(mid) != nullptr;
  const std::string vkey = known && !options.empty_vkey ? random_hex_upper(112) : std::string();
  JsonWriter json;
  json.begin_object()
      .member("code", 0)
      .member("cid", 205361747)
      .member("userip", req.remote_addr)
      .key("data")
      .begin_object()
      .member("expiration", 80400)
      .key("items")
      .begin_array()
      .begin_object()
      .member("subcode", known ? 0 : 104003)
      .member("songmid", mid)
      .member("filename", filename)
      .member("vkey", vkey)  // after another member: clients look for `,"vkey":"`
      .end_object()
      .end_array()
      .end_object()
      .end_object();
  res.set_content(json.text(), kJsonType);
}

}  // namespace

void add_service_routes(httplib::Server& server, const ServiceOptions& options) {
  server.Get("/soso/fcgi-bin/client_search_cp", search);
  server.Get("/rsc/fcgi-bin/fcg_user_created_diss", user_playlists);
  server.Get(R"(/qzone/fcg-bin/fcg_ucc_getcdinfo_byids_cp\.fcg)", playlist_songs);
  server.Get(R"(/lyric/fcgi-bin/fcg_query_lyric\.fcg)", lyrics);
  server.Get(R"(/base/fcgi-bin/fcg_music_express_mobile3\.fcg)",
             [options](const httplib::Request& req, httplib::Response& res) {
               download_key(req, res, options);
             });
}

}  // namespace zarvex::standin
