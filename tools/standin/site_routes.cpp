#include "site_routes.h"

#include <httplib.h>

#include <algorithm>
#include <optional>
#include <string_view>

#include "ascii_text.h"
#include "avatar_picture.h"
#include "random_text.h"

namespace zarvex::standin {

namespace {

const char kHtmlType[] = "text/html; charset=utf-8";
const char kCompletionFragment[] = "#stat=y_new.top.pop.logout";

std::string html_escape(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// The address the login returns to: s_url when it points at this machine (an open redirect to
// anywhere else is refused), without query or fragment, its path ending in "/", followed by the
// completion fragment, so that the address always contains "/#stat=y_new.top.pop.logout", the
// text the program waits for. std::nullopt when s_url is not acceptable.
std::optional<std::string> return_address(std::string_view s_url, const SiteOptions& options) {
  if (std::any_of(s_url.begin(), s_url.end(),
                  [](char c) { return static_cast<unsigned char>(c) <= 0x20 || c == 0x7f; })) {
    return std::nullopt;
  }
  const std::string lowered = ascii_lower(s_url);
  std::size_t scheme_end = 0;
  if (lowered.rfind("http://", 0) == 0) {
    scheme_end = 7;
  } else if (lowered.rfind("https://", 0) == 0) {
    scheme_end = 8;
  } else {
    return std::nullopt;
  }
  std::size_t authority_end = s_url.find_first_of("/?#", scheme_end);
  if (authority_end == std::string_view::npos) authority_end = s_url.size();
  const std::string authority = ascii_lower(s_url.substr(scheme_end, authority_end - scheme_end));
  if (authority.find('@') != std::string::npos) return std::nullopt;
  std::string host;
  if (!authority.empty() && authority.front() == '[') {
    const std::size_t close = authority.find(']');
    if (close == std::string::npos) return std::nullopt;
    host = authority.substr(0, close + 1);
  } else {
    host = authority.substr(0, authority.find(':'));
  }
  std::string own = ascii_lower(options.host);
  if (own.find(':') != std::string::npos && own.front() != '[') own = "[" + own + "]";
  if (host != "127.0.0.1" && host != "localhost" && host != own) return std::nullopt;

  std::string address(
      s_url.substr(0, std::min(s_url.find_first_of("?#", authority_end), s_url.size())));
  if (address.back() != '/') address += '/';
  return address + kCompletionFragment;
}

std::string page(std::string_view title, std::string_view body) {
  return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + std::string(title) +
         "</title>\n<style>body{font-family:sans-serif;margin:24px;color:#333}"
         "form{display:flex;flex-direction:column;gap:12px;max-width:320px}"
         "input{padding:6px;font-size:15px}button{padding:8px;font-size:15px;"
         "background:#12b7f5;color:#fff;border:0;border-radius:4px}"
         ".error{color:#c00}</style></head>\n<body>" +
         std::string(body) + "</body></html>\n";
}

void login_page(const httplib::Request& req, httplib::Response& res, const SiteOptions& options,
                std::string_view error) {
  std::string s_url = req.get_param_value("s_url");
  if (s_url.empty()) s_url = options.https_base + "/" + kCompletionFragment;
  std::string body =
      "<h2>QQ帐号登录</h2>\n<form id=\"loginform\" method=\"get\" action=\"/cgi-bin/login_submit\">"
      "<input type=\"hidden\" name=\"s_url\" value=\"" +
      html_escape(s_url) +
      "\">"
      "<label>QQ号码 <input id=\"u\" name=\"u\" inputmode=\"numeric\" autocomplete=\"off\" "
      "autofocus></label>"
      "<label>密码 <input id=\"p\" name=\"p\" type=\"password\"></label>"
      "<button id=\"login_button\" type=\"submit\">登录</button>";
  if (!error.empty()) body += "<p class=\"error\">" + html_escape(error) + "</p>";
  body += "</form>\n<p>本页是本机的登录替身：任意QQ号码、任意密码都能登录。</p>\n";
  res.set_header("Set-Cookie", "pgv_pvid=" + random_digits(10) + "; Path=/");
  res.set_content(page("QQ帐号登录", body), kHtmlType);
}

void login_submit(const httplib::Request& req, httplib::Response& res, const SiteOptions& options) {
  const std::string s_url =
      req.has_param("s_url") ? req.get_param_value("s_url") : options.https_base + "/";
  const auto back = return_address(s_url, options);
  if (!back) {
    res.status = 400;
    res.set_content(page("QQ帐号登录", "<p class=\"error\">不允许的返回地址</p>"), kHtmlType);
    return;
  }
  std::string account = req.get_param_value("u");
  const auto first = account.find_first_not_of(' ');
  const auto last = account.find_last_not_of(' ');
  account = first == std::string::npos ? std::string() : account.substr(first, last - first + 1);
  const bool digits =
      !account.empty() && account.size() <= 15 &&
      std::all_of(account.begin(), account.end(), [](char c) { return c >= '0' && c <= '9'; });
  const std::size_t nonzero = account.find_first_not_of('0');
  if (!digits || nonzero == std::string::npos) {
    login_page(req, res, options, "请输入正确的QQ号码");
    return;
  }
  account.erase(0, nonzero);
  // The service writes the account number zero-padded to ten digits after an "o".
  const std::string padded =
      account.size() < 10 ? std::string(10 - account.size(), '0') + account : account;
  res.set_header("Set-Cookie", "ptui_loginuin=" + account + "; Path=/");
  res.set_header("Set-Cookie", "uin=o" + padded + "; Path=/");
  res.set_header("Set-Cookie", "skey=@" + random_alnum(9) + "; Path=/");
  res.set_header("Set-Cookie", "p_skey=" + random_alnum(44) + "; Path=/; HttpOnly");
  res.set_header("Set-Cookie", "ptcz=" + random_hex_upper(64) + "; Path=/");
  res.set_redirect(*back, 302);
}

void home_page(httplib::Response& res) {
  res.set_content(
      page("Zarvex 音乐站", "<h2>Zarvex 音乐站</h2><p>本机的音乐服务替身已经就绪。</p>\n"),
      kHtmlType);
}

void avatar(const httplib::Request& req, httplib::Response& res) {
  int side = 100;
  const std::string spec = req.get_param_value("spec");
  if (!spec.empty() && spec.size() <= 4 &&
      std::all_of(spec.begin(), spec.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    side = std::stoi(spec);
  }
  res.set_content(avatar_png(req.get_param_value("dst_uin"), side), "image/png");
}

void announcement(httplib::Response& res, const SiteOptions& options) {
  const std::string body =
      "<h2>Zarvex 软件公告</h2>\n<p>[软件名称]Zarvex[/软件名称]</p>\n<p>[软件版本]" +
      options.announce_version + "[/软件版本]</p>\n<p>[软件下载地址1]" + options.http_base +
      kDownloadPagePath + "[/软件下载地址1]</p>\n<p>[软件公告]欢迎使用 Zarvex。[/软件公告]</p>\n";
  res.set_content(page("Zarvex 软件公告", body), kHtmlType);
}

void download_page(httplib::Response& res, const SiteOptions& options) {
  res.set_content(page("Zarvex 下载", "<h2>Zarvex " + html_escape(options.announce_version) +
                                          "</h2><p>新版本的下载页。</p>\n"),
                  kHtmlType);
}

}  // namespace

void add_site_routes(httplib::Server& server, const SiteOptions& options) {
  server.Get("/", [](const httplib::Request&, httplib::Response& res) { home_page(res); });
  server.Get("/cgi-bin/login", [options](const httplib::Request& req, httplib::Response& res) {
    login_page(req, res, options, {});
  });
  server.Get("/cgi-bin/login_submit",
             [options](const httplib::Request& req, httplib::Response& res) {
               login_submit(req, res, options);
             });
  server.Get("/headimg_dl", avatar);
  server.Get(kAnnouncePath, [options](const httplib::Request&, httplib::Response& res) {
    announcement(res, options);
  });
  server.Get(kDownloadPagePath, [options](const httplib::Request&, httplib::Response& res) {
    download_page(res, options);
  });
}

}  // namespace zarvex::standin
