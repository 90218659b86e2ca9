#include "service/text_codecs.h"

#include "platform/codepage.h"
#include "platform/local_clock.h"
#include "service/text_timestamp.h"

namespace zarvex {

std::string utf8_to_gbk(std::string_view utf8) {
  return gbk_from_utf8(gbk_text(utf8));
}

std::string gbk_to_utf8(std::string_view gbk) {
  return utf8_from_gbk(gbk_text(gbk));
}

std::string jsonp_unwrap(std::string_view answer, std::string_view callback_name) {
  const std::size_t n = callback_name.size();
  if (answer.size() <= n + 2) return {};
  return std::string(answer.substr(n + 1, answer.size() - n - 2));
}

std::string url_encode(std::string_view gbk) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  const std::string utf8 = gbk_to_utf8(gbk);
  out.reserve(utf8.size() * 3);
  for (unsigned char byte : utf8) {
    out.push_back('%');
    out.push_back(kHex[byte >> 4]);
    out.push_back(kHex[byte & 0x0F]);
  }
  return out;
}

std::string clean_row_text(std::string_view gbk) {
  // One character walk does the four replacements: each replaces or drops a whole one-byte
  // character, so no replacement moves a character boundary that a later one would see.
  std::string out;
  out.reserve(gbk.size() + 8);
  for (std::size_t i = 0; i < gbk.size();) {
    const std::size_t size = gbk_char_size(gbk, i);
    if (size == 2) {
      out.append(gbk.substr(i, 2));
    } else {
      switch (gbk[i]) {
        case '?':
          out.append("\xA3\xBF");
          break;
        case '&':
        case '.':
          break;
        case '/':
          out.push_back('-');
          break;
        default:
          out.push_back(gbk[i]);
      }
    }
    i += size;
  }
  return out;
}

std::string make_timestamp(bool seconds_only) {
  return timestamp_text(local_now(), seconds_only);
}

std::string text_between(std::string_view text, std::string_view left, std::string_view right) {
  const std::size_t at = gbk_find(text, left);
  if (at == std::string_view::npos) return {};
  const std::size_t begin = at + left.size();
  const std::size_t end = gbk_find(text, right, begin);
  if (end == std::string_view::npos) return {};
  return std::string(text.substr(begin, end - begin));
}

std::string trim(std::string_view gbk) {
  // Walk the characters so that A1 A1 counts only as a whole full-width blank, never as the
  // second byte of one character and the first of the next.
  std::size_t begin = gbk.size();
  std::size_t end = 0;
  for (std::size_t i = 0; i < gbk.size();) {
    const std::size_t size = gbk_char_size(gbk, i);
    const bool blank =
        (size == 1 && gbk[i] == ' ') || (size == 2 && gbk[i] == '\xA1' && gbk[i + 1] == '\xA1');
    if (!blank) {
      if (begin == gbk.size()) begin = i;
      end = i + size;
    }
    i += size;
  }
  if (begin >= end) return {};
  return std::string(gbk.substr(begin, end - begin));
}

}  // namespace zarvex
