#pragma once
// ASCII case folding for the stand-in's UTF-8 texts (keywords, addresses, INI section names):
// only A-Z change, so every other byte, including each byte of a multi-byte character, stays.

#include <string>
#include <string_view>

namespace zarvex::standin {

inline std::string ascii_lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

}  // namespace zarvex::standin
