#pragma once
// The account number and the anti-forgery token g_tk that the music service's web interface
// expects, derived from the login page's cookie text.

#include <cstdint>
#include <string>
#include <string_view>

namespace zarvex {

struct SessionKeys {
  std::string g_tk;  // decimal, no sign, no leading zeros
  std::string uin;   // the "uin" cookie without its leading "o" and up to three leading "0"
};

// Reads the "uin" and "skey" cookies of `cookie` ("name=value; name=value") and hashes the skey.
// Without an skey cookie the hash is taken over "@" and the last 9 bytes of the text.
SessionKeys derive_session_keys(std::string_view cookie);

// The g_tk hash: h = 5381; h = h * 33 + code for every byte (32-bit); h & 0x7fffffff in decimal.
std::string gtk_hash(std::string_view text);

// Reads hexadecimal digits (either case) into a 32-bit integer; a character that is not a digit
// counts as -2 in its place.
std::int32_t hex_to_int(std::string_view hex);

// The GBK text as UTF-16LE bytes, ending with two zero bytes unless drop_terminator is set;
// "" for "". The text ends at its first zero byte.
std::string to_utf16_bytes(std::string_view gbk, bool drop_terminator);

}  // namespace zarvex
