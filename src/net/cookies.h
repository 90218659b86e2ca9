#pragma once
// Cookie texts as they travel in a Cookie header: "name=value; name=value".

#include <string>
#include <string_view>

namespace zarvex {

// The first name=value pair of every Set-Cookie line of raw response headers (CR LF
// separated; the header name is found without regard to case), joined by "; ", in order.
std::string collect_set_cookies(std::string_view raw_headers);

// Merges the collected `new_cookies` into `cookie_text`: the new items first, then the old
// items whose names the new ones do not carry; an item set to "deleted" disappears, repeated
// items appear once. Both variables lose every blank (ASCII and full-width); `cookie_text`
// receives the merged text, which is also returned.
std::string merge_cookies(std::string& cookie_text, std::string& new_cookies);

}  // namespace zarvex
