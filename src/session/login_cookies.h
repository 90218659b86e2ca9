#pragma once
// What the login window needs to clear the login service's old cookies: the names in a cookie
// text and the two deletion texts written for every name.

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace zarvex {

// The cookie names of a "name=value; name=value" text, in order, each trimmed of blanks; a piece
// without "=" is a name as a whole. Empty names are left out.
std::vector<std::string> cookie_names(std::string_view cookie_text);

// The Set-Cookie values that delete cookie `name` of `host`: first without a domain attribute,
// then with the host's registrable domain, so both a host cookie and a domain cookie go.
std::array<std::string, 2> cookie_deletion_lines(std::string_view name, std::string_view host);

}  // namespace zarvex
