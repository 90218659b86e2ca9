#include "json/json_literal.h"

namespace zarvex {
namespace {

bool is_digit(char byte) {
  return byte >= '0' && byte <= '9';
}

}  // namespace

bool is_json_number(std::string_view literal) {
  if (literal.empty() || !(literal[0] == '-' || is_digit(literal[0]))) return false;
  bool seen_point = false;
  for (std::size_t i = 1; i < literal.size(); ++i) {
    const char byte = literal[i];
    if (is_digit(byte)) continue;
    if (byte == '.') {
      if (seen_point || i + 1 == literal.size()) return false;
      seen_point = true;
      continue;
    }
    if (byte == 'e' || byte == 'E') {
      // The exponent ends the literal: a sign and at least one digit, nothing else.
      const std::string_view rest = literal.substr(i + 1);
      if (rest.size() < 2 || (rest[0] != '+' && rest[0] != '-')) return false;
      for (std::size_t k = 1; k < rest.size(); ++k) {
        if (!is_digit(rest[k])) return false;
      }
      return true;
    }
    return false;
  }
  return true;
}

}  // namespace zarvex
