#pragma once
// The small text routines every request of the music service client passes through. Texts are
// GBK byte strings; lengths and positions count bytes. All routines are pure and may run on any
// thread at the same time.

#include <string>
#include <string_view>

#include "service/text_gbk.h"

namespace zarvex {

// UTF-8 to GBK. Characters GBK lacks and bytes that are not UTF-8 become "?". The input ends
// at its first zero byte.
std::string utf8_to_gbk(std::string_view utf8);

// GBK to UTF-8. The input ends at its first zero byte.
std::string gbk_to_utf8(std::string_view gbk);

// Drops the first callback_name.size() + 1 bytes (name and "(") and the last byte (")") of a
// JSONP answer. The name is not compared and nothing else is stripped; an answer of
// callback_name.size() + 2 bytes or fewer gives "".
std::string jsonp_unwrap(std::string_view answer, std::string_view callback_name);

// Percent-encodes every byte of the UTF-8 form of a GBK keyword ("%61" for "a", "%20" for a
// blank); "" for "".
std::string url_encode(std::string_view gbk);

// The clean-up of a song-list cell: "?" becomes the full-width "？" (A3 BF), "&" and "." are
// removed, "/" becomes "-". Cells become parts of file names, so none keeps those bytes.
std::string clean_row_text(std::string_view gbk);

// Seconds counted from 1970-01-01 08:00:00 local time followed by the three millisecond digits
// of the local clock (13 digits for present dates); with seconds_only the first 10 characters.
std::string make_timestamp(bool seconds_only);

// The bytes between the first `left` and the first `right` after it; "" when either is absent.
// Markers match only where a character begins.
std::string text_between(std::string_view text, std::string_view left, std::string_view right);

// Removes blanks (20 hex) and full-width blanks (A1 A1) from both ends; tabs and line breaks stay.
std::string trim(std::string_view gbk);

// A base address without its trailing "/"s, so that request paths can be appended to it.
inline std::string_view without_trailing_slashes(std::string_view base) {
  while (!base.empty() && base.back() == '/')
    base.remove_suffix(1);
  return base;
}

}  // namespace zarvex
