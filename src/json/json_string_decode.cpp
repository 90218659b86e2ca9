#include "json/json_string_decode.h"

#include <cstdint>

#include "json/json_gbk.h"
#include "platform/codepage.h"

namespace zarvex {
namespace {

int hex_value(char byte) {
  if (byte >= '0' && byte <= '9') return byte - '0';
  if (byte >= 'a' && byte <= 'f') return byte - 'a' + 10;
  if (byte >= 'A' && byte <= 'F') return byte - 'A' + 10;
  return -1;
}

// One UTF-16 unit as GBK bytes.
void append_unit(uint32_t unit, std::string& out) {
  if (unit < 0x80) {
    out.push_back(static_cast<char>(unit));  // ASCII, the zero unit included
    return;
  }
  if (unit >= 0xD800 && unit <= 0xDFFF) {
    out.push_back('?');  // half of a pair: no character by itself
    return;
  }
  char utf8[3];
  std::size_t length;
  if (unit < 0x800) {
    utf8[0] = static_cast<char>(0xC0 | (unit >> 6));
    utf8[1] = static_cast<char>(0x80 | (unit & 0x3F));
    length = 2;
  } else {
    utf8[0] = static_cast<char>(0xE0 | (unit >> 12));
    utf8[1] = static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
    utf8[2] = static_cast<char>(0x80 | (unit & 0x3F));
    length = 3;
  }
  out += gbk_from_utf8(std::string_view(utf8, length));
}

}  // namespace

std::string decode_json_string(std::string_view value) {
  if (value.find('\\') == std::string_view::npos) return std::string(value);
  std::string out;
  out.reserve(value.size());
  std::size_t i = 0;
  while (i < value.size()) {
    const auto byte = static_cast<uint8_t>(value[i]);
    if (is_gbk_lead_byte(byte) && i + 1 < value.size() &&
        is_gbk_trail_byte(static_cast<uint8_t>(value[i + 1]))) {
      out.append(value.substr(i, 2));  // a double-byte character, whatever its second byte
      i += 2;
      continue;
    }
    if (byte != '\\') {
      out.push_back(value[i++]);
      continue;
    }
    if (i + 1 == value.size()) break;  // a lone backslash at the end
    const char escape = value[i + 1];
    switch (escape) {
      case '"':
      case '/':
      case '\\':
        out.push_back(escape);
        i += 2;
        break;
      case 'b':
        out.push_back('\x08');
        i += 2;
        break;
      case 'f':
        out.push_back('\x0C');
        i += 2;
        break;
      case 'n':
        out.push_back('\n');
        i += 2;
        break;
      case 'r':
        out.push_back('\r');
        i += 2;
        break;
      case 't':
        out.push_back('\t');
        i += 2;
        break;
      case 'u': {
        if (i + 6 > value.size()) return out;  // cut short by the end
        uint32_t unit = 0;
        bool all_hex = true;
        for (std::size_t k = 0; k < 4; ++k) {
          const int digit = hex_value(value[i + 2 + k]);
          if (digit < 0) {
            all_hex = false;
            break;
          }
          unit = unit * 16 + static_cast<uint32_t>(digit);
        }
        if (all_hex) {
          append_unit(unit, out);
          i += 6;
        } else {
          out.append("\\u");
          i += 2;
        }
        break;
      }
      default:
        out.push_back('\\');
        out.push_back(escape);
        i += 2;
        // An escaped first byte of a character still takes its second byte with it.
        if (is_gbk_lead_byte(static_cast<uint8_t>(escape)) && i < value.size() &&
            is_gbk_trail_byte(static_cast<uint8_t>(value[i]))) {
          out.push_back(value[i++]);
        }
        break;
    }
  }
  return out;
}

}  // namespace zarvex
