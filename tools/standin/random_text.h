#pragma once
// Unpredictable texts for keys and cookie values (OpenSSL's generator; safe from any thread).

#include <cstddef>
#include <string>

namespace zarvex::standin {

std::string random_alnum(std::size_t length);      // A-Z, a-z, 0-9
std::string random_hex_upper(std::size_t length);  // 0-9, A-F
std::string random_digits(std::size_t length);     // 0-9, the first not 0

}  // namespace zarvex::standin
