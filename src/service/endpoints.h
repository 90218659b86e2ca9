#pragma once
// Where the outside services live. The addresses are configuration: section "service" of the
// settings file (data/musicsetting.ini under the program folder); a key that is missing or
// empty keeps the public service's own address.

#include <string>

#include "net/http_options.h"

namespace zarvex {

struct Endpoints {
  // Base addresses: scheme, host and optional port, without a trailing "/".
  std::string api_https = "https://c.y.qq.com";           // search, lyrics, playlists
  std::string api_http = "http://c.y.qq.com";             // download key
  std::string media = "http://dl.stream.qqmusic.qq.com";  // media files
  std::string site = "https://y.qq.com";            // Referer of the key request; login return
  std::string login = "http://ui.ptlogin2.qq.com";  // login page
  std::string cookie_hosts = "qzone.qq.com,ptlogin2.qq.com,ui.ptlogin2.qq.com";
  std::string avatar = "http://q1.qlogo.cn";
  std::string announce;  // the announcement page's full address; empty: no update check
  std::string maker_site = "zarvex.org";  // host name of the maker's web site
  HttpOptions http;                       // http.ca_file: extra trusted authorities (UTF-8 path)
};

// Reads the endpoints of a program folder (UTF-8 path). A relative ca_file is taken relative
// to the program folder.
Endpoints load_endpoints(const std::string& program_folder);

}  // namespace zarvex
