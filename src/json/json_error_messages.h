#pragma once
// The messages of the strict parser's error codes, in GBK.

#include <cstdint>
#include <string>
#include <string_view>

namespace zarvex {

// The message of error `code`; "" for a code that has none. `detail` fills in the offending
// byte (codes 51 and 62) or literal (code 61).
std::string json_error_message(int32_t code, std::string_view detail = {});

}  // namespace zarvex
