#include "session/session_keys.h"

#include <cstdint>

#include "platform/codepage.h"
#include "service/text_gbk.h"

namespace zarvex {
namespace {

void append_unit(std::string& out, std::uint32_t unit) {
  out.push_back(static_cast<char>(unit & 0xFF));
  out.push_back(static_cast<char>((unit >> 8) & 0xFF));
}

// UTF-16LE of a UTF-8 text as the code-page conversion writes it (always well formed).
std::string utf16le_from_utf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size() * 2);
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (i + length > utf8.size()) length = 1;
    std::uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
      code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    }
    if (code >= 0x10000) {
      code -= 0x10000;
      append_unit(out, 0xD800 | (code >> 10));
      append_unit(out, 0xDC00 | (code & 0x3FF));
    } else {
      append_unit(out, code);
    }
    i += length;
  }
  return out;
}

// The value of the cookie introduced by `marker` (a name, "=" and the value's first character,
// which is not part of the value): where the cookie stands first in the text or after a blank,
// up to the next ";" or the end of the text. Requiring the blank keeps look-alike names such as
// "p_uin" or "p_skey" from matching.
std::string cookie_value(std::string_view cookie, std::string_view marker) {
  std::size_t begin;
  if (gbk_starts_with(cookie, marker)) {
    begin = marker.size();
  } else {
    const std::string spaced = " " + std::string(marker);
    const std::size_t at = gbk_find(cookie, spaced);
    if (at == std::string_view::npos) return {};
    begin = at + spaced.size();
  }
  std::size_t end = gbk_find(cookie, ";", begin);
  if (end == std::string_view::npos) end = cookie.size();
  return std::string(cookie.substr(begin, end - begin));
}

}  // namespace

SessionKeys derive_session_keys(std::string_view cookie) {
  cookie = gbk_text(cookie);
  SessionKeys keys;
  keys.uin = cookie_value(cookie, "uin=o");
  for (int i = 0; i < 3 && !keys.uin.empty() && keys.uin.front() == '0'; ++i) {
    keys.uin.erase(0, 1);
  }
  std::string tail = cookie_value(cookie, "skey=@");
  if (tail.empty()) tail = std::string(cookie.substr(cookie.size() > 9 ? cookie.size() - 9 : 0));
  keys.g_tk = gtk_hash("@" + tail);
  return keys;
}

std::string gtk_hash(std::string_view text) {
  std::uint32_t h = 5381;
  for (std::size_t i = 0; i < text.size(); ++i) {
    // Each byte on its own through the code page, as the service's script reads char codes.
    const std::string units = to_utf16_bytes(text.substr(i, 1), false);
    std::uint32_t code = 0;
    for (std::size_t k = 0; k < 4 && k < units.size(); ++k) {
      code |= static_cast<std::uint32_t>(static_cast<unsigned char>(units[k])) << (8 * k);
    }
    h = h + (h << 5) + code;
  }
  const std::uint32_t mask = static_cast<std::uint32_t>(hex_to_int("7fffffff"));
  return std::to_string(h & mask);
}

std::int32_t hex_to_int(std::string_view hex) {
  static constexpr std::string_view kDigits = "0123456789ABCDEF";
  std::uint32_t r = 0;
  for (char c : hex) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    const std::size_t at = kDigits.find(c);
    // Position counted from 1, -1 when absent, so a foreign character adds -2.
    const std::int32_t d = at == std::string_view::npos ? -1 : static_cast<std::int32_t>(at) + 1;
    r = r * 16 + static_cast<std::uint32_t>(d - 1);
  }
  return static_cast<std::int32_t>(r);
}

std::string to_utf16_bytes(std::string_view gbk, bool drop_terminator) {
  gbk = gbk_text(gbk);
  if (gbk.empty()) return {};
  std::string out = utf16le_from_utf8(utf8_from_gbk(gbk));
  if (!drop_terminator) out.append(2, '\0');
  return out;
}

}  // namespace zarvex
