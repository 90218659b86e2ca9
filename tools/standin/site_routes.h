#pragma once
// Everything around the music service that a browser or the program reads as pages:
//
//   /                       the web player's home page (the login's return address)
//   /cgi-bin/login          the account login page (query: s_url = the return address)
//   /cgi-bin/login_submit   the login form's target: sets the account cookies and returns to
//                           s_url with the completion fragment "#stat=y_new.top.pop.logout"
//   /headimg_dl             the account picture (dst_uin, spec = side in pixels), PNG
//   kAnnouncePath           the maker's announcement page with [软件版本] and [软件下载地址1]
//   kDownloadPagePath       the page the announcement points to

#include <string>

namespace httplib {
class Server;
}

namespace zarvex::standin {

inline constexpr char kAnnouncePath[] = "/notice/zarvex.html";
inline constexpr char kDownloadPagePath[] = "/download/zarvex.html";

struct SiteOptions {
  std::string host;        // the address the stand-in listens on
  std::string http_base;   // "http://HOST:PORT"
  std::string https_base;  // "https://HOST:PORT"
  std::string announce_version = "1.9.1";
};

void add_site_routes(httplib::Server& server, const SiteOptions& options);

}  // namespace zarvex::standin
