#pragma once

#include <string>
#include <string_view>

namespace zarvex {

// Decodes standard Base64 (alphabet A-Z a-z 0-9 + /, "=" padding optional). Blanks, tabs and line
// breaks anywhere are skipped. Input that is not Base64 (another character, "=" before the end,
// a lone final character) gives "".
std::string base64_decode(std::string_view text);

}  // namespace zarvex
