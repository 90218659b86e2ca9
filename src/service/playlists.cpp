#include "service/playlists.h"

#include "json/json_document.h"
#include "net/cookies.h"
#include "platform/codepage.h"
#include "service/service_answer.h"

namespace zarvex {
namespace {

struct PlaylistTexts {
  std::string button = gbk_from_utf8("按钮_获取歌单列表");
  std::string list_loading = gbk_from_utf8("正在获取歌单列表中ing");
  std::string list_done = gbk_from_utf8("获取歌单列表完成");
  std::string songs_loading = gbk_from_utf8("正在获取歌单中ing");
  std::string songs_done = gbk_from_utf8("获取歌单完毕");
};

const PlaylistTexts& texts() {
  static const PlaylistTexts t;
  return t;
}

constexpr SongField playlist_song_fields[] = {
    {"].songname", &SongRow::title},        {"].singer[0].name", &SongRow::singer},
    {"].albumname", &SongRow::album},       {"].sizeape", &SongRow::size_ape},
    {"].sizeflac", &SongRow::size_flac},    {"].size320", &SongRow::size_320},
    {"].songmid", &SongRow::mid},           {"].songid", &SongRow::id},
    {"].strMediaMid", &SongRow::media_mid},
};

}  // namespace

void PlaylistList::clear() {
  std::lock_guard lock(mutex_);
  playlists_.clear();
}

void PlaylistList::replace(std::vector<Playlist> playlists) {
  std::lock_guard lock(mutex_);
  playlists_ = std::move(playlists);
}

std::vector<Playlist> PlaylistList::snapshot() const {
  std::lock_guard lock(mutex_);
  return playlists_;
}

std::size_t PlaylistList::size() const {
  std::lock_guard lock(mutex_);
  return playlists_.size();
}

std::optional<Playlist> PlaylistList::shown_at(int position) const {
  std::lock_guard lock(mutex_);
  const auto n = static_cast<long long>(playlists_.size());
  const long long index = n - 1 - position;
  if (position < 0 || index < 0 || index >= n) return std::nullopt;
  return playlists_[static_cast<std::size_t>(index)];
}

void PlaylistList::set_shown_position(int position) {
  std::lock_guard lock(mutex_);
  shown_position_ = position;
}

bool PlaylistList::choice_loads_songs(int position) const {
  std::lock_guard lock(mutex_);
  return position != shown_position_;
}

std::string playlist_list_address(const SessionRecord& session, const Endpoints& endpoints) {
  return endpoints.api_https + "/rsc/fcgi-bin/fcg_user_created_diss?hostuin=" + session.uin +
         "&sin=0&size=32&callback=GetCdlistCallback&r=1503903898909&g_tk=" + session.g_tk +
         "&jsonpCallback=GetCdlistCallback&loginUin=" + session.uin +
         "&hostUin=0&format=jsonp&inCharset=utf8&outCharset=utf-8&notice=0&platform=yqq"
         "&needNewCode=0";
}

std::string playlist_songs_address(std::string_view tid, const SessionRecord& session,
                                   const Endpoints& endpoints) {
  // This interface takes the account number in its g_tk key, not the g_tk hash.
  return endpoints.api_https +
         "/qzone/fcg-bin/fcg_ucc_getcdinfo_byids_cp.fcg?type=1&json=1&utf8=1&onlysong=0"
         "&disstid=" +
         std::string(tid) + "&format=jsonp&g_tk=" + session.uin +
         "&jsonpCallback=playlistinfoCallback&loginUin=0&hostUin=0&format=jsonp&inCharset=utf8"
         "&outCharset=utf-8&notice=0&platform=yqq&needNewCode=0";
}

bool fetch_playlists(const SessionRecord& session, std::string& cookie_text,
                     const Endpoints& endpoints, std::vector<Playlist>& playlists,
                     HttpOutcome* outcome) {
  std::string body = fetch_with_cookies(playlist_list_address(session, endpoints), &cookie_text,
                                        endpoints.http, outcome);
  JsonDocument document;
  if (document.parse_text(answer_text(body, "GetCdlistCallback")) != 0) return false;
  const int32_t count = document.get_member_count("data.disslist");
  for (int32_t k = 0; k < count; ++k) {
    const std::string element = "data.disslist[" + std::to_string(k);
    playlists.push_back(
        {document.get_text(element + "].diss_name"), document.get_text(element + "].tid")});
  }
  return true;
}

bool fetch_playlist_songs(const SessionRecord& session, std::string_view tid,
                          const Endpoints& endpoints, std::vector<SongRow>& rows, Ui& ui,
                          HttpOutcome* outcome) {
  std::string body = fetch_with_cookies(playlist_songs_address(tid, session, endpoints), nullptr,
                                        endpoints.http, outcome);
  std::string text = answer_text(body, "playlistinfoCallback");
  ui.set_clipboard(text);
  JsonDocument document;
  if (document.parse_text(text) != 0) return false;
  read_song_list(document, "cdlist[0].songlist", playlist_song_fields, rows);
  return true;
}

void begin_playlist_list(Ui& ui) {
  ui.set_enabled(texts().button, false);
}

ServiceOutcome playlist_list_worker(const SessionRecord& session, Session* cookie_owner,
                                    const Endpoints& endpoints, PlaylistList& playlists,
                                    ListTable& box, Ui& ui) {
  ServiceOutcome outcome;
  ui.set_status_text(status_service, texts().list_loading);
  playlists.clear();

  std::string cookie = session.cookie;
  std::vector<Playlist> found;
  outcome.parsed = fetch_playlists(session, cookie, endpoints, found, &outcome.http);
  if (cookie_owner != nullptr) {
    // The merged text replaces the one the request was made with; a cookie text that a new
    // login put in meanwhile stays.
    cookie_owner->update_cookie(
        [&](const std::string& current) { return current == session.cookie ? cookie : current; });
  }

  if (outcome.parsed) {
    // The list first: an item of the refilled box always finds its playlist.
    std::vector<std::string> names;
    for (const Playlist& playlist : found)
      names.push_back(playlist.diss_name);
    playlists.replace(std::move(found));
    box.clear();
    box.edit([&names](std::vector<ListRow>& items) {
      for (auto name = names.rbegin(); name != names.rend(); ++name) {
        items.push_back(ListRow{{*name}, -1});
      }
    });
    if (!names.empty()) box.set_selected(0);
  }
  ui.set_status_text(status_service, texts().list_done);
  ui.set_enabled(texts().button, true);
  return outcome;
}

ServiceOutcome playlist_songs_worker(const SessionRecord& session, const Endpoints& endpoints,
                                     PlaylistList& playlists, int position, ListTable& song_list,
                                     Ui& ui) {
  ServiceOutcome outcome;
  ui.set_status_text(status_service, texts().songs_loading);
  // An item the list holds no playlist for (after a fetch that did not parse, the box keeps
  // its items while the list is empty) loads nothing.
  if (std::optional<Playlist> playlist = playlists.shown_at(position)) {
    std::vector<SongRow> rows;
    outcome.parsed =
        fetch_playlist_songs(session, playlist->tid, endpoints, rows, ui, &outcome.http);
    if (outcome.parsed) {
      playlists.set_shown_position(position);
      fill_song_list(song_list, rows);
    }
  }
  ui.set_status_text(status_service, texts().songs_done);
  return outcome;
}

}  // namespace zarvex
