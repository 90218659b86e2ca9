#include "lyric_references.h"

namespace zarvex::standin {

std::string encode_lyric_references(std::string_view lyric, bool crlf) {
  std::string out;
  out.reserve(lyric.size() * 2);
  for (char c : lyric) {
    switch (c) {
      case '\n':
        out += crlf ? "&#13;&#10;" : "&#10;";
        break;
      case ':':
      case '.':
      case ' ':
      case '-':
      case '(':
      case ')':
      case '\'':
      case '&':
        out += "&#" + std::to_string(static_cast<int>(c)) + ";";
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace zarvex::standin
