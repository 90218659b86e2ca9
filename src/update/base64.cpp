#include "update/base64.h"

#include <cstdint>

namespace zarvex {
namespace {

int digit_value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

std::string base64_decode(std::string_view text) {
  std::string digits;
  digits.reserve(text.size());
  std::size_t padding = 0;
  for (char c : text) {
    if (is_blank(c)) continue;
    if (c == '=') {
      ++padding;
      continue;
    }
    // A digit after padding, a third "=" or a foreign character: not Base64.
    if (padding > 0 || digit_value(c) < 0) return {};
    digits.push_back(c);
  }
  const std::size_t rest = digits.size() % 4;
  // One digit alone carries no whole byte; padding must fill exactly the last group.
  if (rest == 1 || padding > 2) return {};
  if (padding > 0 && (rest == 0 || rest + padding != 4)) return {};

  std::string out;
  out.reserve(digits.size() / 4 * 3 + 2);
  std::uint32_t bits = 0;
  int held = 0;
  for (char c : digits) {
    bits = (bits << 6) | static_cast<std::uint32_t>(digit_value(c));
    held += 6;
    if (held >= 8) {
      held -= 8;
      out.push_back(static_cast<char>((bits >> held) & 0xFF));
    }
  }
  return out;
}

}  // namespace zarvex
