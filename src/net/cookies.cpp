#include "net/cookies.h"

#include <algorithm>
#include <vector>

#include "net/ascii_case.h"
#include "service/text_codecs.h"

namespace zarvex {
namespace {

constexpr std::string_view set_cookie = "Set-Cookie";
constexpr std::string_view full_width_blank = "\xA1\xA1";

std::string without_blanks(std::string_view text) {
  return gbk_replace_all(gbk_replace_all(text, full_width_blank, ""), " ", "");
}

std::string cookie_name(std::string_view item) {
  std::size_t equals = gbk_find(item, "=");
  return trim(item.substr(0, equals));
}

std::string join(const std::vector<std::string>& items, std::string_view separator) {
  std::string out;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) out += separator;
    out += items[i];
  }
  return out;
}

}  // namespace

std::string collect_set_cookies(std::string_view raw_headers) {
  // Every spelling of the header name becomes "Set-Cookie"; the name has the same length in
  // every spelling, so the positions found in the folded text hold in the original.
  std::string headers(raw_headers);
  const std::string folded = ascii_lower(headers);
  const std::string folded_name = ascii_lower(set_cookie);
  for (std::size_t at = gbk_find(folded, folded_name); at != std::string::npos;
       at = gbk_find(folded, folded_name, at + set_cookie.size())) {
    headers.replace(at, set_cookie.size(), set_cookie);
  }

  std::string result;
  for (const std::string& line : gbk_split(headers, "\r\n")) {
    if (!gbk_contains(line, set_cookie)) continue;
    if (!gbk_contains(line, ";")) {
      result += trim(gbk_replace_all(line, "Set-Cookie:", ""));
    } else {
      result += trim(text_between(line, "Set-Cookie:", ";"));
    }
    result += "; ";
  }
  if (!result.empty()) result.resize(result.size() - 2);
  return result;
}

std::string merge_cookies(std::string& cookie_text, std::string& new_cookies) {
  cookie_text = without_blanks(cookie_text);
  new_cookies = without_blanks(new_cookies);

  // The answer's cookies first; an old cookie only when no earlier item has its name.
  std::vector<std::string> items = gbk_split(new_cookies, ";");
  for (std::string& old_item : gbk_split(cookie_text, ";")) {
    const std::string name = cookie_name(old_item);
    bool known = std::any_of(items.begin(), items.end(),
                             [&](const std::string& item) { return cookie_name(item) == name; });
    if (!known) items.push_back(std::move(old_item));
  }

  std::string merged;
  for (const std::string& item : items) {
    if (gbk_ends_with(item, "=deleted")) continue;
    merged += item;
    merged += "; ";
  }
  if (!merged.empty()) merged.resize(merged.size() - 2);

  std::vector<std::string> unique;
  for (std::string& item : gbk_split(merged, "; ")) {
    if (std::find(unique.begin(), unique.end(), item) == unique.end()) {
      unique.push_back(std::move(item));
    }
  }
  cookie_text = join(unique, "; ");
  return cookie_text;
}

}  // namespace zarvex
