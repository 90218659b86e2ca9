#pragma once
// The byte classes of a two-byte GBK character, for code that reads text one byte at a time
// and must not take the second byte of a character for an ASCII sign (5C, the backslash, is
// a valid second byte).

#include <cstdint>

namespace zarvex {

inline bool is_gbk_lead_byte(uint8_t byte) {
  return byte >= 0x81 && byte <= 0xFE;
}
inline bool is_gbk_trail_byte(uint8_t byte) {
  return byte >= 0x40 && byte <= 0xFE && byte != 0x7F;
}

}  // namespace zarvex
