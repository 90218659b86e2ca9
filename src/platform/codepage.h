#pragma once
// Conversion between GBK (code page 936, the system's text inside the core) and UTF-8 (the
// service, the terminal, file names, Qt). A character the target cannot represent, or an
// input byte sequence that is not valid in the source, becomes "?".

#include <string>
#include <string_view>

namespace zarvex {

std::string gbk_from_utf8(std::string_view utf8);
std::string utf8_from_gbk(std::string_view gbk);

}  // namespace zarvex
