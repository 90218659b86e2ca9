#pragma once
// Searches that disregard upper and lower case, for header names and host names. Only
// one-byte (ASCII) characters are folded; the two bytes of a GBK character stay as they are,
// so positions in the folded text are positions in the original.

#include <cstddef>
#include <string>
#include <string_view>

namespace zarvex {

std::string ascii_lower(std::string_view gbk);

// Position of the first `marker` at or after `from` (a character start), without regard to
// ASCII case; npos when absent.
std::size_t find_nocase(std::string_view text, std::string_view marker, std::size_t from = 0);

}  // namespace zarvex
