#pragma once
// Searches that disregard upper and lower case, for header names and host names, folded with
// ascii_lower, so positions in the folded text are positions in the original.

#include <cstddef>
#include <string>
#include <string_view>

#include "service/text_gbk.h"

namespace zarvex {

// Position of the first `marker` at or after `from` (a character start), without regard to
// ASCII case; npos when absent.
std::size_t find_nocase(std::string_view text, std::string_view marker, std::size_t from = 0);

}  // namespace zarvex
