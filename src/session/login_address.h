#pragma once
// The addresses of the account login: the login page with its fixed query, the return address
// the page navigates to when the login is done, and the marker that recognises it.

#include <string>
#include <string_view>

namespace zarvex {

// The text the browser's address carries once the login page has returned (case-sensitive).
inline constexpr std::string_view login_completion_marker = "/#stat=y_new.top.pop.logout";

// The page the login returns to: the music site's base address, "/" and the completion fragment.
std::string login_return_address(std::string_view site_base);

// The login page: the login service's base address (scheme, host, optional port), the path
// "/cgi-bin/login" and the query, whose keys stand in the order the login service expects,
// with the return address percent-encoded in s_url.
std::string login_address(std::string_view login_base, std::string_view site_base);

// True when `address` contains the completion marker exactly as written.
bool carries_login_completion(std::string_view address);

// The last two dot-separated labels of the host of an address or host name, in lower case and
// without port: "qq.com" for "http://ui.ptlogin2.QQ.com:80/x". An address without a scheme is
// read as http. A host of one label stays whole.
std::string registrable_domain(std::string_view address);

}  // namespace zarvex
