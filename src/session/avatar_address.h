#pragma once
// The address of an account's picture at the avatar service.

#include <string>
#include <string_view>

namespace zarvex {

// The avatar service's base address, "/headimg_dl" and the query the service answers with a
// 100 × 100 picture of account `uin`. The query goes out exactly as the service's own web pages
// write it, the repeated dst_uin and the stray ";" before the third one included.
std::string avatar_address(std::string_view avatar_base, std::string_view uin);

}  // namespace zarvex
