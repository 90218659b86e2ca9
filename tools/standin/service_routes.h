#pragma once
// The music service's web interface: song search, the account's playlists, the songs of a
// playlist, lyrics (JSONP answers) and the download key (plain JSON), all in UTF-8.
//
//   /soso/fcgi-bin/client_search_cp                  w, p, n            callback(...)
//   /rsc/fcgi-bin/fcg_user_created_diss              hostuin, sin, size GetCdlistCallback(...)
//   /qzone/fcg-bin/fcg_ucc_getcdinfo_byids_cp.fcg    disstid            playlistinfoCallback(...)
//   /lyric/fcgi-bin/fcg_query_lyric.fcg              musicid            jsonp1(...)
//   /base/fcgi-bin/fcg_music_express_mobile3.fcg     songmid, filename  {..."vkey":"..."...}

namespace httplib {
class Server;
}

namespace zarvex::standin {

struct ServiceOptions {
  bool empty_vkey = false;  // every download key answer carries an empty key
};

void add_service_routes(httplib::Server& server, const ServiceOptions& options);

}  // namespace zarvex::standin
