#include "session/login_address.h"

#include "service/text_codecs.h"

namespace zarvex {

namespace {

constexpr std::string_view completion_fragment = "#stat=y_new.top.pop.logout";

// Query keys after s_url; the login page reads them in this order.
constexpr std::string_view query_tail =
    "&low_login=1&hln_css=&hln_title=&hln_acc=&hln_pwd=&hln_u_tips=&hln_p_tips="
    "&hln_autologin=&hln_login=&hln_otheracc=&hide_close_icon=1&hln_qloginacc=&hln_reg="
    "&hln_vctitle=&hln_verifycode=&hln_vclogin=&hln_feedback=";

// Percent-encodes everything but the unreserved characters of an address, so the return
// address travels as one query value.
std::string encode_query_value(std::string_view text) {
  static constexpr char hex[] = "0123456789ABCDEF";
  std::string out;
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                            (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~';
    if (unreserved) {
      out += ch;
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 0x0F];
    }
  }
  return out;
}

// Every byte, not only one-byte characters: the domain is matched byte by byte.
std::string lower_every_byte(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

}  // namespace

std::string login_return_address(std::string_view site_base) {
  return std::string(without_trailing_slashes(site_base)) + "/" + std::string(completion_fragment);
}

std::string login_address(std::string_view login_base, std::string_view site_base) {
  return std::string(without_trailing_slashes(login_base)) +
         "/cgi-bin/login?daid=384&pt_no_auth=1&style=11&appid=1006102&s_url=" +
         encode_query_value(login_return_address(site_base)) + std::string(query_tail);
}

bool carries_login_completion(std::string_view address) {
  return address.find(login_completion_marker) != std::string_view::npos;
}

std::string registrable_domain(std::string_view address) {
  std::string text = lower_every_byte(address);
  if (text.empty() || text.back() != '/') text += '/';
  std::string_view scheme = "https://";
  if (!text.starts_with(scheme)) {
    scheme = "http://";
    if (text.find(scheme) == std::string::npos) text.insert(0, scheme);
  }
  std::string host = text_between(text, scheme, "/");
  const std::size_t last_dot = host.rfind('.');
  if (last_dot != std::string::npos) {
    const std::size_t second_dot =
        last_dot == 0 ? std::string::npos : host.rfind('.', last_dot - 1);
    if (second_dot != std::string::npos) host.erase(0, second_dot + 1);
  }
  const std::size_t colon = host.find(':');
  if (colon != std::string::npos) host.erase(colon);
  return host;
}

}  // namespace zarvex
